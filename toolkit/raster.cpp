#include "toolkit/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace toolkit {

namespace {

// floor for values already brought within the target's reach.
int ifloor(double v) {
    const int i = static_cast<int>(v);
    return i - (v < i);
}

// Cuts the segment to the box, one pixel wider than the target all round,
// so that a wild coordinate costs no more than the target's size. False when
// nothing of the segment lies in the box.
bool clipToBox(double& ax, double& ay, double& bx, double& by, double w, double h) {
    double t0 = 0, t1 = 1;
    const double dx = bx - ax, dy = by - ay;
    // One edge: the part with p * t <= q stays.
    const auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double t = q / p;
        if (p < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, ax + 1) || !edge(dx, w + 1 - ax) || !edge(-dy, ay + 1) || !edge(dy, h + 1 - ay)) return false;
    const double x0 = ax, y0 = ay;
    if (t1 < 1) bx = x0 + t1 * dx, by = y0 + t1 * dy;
    if (t0 > 0) ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    return true;
}

// Walks the longer axis (u) one pixel at a time; v is the other axis. The
// target is addressed through the two steps so that one loop serves both.
// The box of what it set, in u and v, is returned as left/right and top/bottom.
inline PixelBox walk(const PixelTarget& t, double au, double av, double bu, double bv, int ulimit, int vlimit,
                     std::ptrdiff_t ustep, std::ptrdiff_t vstep, std::uint32_t pixel) {
    if (au > bu) {
        std::swap(au, bu);
        std::swap(av, bv);
    }
    const double slope = bu > au ? (bv - av) / (bu - au) : 0;
    const int first = std::max(ifloor(au), 0), last = std::min(ifloor(bu), ulimit - 1);
    for (int u = first; u <= last; ++u) {
        // Where the line crosses the middle of this column, kept within the segment.
        double at = u + 0.5;
        if (at < au) at = au;
        if (at > bu) at = bu;
        const int v = ifloor(av + (at - au) * slope);
        if (v >= 0 && v < vlimit) t.bits[u * ustep + v * vstep] = pixel;
    }
    // v runs between its values at the two ends.
    const int va = ifloor(av), vb = ifloor(bv);
    return {first, std::max(std::min(va, vb), 0), last, std::min(std::max(va, vb), vlimit - 1)};
}

}  // namespace

PixelBox rasterSegment(const PixelTarget& t, double ax, double ay, double bx, double by, std::uint32_t pixel) {
    if (!t.bits || t.width <= 0 || t.height <= 0) return {};
    const double w = t.width, h = t.height;
    // Nearly every segment of a plot lies inside; the test also fails for
    // a coordinate that is not a number.
    const bool inside = ax >= -1 && ax <= w + 1 && bx >= -1 && bx <= w + 1 && ay >= -1 && ay <= h + 1 &&
                        by >= -1 && by <= h + 1;
    if (!inside) {
        if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) return {};
        if (!clipToBox(ax, ay, bx, by, w, h)) return {};
    }
    if (std::abs(bx - ax) >= std::abs(by - ay)) return walk(t, ax, ay, bx, by, t.width, t.height, 1, t.stride, pixel);
    const PixelBox b = walk(t, ay, ax, by, bx, t.height, t.width, t.stride, 1, pixel);
    return {b.top, b.left, b.bottom, b.right};
}

}  // namespace toolkit
