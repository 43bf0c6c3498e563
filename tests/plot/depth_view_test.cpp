// The depth view: zoom, pan and their keys, and the frame a zoomed view
// draws, against the frame of the whole profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture.h"
#include "plot/axes.h"
#include "plot/depth_view.h"

namespace {

EventRecord key(int code) {
    EventRecord e;
    e.data1 = code;
    return e;
}

EventRecord wheel(int button, int modifiers, float metres) {
    EventRecord e;
    e.data1 = button;
    e.data2 = modifiers;
    e.unitY = -metres;
    return e;
}

TEST(DepthView, KeysAndTheCtrlWheelMoveTheViewWithinItsLimits) {
    struct Case {
        DepthView from;
        int type;
        EventRecord event;
        DepthView to;
    };
    const DepthView whole;
    const std::vector<Case> cases{
        {whole, EventType::KeyDown, key('+'), {237.5f, 712.5f}},
        {{100, 200}, EventType::KeyDown, key('+'), {125, 175}},
        {{100, 200}, EventType::KeyDown, key('-'), {50, 250}},
        {{100, 600}, EventType::KeyDown, key('-'), whole},  // as wide as the whole: the whole again
        {{100, 200}, EventType::KeyDown, key('0'), whole},
        {{100, 200}, EventType::KeyDown, key(KeyCode::Down), {125, 225}},
        {{100, 200}, EventType::KeyDown, key(KeyCode::Up), {75, 175}},
        {{100, 200}, EventType::KeyDown, key(KeyCode::PageDown), {200, 300}},
        {{50, 150}, EventType::KeyDown, key(KeyCode::PageUp), {0, 100}},           // not above the surface
        {{1950, 2000}, EventType::KeyDown, key(KeyCode::PageDown), {1950, 2000}},  // nor below the deepest
        {{0, 4}, EventType::KeyDown, key('+'), {0.5f, 3.5f}},                      // no narrower than 3 m
        // The wheel with Ctrl keeps the depth under the pointer where it is.
        {whole, EventType::MouseButDown, wheel(4, Modifier::Ctrl, 95), {47.5f, 522.5f}},
        {{0, 100}, EventType::MouseButDown, wheel(5, Modifier::Ctrl, 50), {0, 200}},
    };
    for (const auto& c : cases) {
        const auto v = viewfor(c.from, c.type, c.event);
        ASSERT_TRUE(v) << c.from.top << " " << c.event.data1;
        EXPECT_FLOAT_EQ(v->top, c.to.top) << c.from.top << " " << c.event.data1;
        EXPECT_FLOAT_EQ(v->bottom, c.to.bottom) << c.from.top << " " << c.event.data1;
    }
    // What does not move the view: the plain wheel (a pick in the dialogs),
    // a click, other keys.
    EXPECT_FALSE(viewfor(whole, EventType::MouseButDown, wheel(4, 0, 10)));
    EXPECT_FALSE(viewfor(whole, EventType::MouseButDown, wheel(1, Modifier::Ctrl, 10)));
    EXPECT_FALSE(viewfor(whole, EventType::KeyDown, key('A')));
    EXPECT_FALSE(viewfor(whole, EventType::MenuSelect, key(40009)));
}

// The depth labels of a frame, top to bottom, with their heights.
std::vector<std::pair<std::string, double>> depthlabels(const Picture& p) {
    std::vector<std::pair<std::string, double>> out;
    for (const auto& t : p.texts)
        if (t.placement == 'R' && t.text.find_first_not_of(" 0123456789") == std::string::npos)
            out.emplace_back(t.text, t.y);
    return out;
}

TEST(DepthView, AZoomedFrameLabelsRoundDepthsAndTheWholeOneIsTheFrameOfOld) {
    struct Case {
        DepthView view;
        float step;
        std::vector<std::string> labels;
    };
    const std::vector<Case> cases{
        {{0, 8}, 1, {"  0", "  1", "  2", "  3", "  4", "  5", "  6", "  7", "  8"}},
        {{3, 20}, 2, {"  4", "  6", "  8", " 10", " 12", " 14", " 16", " 18", " 20"}},
        {{10, 45}, 5, {" 10", " 15", " 20", " 25", " 30", " 35", " 40", " 45"}},
        {{990, 1180}, 20, {"1000", "1020", "1040", "1060", "1080", "1100", "1120", "1140", "1160", "1180"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(depthstep(c.view.span()), c.step);
        PlotSettings s;
        s.view = c.view;
        startTracing();
        plotframe(s);
        const Picture p = takePicture();
        std::vector<std::string> labels;  // drawn from the deepest up
        for (const auto& [text, y] : depthlabels(p)) {
            labels.insert(labels.begin(), text);
            EXPECT_FLOAT_EQ(static_cast<float>(-y), std::stof(text));
        }
        EXPECT_EQ(labels, c.labels) << c.view.top;
        // Grid lines lie strictly inside the view, one per step.
        for (const auto& seg : p.segmentsIn(WRGB(220, 220, 220)))
            if (seg.y1 == seg.y2) {
                EXPECT_TRUE(seg.y1 < -c.view.top && seg.y1 > -c.view.bottom) << seg.y1;
            }
    }

    // The whole view draws exactly what iaxes always drew.
    startTracing();
    plotframe(PlotSettings{});
    const auto whole = toolkit::takeTrace();
    startTracing();
    iaxes(0, 30, plottempstep, plotdepthmin, plotdepthmax, plotdepthstep, 1, 1, 1);
    const auto old = toolkit::takeTrace();
    ASSERT_EQ(whole.size(), old.size());
    for (std::size_t i = 0; i < old.size(); ++i) {
        EXPECT_EQ(whole[i].op, old[i].op);
        EXPECT_EQ(whole[i].args, old[i].args);
        EXPECT_EQ(whole[i].text, old[i].text);
    }
}

}  // namespace
