// The full redraw: what is drawn, in which order, and what is left out.
#include <gtest/gtest.h>

#include <string>

#include "picture.h"
#include "plot/redisplay.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int green = WRGB(0, 255, 0);
const std::string mess0 = "<Enter>=Set class=4 at   512.3 m and write";
// Cruise prefix of 10 characters, then "r_" and the drop digits.
const std::string f1rPrev = "/data/cr1/r_011.KTD";
const std::string f1rFirst = "/data/cr1/r_000.KTD";
constexpr int lenF1 = 10;

void fill(SlotData& s, int n, float t0, const char* label) {
    for (int i = 1; i <= n; ++i) {
        s.depth[i] = -static_cast<float>(i);
        s.t[i] = t0 + static_cast<float>(i % 7) / 10.0f;
        s.iclass[i] = 1;
    }
    s.nread = s.npts = n;
    s.ainfo = SlotLabel(label);
}

struct Redisplay : ::testing::Test {
    ProfileStore store;
    PlotSettings settings;
    PlotColours colours = buildColourTable();

    Redisplay() {
        fill(store[1], 300, 5, "r_011  prev caption  ");
        fill(store[2], 400, 10, "r_012  cur caption   ");
        fill(store[3], 350, 15, "r_013  next caption  ");
        store[4] = store[2];
    }

    Picture draw(const std::string& f1r = f1rPrev, int inextok = 1) {
        startTracing();
        redisplay(settings, f1r, lenF1, store, mess0, inextok, colours);
        return takePicture();
    }
};

const Text* caption(const Picture& p, const SlotData& s) {
    return p.find(std::string(s.ainfo.view()));
}

}  // namespace

TEST_F(Redisplay, DrawsEverythingInOrder) {
    const Picture p = draw();
    ASSERT_FALSE(p.calls.empty());
    EXPECT_EQ(p.calls[0].op, "WindowClear");
    const int units = p.indexOf("IGrUnits");
    const int legend = p.indexOf("WGrTextString");
    const int status = p.indexOf("WindowOutString");
    ASSERT_GT(units, 0);
    EXPECT_GT(legend, units);
    EXPECT_GT(status, legend);
    EXPECT_EQ(p.calls[static_cast<std::size_t>(status)].text, mess0);
    EXPECT_EQ(p.calls[static_cast<std::size_t>(status)].args, (std::vector<double>{100, 9850}));

    // Captions of slots 1, 3 and 2 in that order, with the status line between
    // the next drop and the current one.
    std::vector<std::string> captions;
    for (const auto& t : p.texts)
        if (t.text.size() == 21) captions.push_back(t.text);
    ASSERT_EQ(captions.size(), 3u);
    EXPECT_EQ(captions[0], store[1].ainfo.view());
    EXPECT_EQ(captions[1], store[3].ainfo.view());
    EXPECT_EQ(captions[2], store[2].ainfo.view());

    // Segments: previous, next, backup, current.
    EXPECT_EQ(p.segmentsIn(colours(1)).size(), 299u);
    EXPECT_EQ(p.segmentsIn(colours(7)).size(), 349u);
    const auto greens = p.segmentsIn(green);
    EXPECT_EQ(greens.size(), 399u);
    int firstCurrent = -1, lastGreen = -1;
    for (std::size_t k = 0; k < p.segments.size(); ++k) {
        if (p.segments[k].colour == green) lastGreen = static_cast<int>(k);
        if (p.segments[k].colour == colours(4) && p.segments[k].y1 != p.segments[k].y2 && firstCurrent < 0)
            firstCurrent = static_cast<int>(k);
    }
    EXPECT_GT(firstCurrent, lastGreen) << "the current drop lies on top of its backup";
}

TEST_F(Redisplay, CaptionsAtTheirDepths) {
    const Picture p = draw();
    const double dx = 30.0 * 0.02;
    const struct {
        int slot, colour;
        double y;
    } expected[] = {{1, colours(1), -28.5}, {2, colours(4), -57.0}, {3, colours(7), -85.5}};
    for (const auto& e : expected) {
        const Text* t = caption(p, store[e.slot]);
        ASSERT_NE(t, nullptr) << e.slot;
        EXPECT_NEAR(t->x, 1.2 * dx, 1e-5);
        EXPECT_NEAR(t->y, e.y, 1e-4);
        EXPECT_EQ(t->colour, e.colour);
        EXPECT_EQ(t->placement, 'L') << "the legend leaves left alignment for the captions";
        EXPECT_FLOAT_EQ(t->width, 0.7f);
    }
    const Text* marker = p.find(">>");
    ASSERT_NE(marker, nullptr);
    EXPECT_NEAR(marker->x, 0.2 * dx, 1e-5);
    EXPECT_NEAR(marker->y, -57.0, 1e-4);
}

TEST_F(Redisplay, LeavesOutWhatIsNotThere) {
    // The first drop has no previous one.
    Picture p = draw(f1rFirst);
    EXPECT_EQ(caption(p, store[1]), nullptr);
    EXPECT_TRUE(p.segmentsIn(colours(1)).empty());

    settings.ihideprev = 1;
    p = draw();
    EXPECT_EQ(caption(p, store[1]), nullptr);
    EXPECT_TRUE(p.segmentsIn(colours(1)).empty());
    settings.ihideprev = 0;

    p = draw(f1rPrev, 0);
    EXPECT_EQ(caption(p, store[3]), nullptr);
    EXPECT_TRUE(p.segmentsIn(colours(7)).empty());

    settings.ihidenext = 1;
    p = draw();
    EXPECT_EQ(caption(p, store[3]), nullptr);
    settings.ihidenext = 0;

    // A drop that did not load keeps its caption but has no trace.
    store[3].ainfo = SlotLabel("no013");
    p = draw();
    EXPECT_NE(caption(p, store[3]), nullptr);
    EXPECT_TRUE(p.segmentsIn(colours(7)).empty());
}

TEST_F(Redisplay, CutDropShowsGreenBelowTheCut) {
    store[2].npts = 120;
    const Picture p = draw();
    // The topmost colour of each segment of the current drop's path.
    std::vector<int> top(401, -1);
    for (const auto& s : p.segments) {
        const int i = static_cast<int>(-s.y2 + 0.5);
        if (s.y1 != s.y2 && s.y2 < 0 && i >= 2 && i <= 400 && (s.colour == green || s.colour == colours(4)))
            top[static_cast<std::size_t>(i)] = s.colour;
    }
    for (int i = 2; i <= 120; ++i) EXPECT_EQ(top[static_cast<std::size_t>(i)], colours(4)) << i;
    for (int i = 121; i <= 400; ++i) EXPECT_EQ(top[static_cast<std::size_t>(i)], green) << i;
}

TEST_F(Redisplay, ShortOrOddFileNamesAndRangesDoNotBreakTheDrawing) {
    // A name too short to hold the digits is no "000": the drop is drawn.
    startTracing();
    redisplay(settings, "r_0", 40, store, mess0, 1, colours);
    EXPECT_NE(caption(takePicture(), store[1]), nullptr);
    redisplay(settings, f1rPrev, -5, store, mess0, 1, colours);

    settings.tmin = 30;
    settings.tmax = 0;
    const Picture p = draw();
    EXPECT_EQ(p.segmentsIn(green).size(), 399u);

    store[2].npts = 99999;
    store[4].npts = -3;
    draw();
}

TEST(DropDigits, AfterThePrefix) {
    EXPECT_EQ(dropdigits("/data/cr1/r_011.KTD", 10), "011");
    EXPECT_EQ(dropdigits("/data/cr1/r_0", 10), "");
    EXPECT_EQ(dropdigits("abc", -1), "");
}
