// A 2000-point drop for the benchmarks of the plot and the dialogs that
// draw it: a thermocline with some fine structure, a class-2 point now and
// then and a run of codes deep down.
#pragma once
#include <cmath>

#include "profile/profile_store.h"

namespace bench {

inline void fillDrop(SlotData& s, float offset, const char* label) {
    for (int i = 1; i <= ndepmax; ++i) {
        const float d = 0.45f * static_cast<float>(i);
        s.depth[static_cast<std::size_t>(i)] = -d;
        s.t[static_cast<std::size_t>(i)] =
            offset + 20.0f * std::exp(-d / 300.0f) + 0.05f * std::sin(0.3f * d);
        s.iclass[static_cast<std::size_t>(i)] = i % 97 == 0 ? 2 : 1;
        s.code[static_cast<std::size_t>(i)] = QcCode(i > 1500 && i < 1510 ? "SP" : "  ");
    }
    s.nread = s.npts = ndepmax;
    s.ainfo = SlotLabel(label);
}

}  // namespace bench
