// Class colours, code labels and the legend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "picture.h"
#include "plot/traces.h"
#include "toolkit/toolkit.h"

namespace {

const PlotColours colours = buildColourTable();
constexpr int black = WRGB(0, 0, 0), orange = WRGB(255, 140, 0), green = WRGB(0, 255, 0);

// A straight profile: point i at i metres and 10 + i/10 degrees.
SlotData profile(std::vector<int> classes, std::vector<const char*> codes = {}) {
    SlotData s;
    for (std::size_t i = 1; i <= classes.size(); ++i) {
        s.depth[i] = -static_cast<float>(i);
        s.t[i] = 10.0f + static_cast<float>(i) / 10.0f;
        s.iclass[i] = classes[i - 1];
        if (i <= codes.size()) s.code[i] = QcCode(codes[i - 1]);
    }
    s.npts = static_cast<int>(classes.size());
    return s;
}

std::vector<int> segmentColours(const SlotData& s, int slot) {
    startTracing();
    drawline(colours, s, s.npts, slot, 2);
    std::vector<int> out;
    for (const auto& seg : takePicture().segments) out.push_back(seg.colour);
    return out;
}

}  // namespace

TEST(Traces, SegmentTakesTheColourOfItsEndPoint) {
    // Classes 1, 5, 3, 4, then 6: an unknown class keeps the colour before.
    const SlotData s = profile({1, 5, 3, 4, 6});
    EXPECT_EQ(segmentColours(s, 2), (std::vector<int>{black, colours(6), green, green}));
    EXPECT_EQ(segmentColours(s, 1), (std::vector<int>{orange, colours(3), green, green}));
    EXPECT_EQ(segmentColours(s, 4), (std::vector<int>{orange, green, green, green}));
}

TEST(Traces, CodeWrittenAtTheStartOfEachRun) {
    const SlotData s = profile({1, 1, 1, 1, 1}, {"  ", "CS", "CS", "  ", "CS"});
    startTracing();
    drawline(colours, s, 5, 2, 1);
    Picture p = takePicture();
    ASSERT_EQ(p.texts.size(), 2u);
    ASSERT_EQ(p.marks.size(), 2u);  // the current drop gets a dot at each label
    for (std::size_t k = 0; k < 2; ++k) {
        const std::size_t i = k == 0 ? 2 : 5;
        EXPECT_EQ(p.texts[k].text, "CS");
        EXPECT_FLOAT_EQ(p.texts[k].x, s.t[i] + 0.2f);
        EXPECT_FLOAT_EQ(p.texts[k].y, s.depth[i]);
        EXPECT_EQ(p.texts[k].placement, 'L');
        EXPECT_FLOAT_EQ(p.marks[k].x, s.t[i]);
        EXPECT_EQ(p.marks[k].number, 14);
        EXPECT_FLOAT_EQ(p.marks[k].size, 0.15f);
    }
    // Writing a label does not break the line: each segment starts where the last ended.
    for (std::size_t k = 1; k < p.segments.size(); ++k)
        EXPECT_FLOAT_EQ(p.segments[k].y1, p.segments[k - 1].y2);

    drawline(colours, s, 5, 3, 1);
    p = takePicture();
    EXPECT_EQ(p.texts.size(), 2u);
    EXPECT_TRUE(p.marks.empty());

    // A single point: its code only; a count beyond the slot is cut.
    drawline(colours, profile({3}, {"TP"}), 1, 2, 1);
    p = takePicture();
    EXPECT_TRUE(p.segments.empty());
    ASSERT_EQ(p.texts.size(), 1u);
    EXPECT_EQ(p.texts[0].colour, colours(6));
    drawline(colours, SlotData{}, ndepmax + 500, 4, 1);
    EXPECT_EQ(takePicture().segments.size(), static_cast<std::size_t>(ndepmax - 1));
}

TEST(Traces, LegendRows) {
    startTracing();
    IGrUnits(-1.5f, -988.0f, 31.5f, 38.0f);
    writeclasscolors(colours);
    const Picture p = takePicture();
    const struct {
        const char* text;
        int colourIndex, x, y;
    } rows[] = {
        {"Previous:", 1, 2420, 470}, {"Class 0/1", 1, 2920, 470}, {"Class 2", 2, 2920, 310},
        {"Class 3", 3, 2920, 150},   {"Current:", 4, 3530, 470},  {"Class 0/1", 4, 3990, 470},
        {"Class 2", 5, 3990, 310},   {"Class 3", 6, 3990, 150},   {"Next:", 7, 4600, 470},
        {"Class 0/1", 7, 4900, 470}, {"Class 2", 8, 4900, 310},   {"Class 3", 9, 4900, 150},
        {"All:", 10, 5580, 470},     {"Class 4", 10, 5900, 470},  {"Class 5", 13, 5900, 310},
    };
    // The rows keep their spacing, moved right into the frame's bottom
    // right-hand corner, clear of where deep drops end.
    constexpr int shift = 3200;
    ASSERT_EQ(p.texts.size(), std::size(rows));
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        const Text& t = p.texts[k];
        EXPECT_EQ(t.text, rows[k].text);
        EXPECT_EQ(t.colour, colours(rows[k].colourIndex)) << k;
        EXPECT_EQ(t.font, 3);
        EXPECT_EQ(t.placement, 'L');
        // Each entry sits at its window-unit fraction from the left and above
        // the bottom edge (not below the top), to within whole pixels.
        EXPECT_NEAR(t.x, -1.5 + (rows[k].x + shift) / 9999.0 * 33.0, 0.002 * 33.0) << k;
        EXPECT_NEAR(t.y, -988.0 + rows[k].y / 9999.0 * 1026.0, 0.002 * 1026.0) << k;
    }
}

namespace {

// The legend as it shows in a real window of the given client size, each
// entry's ink measured on its own: the drawing trace says where an entry
// begins, only the pixels say where its letters end.
class LegendOnScreen : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    struct Box {
        int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        std::string text;
        // Rows of the legend stand close: the tail of a "/" may touch the
        // row below by a pixel or two, which leaves both rows legible.
        bool meets(const Box& o) const {
            return left <= o.right && o.left <= right && top + 2 < o.bottom && o.top + 2 < bottom;
        }
    };

    void SetUp() override {
        toolkit::setHeadless(false);
        WInitialise(" ");
        toolkit::resetSession();
        WindowRecord r;
        r.flags = 39;
        r.width = GetParam().first;
        r.height = GetParam().second;
        r.menu = 30001;
        r.title = "Dropfix TEST";
        WindowOpen(r);
        ASSERT_EQ(toolkit::clientWidth(), r.width);
        ASSERT_EQ(toolkit::clientHeight(), r.height);
        // The frame's units for a -2..32 degree scale, as a cruise's control.dat sets it.
        IGrUnits(-3.7f, -988.0f, 33.7f, 38.0f);
    }
    void TearDown() override {
        WindowClose();
        toolkit::resetSession();
    }

    // The ink of whatever was drawn since the window was cleared, in the
    // lowest fifth of the window, where the legend and the status line lie.
    static Box ink() {
        Box b;
        const int w = toolkit::clientWidth(), h = toolkit::clientHeight();
        for (int y = h - h / 5; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (toolkit::clientPixel(x, y) != WRGB(255, 255, 255)) {
                    b.left = std::min(b.left, x), b.right = std::max(b.right, x);
                    b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
                }
        return b;
    }

    static std::vector<Box> legendBoxes() {
        toolkit::setTrace(true);
        toolkit::takeTrace();
        writeclasscolors(colours);
        const Picture p = takePicture();
        std::vector<Box> boxes;
        for (const Text& t : p.texts) {
            WindowClear();
            IGrColourN(0);
            IGrCharFont(3);
            IGrCharSize(0.55f, 0.55f);
            WGrTextOrientation(0);
            WGrTextString(float(t.x), float(t.y), t.text);
            boxes.push_back(ink());
            boxes.back().text = t.text;
        }
        WindowClear();
        return boxes;
    }
};

// Deep drops that end between 5 and 8 degrees, as the subtropical ones of a
// real cruise do below 900 m, with one from each neighbour.
SlotData deepDrop(float warmer) {
    SlotData s;
    for (std::size_t i = 1; i <= 990; ++i) {
        const float z = static_cast<float>(i);
        s.depth[i] = -z;
        s.t[i] = 4.8f + warmer + 23.0f * std::exp(-z / 250.0f);
        s.iclass[i] = 1;
    }
    s.npts = 990;
    return s;
}

}  // namespace

TEST_P(LegendOnScreen, EntriesDoNotRunIntoEachOtherOrTheStatusLine) {
    std::vector<Box> boxes = legendBoxes();
    ASSERT_EQ(boxes.size(), 15u);
    WindowOutString(100, 9850, "<Enter>=Set class=4 at   512.3 m and write");
    boxes.push_back(ink());
    boxes.back().text = "the status line";
    WindowClear();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_GE(boxes[i].left, 0) << boxes[i].text << " is drawn";
        EXPECT_LT(boxes[i].right, toolkit::clientWidth() - 1) << boxes[i].text << " ends inside the window";
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(boxes[i].meets(boxes[j]))
                << "entry " << i << " \"" << boxes[i].text << "\" runs into entry " << j << " \""
                << boxes[j].text << "\"";
    }
}

TEST_P(LegendOnScreen, HidesNoPartOfDeepDrops) {
    const std::vector<Box> boxes = legendBoxes();
    for (int slot = 1; slot <= 3; ++slot) drawline(colours, deepDrop(1.5f * float(slot - 1)), 990, slot, 1);
    const int h = toolkit::clientHeight();
    for (const Box& b : boxes)
        for (int y = std::max(b.top - 1, 0); y <= std::min(b.bottom + 1, h - 1); ++y)
            for (int x = std::max(b.left - 1, 0); x <= b.right + 1; ++x)
                ASSERT_EQ(toolkit::clientPixel(x, y), WRGB(255, 255, 255))
                    << "a trace runs through \"" << b.text << "\" at pixel " << x << ", " << y;
}

// A full-screen window, the plot beside the cruise overview, and a small window.
INSTANTIATE_TEST_SUITE_P(Sizes, LegendOnScreen,
                         ::testing::Values(std::pair{1536, 960}, std::pair{580, 960}, std::pair{700, 500}));
