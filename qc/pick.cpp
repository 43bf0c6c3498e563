// Point picking by pointer position.
#include "qc/pick.h"

#include <algorithm>
#include <cmath>

#include "base/fields.h"

FixedText<7> dt1text(const SlotData& cur, int i) {
    if (i < 1 || i > ndepmax) return FixedText<7>();
    return FixedText<7>(writeF(cur.t[static_cast<std::size_t>(i)], 7, 3));
}

std::optional<int> getindex(float& y, const SlotData& cur, int n) {
    n = std::clamp(n, 0, ndepmax);
    if (n == 0) return std::nullopt;
    int k = 1;
    float dmin = std::fabs(y - cur.depth[1]);
    for (int i = 2; i <= n; ++i) {
        const float d = std::fabs(y - cur.depth[i]);
        if (d >= dmin) break;
        k = i;
        dmin = d;
    }
    y = cur.depth[k];
    return k;
}

bool mouseydown(int imouse, const EventRecord& event, FixedText<7>& dt1, const SlotData& cur, int n4,
                int& iflag, float& y, int& ind) {
    if (imouse != 1) {
        WMessageBox(0, 3, 1, "In Choose Depth entry mode", "Error Info");
        iflag = 1;
        return false;
    }
    WMessageEnable(EventType::MouseMove, 1);
    WMessageEnable(EventType::MouseButUp, 1);
    float ypick = event.unitY;
    dt1 = FixedText<7>();
    const auto k = getindex(ypick, cur, n4);
    if (!k) {
        iflag = 1;
        return false;
    }
    y = ypick;
    ind = *k;
    return true;
}
