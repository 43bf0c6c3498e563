// CS and PL edits of the top of the current profile.
#include "qc/surface_edits.h"

#include <algorithm>

bool csedit(SlotData& cur, int s, int n) {
    n = std::clamp(n, 0, ndepmax);
    if (s < 1 || s > n) return false;
    for (int k = 1; k < s; ++k) {
        cur.t[k] = cur.t[s];
        cur.code[k] = QcCode("CS");
        cur.iclass[k] = 5;
    }
    return s > 1;
}

bool pl_mod(SlotData& cur, int& npts2, int& ind1) {
    const int s = ind1;
    // A start point below the displayed profile would leave it with no
    // points, or fewer than none.
    if (s < 1 || s > std::min(npts2, ndepmax)) return false;
    if (s == 1) return false;
    for (int j = 1; j <= npts2 - s + 1; ++j) cur.t[j] = cur.t[s + j - 1];
    npts2 -= s - 1;
    ind1 = 1;
    return true;
}

bool pledit(SlotData& cur, int& npts2, int& ind1) {
    const int s = ind1;
    if (!pl_mod(cur, npts2, ind1)) return false;
    for (int k = 1; k < s; ++k) {
        cur.code[k] = QcCode("PL");
        cur.iclass[k] = 5;
    }
    for (int k = s; k <= npts2; ++k) cur.iclass[k] = 2;
    return true;
}
