// The four profile slots: previous drop, current drop, next drop and the
// current drop as loaded. Points and slots are counted from 1.
#pragma once
#include <array>
#include <cstddef>

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
