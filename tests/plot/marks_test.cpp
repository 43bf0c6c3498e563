// The pre-screen's marks on the plot: a finding off the temperature scale
// still shows inside the frame, and tags at one depth each read on their own.
#include <gtest/gtest.h>

#include <cmath>

#include "picture.h"
#include "plot/envelope.h"
#include "toolkit/toolkit.h"

namespace {

struct Marks : ::testing::Test {
    PlotSettings s;  // the whole depth range
    Marks() {
        s.tmin = -2;
        s.tmax = 32;
    }
    Picture draw(const std::vector<PlotMark>& marks) {
        startTracing();
        const float mx = (s.tmax - s.tmin) * 0.05f, my = s.view.span() * 0.04f;
        IGrUnits(s.tmin - mx, -s.view.bottom - my, s.tmax + mx, -s.view.top + my);
        toolkit::takeTrace();
        drawmarks(s, marks);
        return takePicture();
    }
    // A tag's ink: capitals and digits, which stand on the baseline and
    // reach three quarters of the font's size (four fifths of a character
    // cell), each at most a cell wide.
    struct Box {
        double left, right, bottom, top;
    };
    Box box(const Text& t) const {
        const double cellw = t.width / 75 * (s.tmax - s.tmin) * 1.1;
        const double cellh = t.width / 25 * s.view.span() * 1.08;
        const double w = cellw * double(t.text.size());
        const double left = t.placement == 'R' ? t.x - w : t.x;
        return {left, left + w, t.y, t.y + 0.6 * cellh};
    }
};

TEST_F(Marks, FindingOffTheScaleIsMarkedAtTheFrameEdgeWithAnArrowAndItsTemperature) {
    const struct {
        float t;
        float edge;  // where the diamond must stand
        const char* tag;
    } cases[] = {
        {35.5f, 32.0f, "PLA 35.5"},   // a recorder's saturated value above the scale
        {-2.52f, -2.0f, "WBR -2.5"},  // and its open-circuit value below it
        {18.0f, 18.0f, "SPR"},        // on the scale: at its point, as ever
    };
    for (const auto& c : cases) {
        const std::string code(c.tag, 3);
        const Picture p = draw({{c.t, -36.0f, code}});
        ASSERT_EQ(p.marks.size(), 1u) << c.tag;
        EXPECT_EQ(p.marks[0].number, 6);
        EXPECT_FLOAT_EQ(p.marks[0].x, c.edge) << c.tag;
        EXPECT_FLOAT_EQ(p.marks[0].y, -36.0f);
        ASSERT_EQ(p.texts.size(), 1u);
        EXPECT_EQ(p.texts[0].text, c.tag);
        const Box b = box(p.texts[0]);
        EXPECT_GE(b.left, s.tmin) << c.tag << ": the tag reads inside the frame";
        EXPECT_LE(b.right, s.tmax) << c.tag;
        if (c.t == c.edge) {
            EXPECT_TRUE(p.segments.empty()) << "no arrow for a point on the scale";
            continue;
        }
        // The arrow: its lines meet at the edge, and run inwards from it,
        // the shaft at the finding's depth.
        ASSERT_GE(p.segments.size(), 3u) << c.tag;
        const double inward = c.edge == s.tmax ? -1.0 : 1.0;
        for (const Segment& seg : p.segments) {
            EXPECT_TRUE(seg.x1 == c.edge || seg.x2 == c.edge) << c.tag;
            for (const double x : {seg.x1, seg.x2}) {
                EXPECT_GE((x - c.edge) * inward, 0.0) << c.tag << ": inside the frame";
                EXPECT_LT((x - c.edge) * inward, 2.0) << c.tag;
            }
        }
        EXPECT_DOUBLE_EQ(p.segments[0].y1, -36.0);
        EXPECT_DOUBLE_EQ(p.segments[0].y2, -36.0);
    }
}

TEST_F(Marks, TagsAtOneDepthDoNotPrintOverEachOther) {
    // A break with the offset found at the same point, a pair close
    // together near the surface, and one on its own.
    const std::vector<PlotMark> marks{{20.3f, -699.0f, "WBR"}, {20.3f, -699.0f, "TOR"},
                                      {26.0f, -30.4f, "TDA"},  {26.1f, -31.7f, "WBR"},
                                      {26.1f, -31.7f, "HFR"},  {7.0f, -850.0f, "HBR"}};
    for (const DepthView view : {DepthView{}, DepthView{600.0f, 760.0f}}) {
        s.view = view;
        const Picture p = draw(marks);
        ASSERT_EQ(p.texts.size(), marks.size());
        for (std::size_t i = 0; i < p.texts.size(); ++i) {
            const Box a = box(p.texts[i]);
            for (std::size_t j = 0; j < i; ++j) {
                const Box b = box(p.texts[j]);
                const bool apart =
                    a.right <= b.left || b.right <= a.left || a.top <= b.bottom || b.top <= a.bottom;
                EXPECT_TRUE(apart) << p.texts[i].text << " over " << p.texts[j].text << " in the view to "
                                   << view.bottom;
            }
            // Each tag stays beside its own diamond: three tags close together
            // take three lines.
            const double cellh = (a.top - a.bottom) / 0.6;
            EXPECT_NEAR(p.texts[i].y, marks[i].depth, 2.5 * cellh) << p.texts[i].text;
            EXPECT_FLOAT_EQ(p.marks[i].y, marks[i].depth);
        }
        EXPECT_FLOAT_EQ(p.texts.back().y, -850.0f) << "a tag alone keeps its place";
    }
}

}  // namespace
