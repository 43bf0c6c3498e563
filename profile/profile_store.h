// The four profile slots: previous drop, current drop, next drop and the
// current drop as loaded. Points and slots are counted from 1.
#pragma once
#include <array>
#include <cstddef>
#include <span>

#include "base/fixed_text.h"

inline constexpr int ndepmax = 2000;
inline constexpr int nslots = 4;

using QcCode = FixedText<2>;
using SlotLabel = FixedText<21>;

// One slot's points. Index 0 is unused so that point i is element i.
struct SlotData {
    std::array<float, ndepmax + 1> depth{};  // metres, stored negative
    std::array<float, ndepmax + 1> t{};      // degrees Celsius
    std::array<int, ndepmax + 1> iclass{};   // QC class 0..5
    std::array<QcCode, ndepmax + 1> code{};  // two letters or two blanks
    int nread = 0;                           // points read into the slot
    int npts = 0;                            // points in use
    SlotLabel ainfo;                         // label drawn beside the profile
};

struct ProfileStore {
    std::array<SlotData, nslots + 1> slot{};  // slot[1]..slot[4]
    SlotData& operator[](int s) { return slot[static_cast<std::size_t>(s)]; }
    const SlotData& operator[](int s) const { return slot[static_cast<std::size_t>(s)]; }
};

// A count handed in from elsewhere, limited to what a slot can hold, so that
// no caller's count can ever reach past point ndepmax.
inline int clampPoints(long long n) {
    return n < 0 ? 0 : n > ndepmax ? ndepmax : static_cast<int>(n);
}

// True when a slot failed to load: its label starts with "no" and it is
// neither drawn nor used.
inline bool slotFailed(const SlotData& s) {
    return s.ainfo.at(1) == 'n' && s.ainfo.at(2) == 'o';
}

// Moves a raw profile from the reader's buffers (element 0 is point 1) into
// points 1..n of the slot and sets nread and ainfo. n is limited to the
// buffers and to ndepmax; iclass, code and npts are left alone, as are the
// points beyond n. A slot outside 1..4 is ignored.
void xferarray(std::span<const float> rawDepth, std::span<const float> rawT, int n, const SlotLabel& label,
               int slot, ProfileStore& store);

// Marks points 1..n of a slot as unclassified with no code, as every profile
// loaded from an unedited file starts.
void clearqc(SlotData& s, int n);

// Keeps the current drop as loaded (slot 2) in slot 4, so that Restart and
// the writers of the edited files can fall back on the loaded values.
void backupcurrent(ProfileStore& store);

// Restart: slot 2 becomes the drop as loaded again, with every class and
// code cleared and the full loaded count, undoing cuts and breaks too.
void restorecurrent(ProfileStore& store);
