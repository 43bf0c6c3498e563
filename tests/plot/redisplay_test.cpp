// The full redraw: what is drawn, in which order, and what is left out.
#include <gtest/gtest.h>

#include "picture.h"
#include "plot/redisplay.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int green = WRGB(0, 255, 0);
const std::string mess0 = "<Enter>=Set class=4 at   512.3 m and write";
// A cruise prefix of 10 characters, then "r_" and the drop digits.
const std::string f1rPrev = "/data/cr1/r_011.KTD", f1rFirst = "/data/cr1/r_000.KTD";

struct Redisplay : ::testing::Test {
    ProfileStore store;
    PlotSettings settings;
    PlotColours colours = buildColourTable();

    Redisplay() {
        const char* labels[] = {"", "r_011  prev caption  ", "r_012  cur caption   ",
                                "r_013  next caption  "};
        for (int slot = 1; slot <= 3; ++slot) {
            SlotData& s = store[slot];
            for (std::size_t i = 1; i <= 400; ++i) {
                s.depth[i] = -static_cast<float>(i);
                s.t[i] = 5.0f * static_cast<float>(slot) + static_cast<float>(i % 7) / 10.0f;
                s.iclass[i] = 1;
            }
            s.npts = 400;
            s.ainfo = SlotLabel(labels[slot]);
        }
        store[4] = store[2];
    }

    Picture draw(const std::string& f1r = f1rPrev, int inextok = 1) {
        startTracing();
        redisplay(settings, f1r, 10, store, mess0, inextok, colours);
        return takePicture();
    }
    const Text* caption(const Picture& p, int slot) { return p.find(std::string(store[slot].ainfo.view())); }
};

}  // namespace

TEST_F(Redisplay, DrawsEverythingInOrder) {
    const Picture p = draw();
    EXPECT_EQ(p.calls.at(0).op, "WindowClear");
    EXPECT_EQ(p.calls.at(1).op, "IGrUnits");
    // Legend, captions of slots 1, 3, the status line, then the current drop's caption.
    std::vector<std::string> order;
    for (const auto& t : p.texts)
        if (t.op != "IGrCharOut" || t.text.size() == 21)
            order.push_back(t.op == "IGrCharOut" ? t.text : t.op);
    ASSERT_EQ(order.size(), 15u + 4u);
    EXPECT_EQ(order[14], "WGrTextString");
    EXPECT_EQ(order[15], store[1].ainfo.view());
    EXPECT_EQ(order[16], store[3].ainfo.view());
    EXPECT_EQ(order[17], "WindowOutString");
    EXPECT_EQ(order[18], store[2].ainfo.view());
    const Text* status = p.find(mess0);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->x, 100);
    EXPECT_EQ(status->y, 9850);

    // Captions 28.5, 57.0 and 85.5 m down, in the caption colours; ">>" before the current one.
    const double dx = 30.0 * 0.02;
    const double depth[] = {0, -28.5, -57.0, -85.5};
    const int colour[] = {0, colours(1), colours(4), colours(7)};
    for (int slot = 1; slot <= 3; ++slot) {
        const Text* t = caption(p, slot);
        EXPECT_NEAR(t->x, 1.2 * dx, 1e-5);
        EXPECT_NEAR(t->y, depth[slot], 1e-4);
        EXPECT_EQ(t->colour, colour[slot]);
        EXPECT_EQ(t->placement, 'L') << "the legend leaves left alignment for the captions";
    }
    EXPECT_NEAR(p.find(">>")->x, 0.2 * dx, 1e-5);
    EXPECT_NEAR(p.find(">>")->y, -57.0, 1e-4);

    EXPECT_EQ(p.segmentsIn(colours(1)).size(), 399u);
    EXPECT_EQ(p.segmentsIn(colours(7)).size(), 399u);
}

TEST_F(Redisplay, LeavesOutWhatIsNotThere) {
    const auto absent = [&](const Picture& p, int slot) {
        return caption(p, slot) == nullptr && p.segmentsIn(colours(3 * slot - 2)).empty();
    };
    EXPECT_TRUE(absent(draw(f1rFirst), 1)) << "the first drop has no previous one";
    EXPECT_TRUE(absent(draw(f1rPrev, 0), 3)) << "no next drop";
    settings.ihideprev = settings.ihidenext = 1;
    Picture p = draw();
    EXPECT_TRUE(absent(p, 1));
    EXPECT_TRUE(absent(p, 3));
    settings.ihideprev = settings.ihidenext = 0;
    // A drop that did not load keeps its caption but has no trace.
    store[3].ainfo = SlotLabel("no013");
    p = draw();
    EXPECT_NE(caption(p, 3), nullptr);
    EXPECT_TRUE(p.segmentsIn(colours(7)).empty());
}

TEST_F(Redisplay, CutDropShowsGreenBelowTheCut) {
    store[2].npts = 120;
    const Picture p = draw();
    // The colour left on top of each segment of the current drop's path.
    std::vector<int> top(401, -1);
    for (const auto& s : p.segments)
        if (s.y1 != s.y2 && s.x2 >= 10 && s.x2 < 11) top[static_cast<std::size_t>(-s.y2 + 0.5)] = s.colour;
    for (std::size_t i = 2; i <= 120; ++i) EXPECT_EQ(top[i], colours(4)) << i;
    for (std::size_t i = 121; i <= 400; ++i) EXPECT_EQ(top[i], green) << i;
}

TEST_F(Redisplay, OddNamesCountsAndRangesDoNotBreakTheDrawing) {
    // A name too short to hold the drop digits is not "000": the drop is drawn.
    startTracing();
    redisplay(settings, "r_0", 40, store, mess0, 1, colours);
    EXPECT_NE(caption(takePicture(), 1), nullptr);
    redisplay(settings, f1rPrev, -5, store, mess0, 1, colours);
    EXPECT_EQ(dropdigits(f1rPrev, 10), "011");

    settings.tmin = 30, settings.tmax = 0;
    store[2].npts = 99999, store[4].npts = -3;
    const Picture p = draw();
    EXPECT_EQ(p.segmentsIn(colours(4)).size(), static_cast<std::size_t>(ndepmax - 1 + 20));
}
