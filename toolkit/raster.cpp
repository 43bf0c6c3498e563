// The plot's one-pixel solid lines, set straight into the backing image's
// pixels: each column (or row) along the longer extent gets the pixel where
// the line crosses its middle, after the segment is cut to the target.
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

// Where a coordinate lies against the box, one pixel wider than the target
// all round, so that a wild coordinate costs no more than the target's size.
int outcode(double x, double y, double w, double h) {
    return (x < -1 ? 1 : 0) | (x > w + 1 ? 2 : 0) | (y < -1 ? 4 : 0) | (y > h + 1 ? 8 : 0);
}

// Cuts the segment to that box, moving each end that lies outside onto the
// edge it crosses. The edge coordinate is set exactly and the other one
// found along the line, so that a huge segment keeps its place. False when
// nothing of the segment lies in the box.
bool clipToBox(double& ax, double& ay, double& bx, double& by, double w, double h) {
    for (int cuts = 0; cuts < 8; ++cuts) {
        const int ca = outcode(ax, ay, w, h), cb = outcode(bx, by, w, h);
        if ((ca | cb) == 0) return true;
        if (ca & cb) return false;
        const bool moveA = ca != 0;
        double& x = moveA ? ax : bx;
        double& y = moveA ? ay : by;
        const double ox = moveA ? bx : ax, oy = moveA ? by : ay;
        const int c = moveA ? ca : cb;
        if (c & 3) {
            const double edge = c & 1 ? -1 : w + 1;
            y = y + (oy - y) * (edge - x) / (ox - x);
            x = edge;
        } else {
            const double edge = c & 4 ? -1 : h + 1;
            x = x + (ox - x) * (edge - y) / (oy - y);
            y = edge;
        }
    }
    return false;
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

PixelBox rasterSegment(const PixelTarget& t, double ax, double ay, double bx, double by,
                       std::uint32_t pixel) {
    if (!t.bits || t.width <= 0 || t.height <= 0) return {};
    const double w = t.width, h = t.height;
    // Most segments of a trace of many points end in the pixel they start
    // in or in one beside it: those two pixels are the whole segment.
    if (ax >= 0 && ax < w && bx >= 0 && bx < w && ay >= 0 && ay < h && by >= 0 && by < h) {
        const int x0 = int(ax), y0 = int(ay), x1 = int(bx), y1 = int(by);
        if (x1 - x0 <= 1 && x0 - x1 <= 1 && y1 - y0 <= 1 && y0 - y1 <= 1) {
            t.bits[y0 * t.stride + x0] = pixel;
            t.bits[y1 * t.stride + x1] = pixel;
            return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        }
    }
    // Nearly every segment of a plot lies inside; the test also fails for
    // a coordinate that is not a number.
    const bool inside = ax >= -1 && ax <= w + 1 && bx >= -1 && bx <= w + 1 && ay >= -1 && ay <= h + 1 &&
                        by >= -1 && by <= h + 1;
    if (!inside) {
        if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) return {};
        if (!clipToBox(ax, ay, bx, by, w, h)) return {};
    }
    if (std::abs(bx - ax) >= std::abs(by - ay))
        return walk(t, ax, ay, bx, by, t.width, t.height, 1, t.stride, pixel);
    const PixelBox b = walk(t, ay, ax, by, bx, t.height, t.width, t.stride, 1, pixel);
    return {b.top, b.left, b.bottom, b.right};
}

}  // namespace toolkit
