// The plot frame: units, grids, scales and unit letters.
#include <gtest/gtest.h>

#include <cmath>

#include "picture.h"
#include "plot/axes.h"
#include "plot/plot_settings.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int gridGrey = WRGB(220, 220, 220);
constexpr int frameGrey = WRGB(230, 230, 230);

Picture drawAxes(float tmin, float tmax, int idepgrid = 1, int itempgrid = 1, int igridstep = 1) {
    startTracing();
    iaxes(tmin, tmax, plottempstep, plotdepthmin, plotdepthmax, plotdepthstep, idepgrid, itempgrid,
          igridstep);
    return takePicture();
}

std::vector<Text> labelsAbove(const Picture& p) {
    std::vector<Text> out;
    for (const auto& t : p.texts)
        if (t.placement == 'C') out.push_back(t);
    return out;
}

}  // namespace

TEST(Axes, UnitsLeaveMarginsAroundTheFrame) {
    const Picture p = drawAxes(0, 30);
    ASSERT_EQ(p.calls.at(0).op, "IGrUnits");
    const auto& u = p.calls[0].args;
    EXPECT_NEAR(u[0], -1.5, 1e-4);
    EXPECT_NEAR(u[1], -988.0, 1e-3);
    EXPECT_NEAR(u[2], 31.5, 1e-4);
    EXPECT_NEAR(u[3], 38.0, 1e-3);

    // Left and top edges only.
    const auto frame = p.segmentsIn(frameGrey);
    ASSERT_EQ(frame.size(), 2u);
    EXPECT_EQ(frame[0].x1, 0);
    EXPECT_EQ(frame[0].y1, -950);
    EXPECT_EQ(frame[0].x2, 0);
    EXPECT_EQ(frame[0].y2, 0);
    EXPECT_EQ(frame[1].x2, 30);
    EXPECT_EQ(frame[1].y2, 0);
}

TEST(Axes, GridsForZeroToThirty) {
    const Picture p = drawAxes(0, 30);
    std::vector<double> depths, temps;
    for (const auto& s : p.segmentsIn(gridGrey)) {
        if (s.y1 == s.y2) {
            EXPECT_EQ(s.x1, 0);
            EXPECT_EQ(s.x2, 30);
            depths.push_back(s.y1);
        } else {
            EXPECT_EQ(s.x1, s.x2);
            EXPECT_EQ(s.y1, -950);
            EXPECT_EQ(s.y2, 0);
            temps.push_back(s.x1);
        }
    }
    ASSERT_EQ(depths.size(), 18u);
    for (int k = 1; k <= 18; ++k) EXPECT_EQ(depths[k - 1], -950 + 50 * k);
    ASSERT_EQ(temps.size(), 30u);
    for (int k = 1; k <= 30; ++k) EXPECT_NEAR(temps[k - 1], k, 1e-4);
}

TEST(Axes, GridSwitchesAndWideSpacing) {
    Picture p = drawAxes(0, 30, 0, 1);
    for (const auto& s : p.segmentsIn(gridGrey)) EXPECT_EQ(s.x1, s.x2) << "no horizontal grid line";
    EXPECT_EQ(p.segmentsIn(gridGrey).size(), 30u);

    p = drawAxes(0, 30, 1, 0);
    EXPECT_EQ(p.segmentsIn(gridGrey).size(), 18u);

    // A spacing wider than the range still draws its first line, off the frame.
    p = drawAxes(0, 5, 0, 1, 10);
    const auto lines = p.segmentsIn(gridGrey);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x1, 10);
}

TEST(Axes, TemperatureLabelsAreIntegerPartsAboveTheTop) {
    Picture p = drawAxes(0.5f, 20.5f);
    auto labels = labelsAbove(p);
    ASSERT_EQ(labels.size(), 5u);
    const char* expected[] = {" 0", " 5", "10", "15", "20"};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i].text, expected[i]);
        EXPECT_NEAR(labels[i].x, 0.5 + 5.0 * static_cast<double>(i), 1e-4);
        EXPECT_NEAR(labels[i].y, 0.4 * 38.0, 1e-3);
        EXPECT_EQ(labels[i].colour, 0);
        EXPECT_FLOAT_EQ(labels[i].width, 0.9f);
    }

    p = drawAxes(-10, 30);
    labels = labelsAbove(p);
    ASSERT_EQ(labels.size(), 9u);
    EXPECT_EQ(labels.front().text, "-10");
    EXPECT_EQ(labels[1].text, "-5");
    EXPECT_EQ(labels.back().text, "30");
}

TEST(Axes, DepthTicksAndLabels) {
    const Picture p = drawAxes(0, 30);
    // Ticks are the short black lines left of the frame.
    int ticks = 0;
    for (const auto& s : p.segmentsIn(0))
        if (s.x1 == 0 && s.y1 == s.y2 && s.x2 < 0) {
            EXPECT_NEAR(s.x2, -0.15, 1e-5);
            ++ticks;
        }
    EXPECT_EQ(ticks, 20);

    std::vector<std::string> depthLabels;
    for (const auto& t : p.texts)
        if (t.placement == 'R' && t.text.size() == 3) {
            EXPECT_NEAR(t.x, -0.3, 1e-5);
            EXPECT_EQ(std::fmod(t.y, 100.0), 0.0);
            depthLabels.push_back(t.text);
        }
    const std::vector<std::string> expected{"900", "800", "700", "600", "500",
                                            "400", "300", "200", "100", "  0"};
    EXPECT_EQ(depthLabels, expected);
}

TEST(Axes, UnitLettersAndDegreeSign) {
    const Picture p = drawAxes(0, 30);
    const Text* c = p.find("C");
    const Text* m = p.find("m");
    const Text* o = p.find("o");
    ASSERT_TRUE(c && m && o);
    EXPECT_NEAR(c->x, 0.7 * 1.5, 1e-5);
    EXPECT_NEAR(c->y, 0.4 * 38, 1e-3);
    EXPECT_NEAR(m->x, -0.75, 1e-5);
    EXPECT_EQ(m->y, 0);
    EXPECT_NEAR(o->x, 0.45 * 1.5, 1e-5);
    EXPECT_NEAR(o->y, 0.51 * 38, 1e-3);
    EXPECT_FLOAT_EQ(o->width, 0.7f);
    for (const Text* t : {c, m, o}) EXPECT_EQ(t->placement, 'R');
}

TEST(Axes, InvertedOrHugeRangesFinish) {
    // The minimum at or above the maximum: at most one label, and no hang.
    Picture p = drawAxes(20, 10);
    EXPECT_TRUE(labelsAbove(p).empty());
    p = drawAxes(15, 15);
    EXPECT_EQ(labelsAbove(p).size(), 1u);
    // A range no loop could step through: the drawing still ends.
    p = drawAxes(0, 1.0e30f);
    EXPECT_LE(labelsAbove(p).size(), 1000u);
    EXPECT_LE(p.segmentsIn(gridGrey).size(), 18u + 100u);
}

TEST(Axes, TempLabelText) {
    EXPECT_EQ(templabel(0.0f), " 0");
    EXPECT_EQ(templabel(-0.5f), " 0");
    EXPECT_EQ(templabel(-5.0f), "-5");
    EXPECT_EQ(templabel(-10.0f), "-10");
    EXPECT_EQ(templabel(25.9f), "25");
    EXPECT_EQ(templabel(1.0e20f), "**");
}
