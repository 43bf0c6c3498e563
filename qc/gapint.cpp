// Interpolation over 2-metre bins and the flags of the repaired section.
#include "qc/gapint.h"

#include <algorithm>
#include <cmath>

#include "toolkit/toolkit.h"

// Compared as a real, never converted to an integer: a wild depth from a
// damaged file must not overflow.
double depthbin(float depth) {
    return std::trunc(-static_cast<double>(depth) * 0.5) + 1.0;
}

namespace {

// The first of up to three points beyond `from` (step -1: above, +1:
// below) that lies in another bin, or `from` itself when there is none.
int widen(const SlotData& cur, int n, int from, int step) {
    const double own = depthbin(cur.depth[from]);
    for (int d = 1; d <= 3; ++d) {
        const int i = from + step * d;
        if (i < 1 || i > n) break;
        if (depthbin(cur.depth[i]) != own) return i;
    }
    return from;
}

bool sameBin(const SlotData& cur, int a, int b) {
    return depthbin(cur.depth[a]) == depthbin(cur.depth[b]);
}

bool nothingToInterpolate(int& ind1) {
    WMessageBox(0, 3, 1, "No points to interpolate..try again", "Error Info");
    ind1 = -1;
    return false;
}

}  // namespace

bool gapint(int& ind1, int& ind2, SlotData& cur, int n) {
    n = std::clamp(n, 0, ndepmax);
    if (n == 0) return nothingToInterpolate(ind1);
    ind1 = std::clamp(ind1, 1, n);
    ind2 = std::clamp(ind2, 1, n);
    // Widening a reversed pair outward could still enclose points, and
    // would repair a stretch the operator never chose.
    if (ind2 < ind1) return nothingToInterpolate(ind1);

    if (ind1 < n && sameBin(cur, ind1 + 1, ind1)) ind1 = widen(cur, n, ind1, -1);
    if (ind2 > 1 && sameBin(cur, ind2 - 1, ind2)) ind2 = widen(cur, n, ind2, +1);

    const float d1 = cur.depth[ind1], d2 = cur.depth[ind2];
    if (ind2 - ind1 - 1 <= 0 || d1 == d2) return nothingToInterpolate(ind1);

    const float t1 = cur.t[ind1];
    const float slope = (cur.t[ind2] - t1) / std::fabs(d2 - d1);
    for (int i = ind1 + 1; i < ind2; ++i) cur.t[i] = t1 + (-cur.depth[i] - -d1) * slope;
    return true;
}

std::optional<QcCode> sectioncode(int interpqc) {
    switch (interpqc) {
        case 1: return QcCode("SP");
        case 2: return QcCode("HF");
        case 3: return QcCode("IP");
        default: return std::nullopt;
    }
}

void flagrepair(SlotData& cur, int ind1, int ind2, int npts2, const QcCode& code, int iclassbelow) {
    npts2 = std::clamp(npts2, 0, ndepmax);
    if (ind1 < 0 || ind2 < 1 || ind2 > ndepmax) return;
    for (int i = ind1 + 1; i < ind2; ++i) {
        cur.iclass[i] = 5;
        cur.code[i] = code;
    }
    for (int i = ind2; i <= npts2; ++i) {
        if (cur.iclass[i] < iclassbelow) cur.iclass[i] = iclassbelow;
    }
}
