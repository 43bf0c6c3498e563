// Class colours, code labels and the legend.
#include <gtest/gtest.h>

#include "picture.h"
#include "plot/traces.h"
#include "toolkit/toolkit.h"

namespace {

const PlotColours colours = buildColourTable();
constexpr int black = WRGB(0, 0, 0);
constexpr int orange = WRGB(255, 140, 0);
constexpr int green = WRGB(0, 255, 0);

// A straight profile: point i at i metres and 10 + i/10 degrees.
SlotData profile(std::initializer_list<int> classes, std::initializer_list<const char*> codes = {}) {
    SlotData s;
    int i = 1;
    for (int c : classes) {
        s.depth[i] = -static_cast<float>(i);
        s.t[i] = 10.0f + static_cast<float>(i) / 10.0f;
        s.iclass[i] = c;
        ++i;
    }
    s.npts = s.nread = i - 1;
    i = 1;
    for (const char* c : codes) s.code[i++] = QcCode(c);
    return s;
}

Picture draw(const SlotData& s, int slot, int n = -1) {
    startTracing();
    drawline(colours, s, n < 0 ? s.npts : n, slot, 2);
    return takePicture();
}

}  // namespace

TEST(Traces, ColourTable) {
    EXPECT_EQ(colours(1), WRGB(238, 18, 137));
    EXPECT_EQ(colours(9), WRGB(99, 184, 255));
    EXPECT_EQ(colours(13), orange);
    EXPECT_EQ(colours.icolprev, colours(1));
    EXPECT_EQ(colours.icolcur, black);
    EXPECT_EQ(colours.icolnext, WRGB(0, 0, 255));

    EXPECT_EQ(pointcolour(colours, 1, 0), colours(1));
    EXPECT_EQ(pointcolour(colours, 3, 3), colours(9));
    EXPECT_EQ(pointcolour(colours, 4, 1), green);
    for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(pointcolour(colours, slot, 4), green);
    EXPECT_EQ(pointcolour(colours, 2, 5), black);
    for (int slot : {1, 3, 4}) EXPECT_EQ(pointcolour(colours, slot, 5), orange);
    EXPECT_FALSE(pointcolour(colours, 2, 6));
    EXPECT_FALSE(pointcolour(colours, 2, -1));
    EXPECT_FALSE(pointcolour(colours, 0, 1));
}

TEST(Traces, SegmentTakesTheColourOfItsEndPoint) {
    const SlotData s = profile({1, 1, 5, 3, 4});
    Picture p = draw(s, 2);
    ASSERT_EQ(p.segments.size(), 4u);
    EXPECT_EQ(p.segments[0].colour, black);
    EXPECT_EQ(p.segments[1].colour, black) << "class 5 on the current drop is drawn like class 0/1";
    EXPECT_EQ(p.segments[2].colour, colours(6));
    EXPECT_EQ(p.segments[3].colour, green);
    EXPECT_EQ(p.segments[0].width, 2);
    EXPECT_FLOAT_EQ(p.segments[0].x1, s.t[1]);
    EXPECT_FLOAT_EQ(p.segments[3].y2, s.depth[5]);

    p = draw(s, 1);
    EXPECT_EQ(p.segments[1].colour, orange) << "class 5 elsewhere is orange";
    EXPECT_EQ(p.segments[2].colour, colours(3));
}

TEST(Traces, UnknownClassKeepsThePreviousColour) {
    const Picture p = draw(profile({1, 3, 7, 12}), 2);
    ASSERT_EQ(p.segments.size(), 3u);
    EXPECT_EQ(p.segments[1].colour, colours(6));
    EXPECT_EQ(p.segments[2].colour, colours(6));
}

TEST(Traces, CodeWrittenAtTheStartOfEachRun) {
    const SlotData s = profile({1, 1, 1, 1, 1}, {"  ", "CS", "CS", "  ", "CS"});
    Picture p = draw(s, 2);
    ASSERT_EQ(p.texts.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
        const int i = k == 0 ? 2 : 5;
        EXPECT_EQ(p.texts[k].text, "CS");
        EXPECT_FLOAT_EQ(p.texts[k].x, s.t[i] + 0.2f);
        EXPECT_FLOAT_EQ(p.texts[k].y, s.depth[i]);
        EXPECT_EQ(p.texts[k].placement, 'L');
        EXPECT_FLOAT_EQ(p.texts[k].width, 0.5f);
    }
    // The current drop gets a small dot at each labelled point.
    ASSERT_EQ(p.marks.size(), 2u);
    EXPECT_EQ(p.marks[0].number, 14);
    EXPECT_FLOAT_EQ(p.marks[0].size, 0.15f);
    EXPECT_FLOAT_EQ(p.marks[1].x, s.t[5]);
    // Writing a label must not break the trace: every segment is still joined.
    ASSERT_EQ(p.segments.size(), 4u);
    for (std::size_t k = 1; k < 4; ++k) {
        EXPECT_FLOAT_EQ(p.segments[k].x1, p.segments[k - 1].x2);
        EXPECT_FLOAT_EQ(p.segments[k].y1, p.segments[k - 1].y2);
    }

    p = draw(s, 3);
    EXPECT_EQ(p.texts.size(), 2u);
    EXPECT_TRUE(p.marks.empty());
}

TEST(Traces, FirstPointCodeAndShortCounts) {
    const SlotData s = profile({3, 1}, {"TP", "TP"});
    Picture p = draw(s, 2, 1);
    EXPECT_TRUE(p.segments.empty());
    ASSERT_EQ(p.texts.size(), 1u);
    EXPECT_EQ(p.texts[0].text, "TP");
    EXPECT_EQ(p.texts[0].colour, colours(6));
    EXPECT_TRUE(p.marks.empty()) << "point 1 gets no dot";

    p = draw(s, 2);
    EXPECT_EQ(p.texts.size(), 1u) << "an unchanged code is not repeated";

    p = draw(s, 2, 0);
    EXPECT_TRUE(p.segments.empty());
    EXPECT_TRUE(p.texts.empty());
}

TEST(Traces, CountBeyondTheSlotIsCut) {
    SlotData s;
    for (int i = 1; i <= ndepmax; ++i) s.depth[i] = -static_cast<float>(i) / 2;
    const Picture p = draw(s, 4, ndepmax + 500);
    EXPECT_EQ(p.segments.size(), static_cast<std::size_t>(ndepmax - 1));
}

TEST(Traces, LegendRows) {
    startTracing();
    IGrUnits(-1.5f, -988.0f, 31.5f, 38.0f);
    writeclasscolors(colours);
    const Picture p = takePicture();

    struct Row {
        const char* text;
        int colourIndex, x, y;
    };
    const Row rows[] = {
        {"Previous:", 1, 2420, 470}, {"Class 0/1", 1, 2920, 470}, {"Class 2", 2, 2920, 310},
        {"Class 3", 3, 2920, 150},   {"Current:", 4, 3530, 470},  {"Class 0/1", 4, 3990, 470},
        {"Class 2", 5, 3990, 310},   {"Class 3", 6, 3990, 150},   {"Next:", 7, 4600, 470},
        {"Class 0/1", 7, 4900, 470}, {"Class 2", 8, 4900, 310},   {"Class 3", 9, 4900, 150},
        {"All:", 10, 5580, 470},     {"Class 4", 10, 5900, 470},  {"Class 5", 13, 5900, 310},
    };
    ASSERT_EQ(p.texts.size(), std::size(rows));
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        const Text& t = p.texts[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(t.op, "WGrTextString");
        EXPECT_EQ(t.text, rows[k].text);
        EXPECT_EQ(t.colour, colours(rows[k].colourIndex));
        EXPECT_EQ(t.font, 3);
        EXPECT_FLOAT_EQ(t.width, 0.55f);
        EXPECT_EQ(t.placement, 'L');
        // Window units to pixels to user units, pixel rows taken as counted
        // from the bottom.
        int px = 0, py = 0;
        WindowUnitsToPixels(rows[k].x, rows[k].y, px, py);
        float x = 0, y = 0;
        IGrUnitsFromPixels(px, py, x, y);
        EXPECT_FLOAT_EQ(t.x, x);
        EXPECT_FLOAT_EQ(t.y, y);
    }
}
