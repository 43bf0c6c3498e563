// Plain lines written straight into pixels: every segment, however steep,
// long or wild, sets one connected run of pixels from the pixel of one end
// to the pixel of the other, inside the target and inside the box it
// reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "toolkit/raster.h"

namespace {

using toolkit::PixelBox;
using toolkit::PixelTarget;
using toolkit::rasterSegment;

constexpr int width = 40, height = 30;
constexpr std::uint32_t ink = 0xff0000ffu;

struct Canvas {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(std::size_t(width) * height, 0);
    PixelTarget target() { return {pixels.data(), width, width, height}; }
    bool at(int x, int y) const { return pixels[std::size_t(y) * width + std::size_t(x)] == ink; }
    int count() const { return int(std::count(pixels.begin(), pixels.end(), ink)); }
};

// Every set pixel touches another (8 neighbours), so the run has no gap.
bool connected(const Canvas& c) {
    std::vector<bool> seen(c.pixels.size());
    std::vector<std::pair<int, int>> todo;
    for (int y = 0; y < height && todo.empty(); ++y)
        for (int x = 0; x < width && todo.empty(); ++x)
            if (c.at(x, y)) todo.push_back({x, y}), seen[std::size_t(y) * width + x] = true;
    int reached = 0;
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        ++reached;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= width || ny >= height || !c.at(nx, ny)) continue;
                if (seen[std::size_t(ny) * width + nx]) continue;
                seen[std::size_t(ny) * width + nx] = true;
                todo.push_back({nx, ny});
            }
    }
    return reached == c.count();
}

// A set pixel at or beside the pixel that holds (x, y).
bool near(const Canvas& c, double x, double y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int px = int(std::floor(x)) + dx, py = int(std::floor(y)) + dy;
            if (px >= 0 && py >= 0 && px < width && py < height && c.at(px, py)) return true;
        }
    return false;
}

TEST(Raster, ASegmentIsOneConnectedRunBetweenThePixelsOfItsEnds) {
    const struct {
        double ax, ay, bx, by;
        int pixels;  // how many it sets: one per column or row along its longer extent
    } segments[] = {
        {2.5, 3.5, 30.5, 3.5, 29},     // horizontal
        {5.2, 1.1, 5.9, 25.7, 25},     // nearly vertical
        {30.5, 28.5, 1.5, 0.5, 30},    // diagonal, drawn backwards
        {10.3, 10.3, 10.6, 10.9, 1},   // within one pixel
        {4.0, 20.0, 35.99, 27.0, 32},  // shallow, ends on pixel edges
    };
    for (const auto& s : segments) {
        Canvas c;
        const PixelBox box = rasterSegment(c.target(), s.ax, s.ay, s.bx, s.by, ink);
        EXPECT_EQ(c.count(), s.pixels) << s.ax << "," << s.ay;
        EXPECT_TRUE(near(c, s.ax, s.ay) && near(c, s.bx, s.by)) << s.ax << "," << s.ay;
        EXPECT_TRUE(connected(c)) << s.ax << "," << s.ay;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (!c.at(x, y)) continue;
                EXPECT_TRUE(x >= box.left && x <= box.right && y >= box.top && y <= box.bottom)
                    << s.ax << "," << s.ay << " pixel " << x << "," << y;
            }
        }
    }
}

TEST(Raster, PartsOutsideTheTargetAndWildCoordinatesSetNothingThere) {
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    const struct {
        double ax, ay, bx, by;
        int pixels;
    } segments[] = {
        {-100.5, 5.5, 100.5, 5.5, width},   // across the whole target
        {20.5, -1e30, 20.5, 1e30, height},  // a huge vertical stays one column
        {-5, -5, -1, -20, 0},               // wholly outside
        {nan, 3, 10, 3, 0},
        {3, 3, inf, 3, 0},
    };
    for (const auto& s : segments) {
        Canvas c;
        const PixelBox box = rasterSegment(c.target(), s.ax, s.ay, s.bx, s.by, ink);
        EXPECT_EQ(c.count(), s.pixels) << s.ax << "," << s.ay;
        if (s.pixels == 0) {
            EXPECT_TRUE(box.empty());
        } else {
            EXPECT_TRUE(connected(c));
        }
    }
}

}  // namespace
