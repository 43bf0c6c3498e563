// The painter that stays open on the backing image across drawing calls:
// no call inherits another's pen, brush or smoothing, and what was drawn is
// complete whenever the image is read or shown.
#include <QImage>
#include <QWidget>

#include "core_fixture.h"

namespace {

using tktest::Windowed;

constexpr int white = WRGB(255, 255, 255);

// Pixels of column x in rows top..bottom that are not white.
std::vector<int> inkInColumn(int x, int top, int bottom) {
    std::vector<int> ink;
    for (int y = top; y <= bottom; ++y)
        if (const int c = toolkit::clientPixel(x, y); c != white) ink.push_back(c);
    return ink;
}

void horizontalLine(float y) {
    IGrMoveTo(200, y);
    IGrLineTo(440, y);
}

TEST_F(Windowed, EachCallDrawsWithItsOwnSettingsWhateverCameBefore) {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrLineWidth(1);

    // A smoothed, filled dot, then a plain line: the line stays one crisp row.
    IGrColourN(WRGB(255, 0, 0));
    IGrCharSize(1, 1);
    IGrMarker(100, 240, 14);
    IGrColourN(WRGB(0, 0, 255));
    horizontalLine(240.5f);
    EXPECT_EQ(inkInColumn(320, 230, 250), std::vector<int>{WRGB(0, 0, 255)});

    // Text, then a line in a new colour of the same width and pattern.
    IGrCharOut(320, 400, "Class 0/1");
    IGrColourN(WRGB(0, 128, 0));
    horizontalLine(200.5f);
    EXPECT_EQ(inkInColumn(320, 270, 290), std::vector<int>{WRGB(0, 128, 0)});

    // A dashed line, then a solid one: the solid one has no gaps.
    IGrLineType(2);
    horizontalLine(150.5f);
    IGrLineType(0);
    horizontalLine(100.5f);
    int gaps = 0;
    for (int x = 201; x < 439; ++x) gaps += toolkit::clientPixel(x, 379) == white;
    EXPECT_EQ(gaps, 0);
    int dottedGaps = 0;
    for (int x = 201; x < 439; ++x) dottedGaps += toolkit::clientPixel(x, 329) == white;
    EXPECT_GT(dottedGaps, 20);
}

TEST_F(Windowed, TheWindowShowsEveryCallDrawnBeforeItIsShownAndAfter) {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrColourN(0);
    horizontalLine(240.5f);
    QWidget* canvas = toolkit::clientArea();
    ASSERT_NE(canvas, nullptr);
    const QImage first = canvas->grab().toImage();
    EXPECT_EQ(first.pixel(320, 239) & 0xffffffu, 0u);
    EXPECT_EQ(first.pixel(320, 139) & 0xffffffu, 0xffffffu);

    // Drawing goes on after the picture was taken, into the same image.
    horizontalLine(340.5f);
    EXPECT_EQ(toolkit::clientPixel(320, 139), 0);
    const QImage second = canvas->grab().toImage();
    EXPECT_EQ(second.pixel(320, 139) & 0xffffffu, 0u);
    EXPECT_EQ(second.pixel(320, 239) & 0xffffffu, 0u);
    EXPECT_EQ(first.pixel(320, 139) & 0xffffffu, 0xffffffu) << "an earlier picture keeps its own pixels";

    WindowClear();
    EXPECT_EQ(toolkit::clientPixel(320, 239), white);
    horizontalLine(40.5f);
    EXPECT_EQ(toolkit::clientPixel(320, 439), 0);
}

}  // namespace
