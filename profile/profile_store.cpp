// Slot transfers of the profile store: loading from the raw reader's
// buffers, the backup of the current drop and its restore.
#include "profile/profile_store.h"

#include <algorithm>

void xferarray(std::span<const float> rawDepth, std::span<const float> rawT, int n, const SlotLabel& label,
               int slot, ProfileStore& store) {
    if (slot < 1 || slot > nslots) return;
    const long long room = static_cast<long long>(std::min(rawDepth.size(), rawT.size()));
    n = clampPoints(std::min<long long>(n, room));
    SlotData& s = store[slot];
    for (int i = 1; i <= n; ++i) {
        s.depth[static_cast<std::size_t>(i)] = rawDepth[static_cast<std::size_t>(i - 1)];
        s.t[static_cast<std::size_t>(i)] = rawT[static_cast<std::size_t>(i - 1)];
    }
    s.nread = n;
    s.ainfo = label;
}

void clearqc(SlotData& s, int n) {
    n = clampPoints(n);
    for (int i = 1; i <= n; ++i) {
        s.iclass[static_cast<std::size_t>(i)] = 0;
        s.code[static_cast<std::size_t>(i)] = QcCode();
    }
}

void backupcurrent(ProfileStore& store) {
    const SlotData& cur = store[2];
    SlotData& keep = store[4];
    const int n = clampPoints(cur.npts);
    std::copy_n(cur.depth.begin() + 1, n, keep.depth.begin() + 1);
    std::copy_n(cur.t.begin() + 1, n, keep.t.begin() + 1);
    std::copy_n(cur.iclass.begin() + 1, n, keep.iclass.begin() + 1);
    std::copy_n(cur.code.begin() + 1, n, keep.code.begin() + 1);
    keep.npts = n;
    keep.ainfo = cur.ainfo;
    keep.nread = cur.nread;
}

void restorecurrent(ProfileStore& store) {
    const SlotData& keep = store[4];
    SlotData& cur = store[2];
    const int n = clampPoints(keep.npts);
    std::copy_n(keep.depth.begin() + 1, n, cur.depth.begin() + 1);
    std::copy_n(keep.t.begin() + 1, n, cur.t.begin() + 1);
    clearqc(cur, n);
    cur.npts = n;
    cur.ainfo = keep.ainfo;
    cur.nread = keep.nread;
}
