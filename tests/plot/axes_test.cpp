// The plot frame: units, grids, scales and unit letters.
#include <gtest/gtest.h>

#include "picture.h"
#include "plot/axes.h"
#include "plot/plot_settings.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int gridGrey = WRGB(220, 220, 220);

Picture drawAxes(float tmin, float tmax, int idepgrid = 1, int itempgrid = 1, int igridstep = 1) {
    startTracing();
    iaxes(tmin, tmax, plottempstep, plotdepthmin, plotdepthmax, plotdepthstep, idepgrid, itempgrid,
          igridstep);
    return takePicture();
}

// Horizontal grid lines by depth, vertical ones by temperature.
void grid(const Picture& p, std::vector<double>& depths, std::vector<double>& temps) {
    for (const auto& s : p.segmentsIn(gridGrey)) {
        if (s.y1 == s.y2)
            depths.push_back(s.y1);
        else
            temps.push_back(s.x1);
    }
}

std::vector<std::string> labels(const Picture& p, char placement, std::size_t length) {
    std::vector<std::string> out;
    for (const auto& t : p.texts)
        if (t.placement == placement && t.text.size() == length) out.push_back(t.text);
    return out;
}

}  // namespace

TEST(Axes, UnitsFrameAndGridsForZeroToThirty) {
    const Picture p = drawAxes(0, 30);
    ASSERT_EQ(p.calls.at(0).op, "IGrUnits");
    EXPECT_EQ(p.calls[0].args, (std::vector<double>{-1.5, -988, 31.5, 38}));
    // Left and top edges only.
    const auto frame = p.segmentsIn(WRGB(230, 230, 230));
    ASSERT_EQ(frame.size(), 2u);
    EXPECT_EQ(std::vector<double>({frame[0].x1, frame[0].y1, frame[1].x1, frame[1].y1, frame[1].x2}),
              std::vector<double>({0, -950, 0, 0, 30}));

    std::vector<double> depths, temps;
    grid(p, depths, temps);
    ASSERT_EQ(depths.size(), 18u);
    for (int k = 1; k <= 18; ++k) EXPECT_EQ(depths[k - 1], -950 + 50 * k);
    ASSERT_EQ(temps.size(), 30u);
    for (int k = 1; k <= 30; ++k) EXPECT_NEAR(temps[k - 1], k, 1e-4);
}

TEST(Axes, GridSwitchesAndWideSpacing) {
    std::vector<double> depths, temps;
    grid(drawAxes(0, 30, 0, 1), depths, temps);
    EXPECT_TRUE(depths.empty());
    EXPECT_EQ(temps.size(), 30u);
    // A spacing wider than the range still draws its first line, off the frame.
    temps.clear();
    grid(drawAxes(0, 5, 0, 1, 10), depths, temps);
    EXPECT_EQ(temps, std::vector<double>{10});
}

TEST(Axes, ScaleLabels) {
    Picture p = drawAxes(0.5f, 20.5f);
    EXPECT_EQ(labels(p, 'C', 2), (std::vector<std::string>{" 0", " 5", "10", "15", "20"}));
    const Text* first = p.find(" 0");
    EXPECT_NEAR(first->x, 0.5, 1e-5);
    EXPECT_NEAR(first->y, 0.4 * 38, 1e-3);
    EXPECT_EQ(labels(drawAxes(-10, 30), 'C', 3), std::vector<std::string>{"-10"});

    // 20 depth ticks to the left of the frame, labels every 100 m.
    p = drawAxes(0, 30);
    int ticks = 0;
    for (const auto& s : p.segmentsIn(0)) ticks += s.y1 == s.y2 && s.x1 == 0 && s.x2 < 0;
    EXPECT_EQ(ticks, 20);
    EXPECT_EQ(labels(p, 'R', 3), (std::vector<std::string>{"900", "800", "700", "600", "500", "400", "300",
                                                           "200", "100", "  0"}));
    // The raised "o" before the "C" is the degree sign.
    const Text* o = p.find("o");
    ASSERT_TRUE(o && p.find("C") && p.find("m"));
    EXPECT_NEAR(o->y, 0.51 * 38, 1e-3);
    EXPECT_LT(o->y - p.find("C")->y, 5.0);
}

TEST(Axes, InvertedOrHugeRangesFinish) {
    // The minimum at or above the maximum: at most one label, and no hang.
    EXPECT_TRUE(labels(drawAxes(20, 10), 'C', 2).empty());
    EXPECT_EQ(labels(drawAxes(15, 15), 'C', 2).size(), 1u);
    // A range no loop could step through (from a damaged control file).
    const Picture p = drawAxes(0, 1.0e30f);
    EXPECT_LE(p.texts.size(), 1100u);
    EXPECT_LE(p.segments.size(), 200u);
}
