// Wire-break search, cut count and cut confirmation.
#include "qc/cut.h"

#include <algorithm>
#include <string_view>

#include "base/fields.h"
#include "toolkit/toolkit.h"

namespace {
constexpr std::string_view mess0text = "<Enter>=Set class=4 at         m and write";

int clampToStore(int n) {
    return std::clamp(n, 0, ndepmax);
}
}  // namespace

FixedText<42> composemess0(float xdbr) {
    FixedText<42> m(mess0text);
    m.putField(24, 31, writeF(xdbr, 8, 3));
    return m;
}

void movecut(CutState& cut, float xdbr) {
    cut.xdbr = xdbr;
    cut.mess0.putField(24, 31, writeF(xdbr, 8, 3));
    WindowOutString(100, 9850, cut.mess0.view());
}

float ttst(int ieditktd) {
    return ieditktd == 1 ? 0.5f : 3.0f;
}

WireBreak fndbrk(const SlotData& cur, int n, int ieditktd) {
    n = clampToStore(n);
    if (n == 0) return {};
    const float jump = ttst(ieditktd);

    // The search begins at the deepest point of the leading run above the
    // start depth; a profile that starts below it is searched from point 1.
    int k = 1;
    if (cur.depth[1] >= -breaksearchdepth) {
        while (k < n && cur.depth[k + 1] >= -breaksearchdepth) ++k;
    }

    // The reference follows the running minimum: cooling with depth is
    // normal, while a jump either way beyond ttst is the broken wire.
    float tref = cur.t[k];
    for (int i = k + 1; i <= n; ++i) {
        const float ti = cur.t[i];
        if (ti < tref) {
            if (tref - ti > jump) break;
            k = i;
            tref = ti;
        } else if (ti > tref) {
            if (ti - tref > jump) break;
        }
    }
    return {k, -cur.depth[k]};
}

int cut(float cutdepth, const SlotData& cur, int n) {
    n = clampToStore(n);
    for (int i = 1; i <= n; ++i) {
        if (cur.depth[i] < -cutdepth) return i - 1;
    }
    return n;
}

int confirmcut(float xdbr, SlotData& cur, int n4) {
    n4 = clampToStore(n4);
    const int above = cut(xdbr, cur, n4);
    if (above < n4) {
        int& below = cur.iclass[above + 1];
        if (below >= 0 && below <= 2) below = 4;
    }
    return above;
}
