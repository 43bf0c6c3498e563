// A one-pixel solid line written straight into 32-bit pixels. The plot's
// traces are thousands of segments a pixel or two long; through a general
// painter each costs a path, a transform and a blend setup, here a few
// dozen instructions.
#pragma once
#include <cstddef>
#include <cstdint>

namespace toolkit {

struct PixelTarget {
    std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;  // pixels from one row to the next
    int width = 0, height = 0;
};

// Sets the pixels of the segment from (ax, ay) to (bx, by), in pixel
// coordinates with pixel (i, j) covering [i, i+1) x [j, j+1). Along the
// longer extent each column (or row) from the one holding one end to the one
// holding the other gets one pixel: where the line crosses the column's
// middle, or where it ends short of that; a segment whose ends lie in the
// same pixel or in two touching ones sets just those. Segments that share an
// end so join without a gap. Pixels outside the target are left alone; so is
// everything for a coordinate that is not finite.
// Returns a box of the target that holds every pixel set (empty when none).
struct PixelBox {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool empty() const { return left > right || top > bottom; }
};
PixelBox rasterSegment(const PixelTarget& target, double ax, double ay, double bx, double by,
                       std::uint32_t pixel);

}  // namespace toolkit
