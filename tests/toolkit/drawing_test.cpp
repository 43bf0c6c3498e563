// Drawing into the backing image: units and their fallback, colours, text
// placement, the opaque status text, markers and the trace.
#include "core_fixture.h"

namespace {

using tktest::Headless;
using tktest::Windowed;

constexpr int white = WRGB(255, 255, 255);

// Columns of the image that hold any non-white pixel within rows top..bottom.
std::pair<int, int> inkColumns(int top, int bottom) {
    int first = -1, last = -1;
    for (int x = 0; x < toolkit::clientWidth(); ++x)
        for (int y = top; y <= bottom; ++y)
            if (toolkit::clientPixel(x, y) != white) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(Headless, BadUnitsFallBackToZeroToOneAndRecordSixteen) {
    WInfoError(1);
    IGrUnits(5, 0, 5, 1);
    EXPECT_EQ(WInfoError(1), ToolkitError::BadUnits);
    float x = 0, y = 0;
    IGrUnitsFromPixels(1599, 999, x, y);
    EXPECT_NEAR(x, 1.0, 0.001);
    EXPECT_NEAR(y, 1.0, 0.001);
    IGrUnits(0, 10, 100, 10);  // only y is bad
    EXPECT_EQ(WInfoError(1), ToolkitError::BadUnits);
    IGrUnitsFromPixels(1599, 0, x, y);
    EXPECT_NEAR(x, 100.0, 0.1);
    EXPECT_NEAR(y, 0.0, 0.001);
    IGrUnits(0, -1000, 30, 0);
    EXPECT_EQ(WInfoError(1), 0);
}

TEST_F(Headless, PixelRowZeroIsTheBottomWithoutFlipAndTheTopWithFlip) {
    IGrUnits(-2, -900, 32, 50);
    float x = 0, y = 0;
    IGrUnitsFromPixels(0, 0, x, y);
    EXPECT_NEAR(x, -2, 0.05);
    EXPECT_NEAR(y, -900, 1.0);
    IGrUnitsFromPixels(0, 0, x, y, 1);
    EXPECT_NEAR(y, 50, 1.0);
    EXPECT_LT(y, 50);  // the middle of the row, just inside the range
}

TEST_F(Headless, WindowUnitsToPixelsDropsTheRemainder) {
    int px = 0, py = 0;
    WindowUnitsToPixels(9999, 9999, px, py);
    EXPECT_EQ(px, 1599);
    EXPECT_EQ(py, 999);
    WindowUnitsToPixels(100, 9850, px, py);
    EXPECT_EQ(px, 1599 * 100 / 9999);
    EXPECT_EQ(py, 999 * 9850 / 9999);
}

TEST_F(Headless, TraceRecordsCallsInUserUnits) {
    toolkit::setTrace(true);
    IGrUnits(0, -1000, 30, 0);
    IGrMoveTo(10, -50);
    IGrLineTo(12.5f, -60);
    IGrCharOut(0, 30.4f, " 0");
    WindowOutString(100, 9850, "status");
    toolkit::setTrace(false);
    IGrLineTo(1, 1);
    const auto t = toolkit::takeTrace();
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[2].op, "IGrLineTo");
    EXPECT_EQ(t[2].args, (std::vector<double>{12.5, -60}));
    EXPECT_EQ(t[3].text, " 0");
    EXPECT_EQ(t[4].args, (std::vector<double>{100, 9850}));
}

TEST_F(Headless, PaletteNumberOutOfRangeIsRefusedWithFortyTwo) {
    WInfoError(1);
    IGrColourModel(0);
    IGrColourN(300);
    EXPECT_EQ(WInfoError(1), ToolkitError::BadColour);
    IGrColourModel(24);
    IGrColourN(WRGB(255, 255, 255) + 0x7f000000);  // high bits are ignored in RGB mode
    EXPECT_EQ(WInfoError(1), 0);
}

TEST(Colours, PackedRedInTheLowByte) {
    static_assert(WRGB(0, 0, 255) == 16711680);
    static_assert(WRGB(255, 0, 0) == 255);
    static_assert(WRGB(0, 255, 0) == 65280);
    static_assert(WRGB(300, 0, 0) == 300);  // no range checks
}

TEST_F(Windowed, LinesDrawInTheirRgbColourAtTheirUserPosition) {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrLineWidth(1);
    IGrColourN(WRGB(0, 0, 255));
    IGrMoveTo(100, 240.5f);
    IGrLineTo(300, 240.5f);
    IGrColourN(WRGB(255, 0, 0));
    IGrMoveTo(400.5f, 100);
    IGrLineTo(400.5f, 300);
    // y = 240.5 lies in row 480 - 240.5 = 239.5, that is row 239.
    EXPECT_EQ(toolkit::clientPixel(200, 239), WRGB(0, 0, 255));
    EXPECT_EQ(toolkit::clientPixel(400, 200), WRGB(255, 0, 0));
    EXPECT_EQ(toolkit::clientPixel(50, 239), white);
    IGrLineWidth(0);  // ignored: stays 1
    IGrMoveTo(100, 50.5f);
    IGrLineTo(300, 50.5f);
    EXPECT_EQ(toolkit::clientPixel(200, 428), white);
    EXPECT_NE(toolkit::clientPixel(200, 429), white);
    EXPECT_EQ(toolkit::clientPixel(200, 430), white);
}

TEST_F(Windowed, ClipKeepsLinesMarkersAndPlotTextsWithinItsBandUntilCleared) {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrColourN(WRGB(255, 0, 0));
    IGrClip(100, 300);
    IGrMoveTo(320.5f, 20);  // a line from below the band to above it
    IGrLineTo(320.5f, 460);
    IGrMarker(50, 400, 14);  // above the band: not drawn
    IGrCharSize(0.7f, 0.7f);
    IGrCharOut(500, 400, "PL");
    WGrTextString(500, 50, "Class 4");  // placed from window units: never clipped
    EXPECT_EQ(toolkit::clientPixel(320, 480 - 200), WRGB(255, 0, 0));
    EXPECT_EQ(toolkit::clientPixel(320, 480 - 302), white);
    EXPECT_EQ(toolkit::clientPixel(320, 480 - 98), white);
    EXPECT_EQ(toolkit::clientPixel(320, 480 - 320), white);
    EXPECT_EQ(inkColumns(480 - 410, 480 - 390).first, -1);
    EXPECT_NE(inkColumns(480 - 60, 480 - 45).first, -1);
    WindowClear();  // ends the clip
    IGrMoveTo(100.5f, 20);
    IGrLineTo(100.5f, 460);
    EXPECT_EQ(toolkit::clientPixel(100, 480 - 400), WRGB(255, 0, 0));
}

TEST_F(Windowed, RightPlacedTextEndsAtXAndLeftPlacedTextBeginsThere) {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrColourN(0);
    IGrCharSize(0.7f, 0.7f);
    IGrCharJustify("R");
    IGrCharOut(320, 300, "12.5");
    const auto [rFirst, rLast] = inkColumns(140, 180);
    ASSERT_GE(rFirst, 0);
    EXPECT_LE(rLast, 320);
    EXPECT_GE(rLast, 316);
    EXPECT_LT(rFirst, 310);

    WindowClear();
    WGrTextOrientation(0);
    WGrTextString(320, 300, "12.5");
    const auto [lFirst, lLast] = inkColumns(140, 180);
    EXPECT_GE(lFirst, 320);
    EXPECT_LE(lFirst, 324);
    EXPECT_GT(lLast, 330);

    WindowClear();
    IGrCharJustify("centre");
    IGrCharOut(320, 300, "12.5");
    const auto [cFirst, cLast] = inkColumns(140, 180);
    EXPECT_NEAR((cFirst + cLast) / 2.0, 320, 3);
}

TEST_F(Windowed, StatusTextReplacesOneOfTheSameLengthAndLeavesTheTailOfALongerOne) {
    const int py = 479 * 5000 / 9999;
    auto row = [=] {
        std::vector<int> px;
        for (int y = py - 12; y <= py + 3; ++y)
            for (int x = 0; x < 400; ++x) px.push_back(toolkit::clientPixel(x, y));
        return px;
    };
    WindowOutString(100, 5000, "iiiiiiiiii");
    const auto alone = row();
    WindowClear();
    WindowOutString(100, 5000, "WWWWWWWWWW");
    WindowOutString(100, 5000, "iiiiiiiiii");
    EXPECT_EQ(row(), alone) << "the opaque background wipes what lay beneath";

    WindowClear();
    WindowOutString(100, 5000, "WWWWWWWWWWWWWWWWWWWW");
    const auto [longFirst, longLast] = inkColumns(py - 12, py);
    WindowOutString(100, 5000, "ii");
    const auto [first, last] = inkColumns(py - 12, py);
    EXPECT_EQ(last, longLast);
}

TEST_F(Windowed, MarkerFourteenIsAVisibleDotEvenAtTheSmallestSize) {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrColourN(WRGB(0, 128, 0));
    IGrCharSize(0.15f, 0.15f);
    IGrMarker(100.5f, 100.5f, 14);
    const int c = toolkit::clientPixel(100, 379);
    EXPECT_NE(c, white);
    EXPECT_EQ(toolkit::clientPixel(110, 379), white);
}

TEST_F(Windowed, ResizeGivesAWhiteImageOfTheNewSizeAndAnEvent) {
    IGrUnits(0, 0, 1, 1);
    IGrMoveTo(0, 0.5f);
    IGrLineTo(1, 0.5f);
    QWidget* top = toolkit::mainWindowWidget();
    top->resize(top->width() + 100, top->height() + 50);
    int type = 0;
    EventRecord e;
    ASSERT_TRUE(tktest::nextEvent(type, e));
    EXPECT_EQ(type, EventType::Resize);
    EXPECT_EQ(e.data1, 740);
    EXPECT_EQ(e.data2, 530);
    EXPECT_EQ(toolkit::clientWidth(), 740);
    for (int x = 0; x < 740; x += 37) EXPECT_EQ(toolkit::clientPixel(x, 265), white);
}

// Calls kept until the image is first read are painted then; a refusal
// they met was told when they were made, and is not told again.
TEST_F(Windowed, APictureKeptUntilReadReportsNoErrorAgain) {
    WInfoError(1);
    IGrColourN(999);
    EXPECT_EQ(WInfoError(1), ToolkitError::BadColour);
    IGrUnits(0, 0, 640, 480);
    IGrMoveTo(100, 240.5f);
    IGrLineTo(300, 240.5f);
    EXPECT_EQ(toolkit::clientPixel(200, 239), WRGB(0, 0, 0));
    EXPECT_EQ(WInfoError(1), 0);
}

// The background of a picture, plain or between the cache's two calls, with
// an optional trace drawn over it.
void picture(unsigned colour, bool cached, bool trace) {
    if (cached) WindowBackgroundBegin();
    WindowClear();
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrColourN(int(colour));
    IGrLineType(1);
    IGrMoveTo(10, 400);
    IGrLineTo(630, 400);
    IGrCharOut(320, 300, "label");
    IGrLineType(0);
    if (cached) WindowBackgroundEnd();
    if (trace) {
        // One of each kind of drawing over it, each of which the next
        // picture's background must cover again.
        IGrColourN(WRGB(0, 200, 0));
        IGrMoveTo(100, 10);
        IGrLineTo(500, 470);
        IGrLineType(2);
        IGrLineTo(600, 20);
        IGrLineType(0);
        WindowOutString(100, 9850, "status");
        IGrCharOut(200, 100, "text over it");
        IGrMarker(300, 200, 6);
        const float x[] = {400, 450, 420}, y[] = {300, 320, 380};
        IGrPolygonFill(x, y);
    }
}

std::vector<int> allPixels() {
    std::vector<int> px;
    for (int y = 0; y < toolkit::clientHeight(); ++y)
        for (int x = 0; x < toolkit::clientWidth(); ++x) px.push_back(toolkit::clientPixel(x, y));
    return px;
}

// Whatever came before, a picture from the cached background has the pixels
// and the trace of the same picture drawn afresh: a changed background is
// painted again, and a trace over the last one never shows through.
TEST_F(Windowed, ACachedBackgroundGivesThePixelsAndTraceOfAFreshOne) {
    // The label's size is set before the background, so it is part of it.
    const struct {
        unsigned colour;
        bool trace;
        float labelSize;
    } steps[] = {{WRGB(255, 0, 0), true, 1}, {WRGB(255, 0, 0), false, 1}, {WRGB(0, 0, 255), true, 1},
                 {WRGB(255, 0, 0), true, 1}, {WRGB(255, 0, 0), true, 1},  {WRGB(255, 0, 0), true, 2},
                 {WRGB(255, 0, 0), false, 1}};
    for (const auto& step : steps) {
        IGrCharSize(step.labelSize, step.labelSize);
        toolkit::setTrace(true);
        picture(step.colour, true, step.trace);
        const auto gotTrace = toolkit::takeTrace();
        const auto got = allPixels();
        picture(step.colour, false, step.trace);
        const auto wantTrace = toolkit::takeTrace();
        toolkit::setTrace(false);
        EXPECT_EQ(gotTrace.size(), wantTrace.size());
        for (std::size_t k = 0; k < std::min(gotTrace.size(), wantTrace.size()); ++k) {
            EXPECT_EQ(gotTrace[k].op, wantTrace[k].op) << k;
            EXPECT_EQ(gotTrace[k].args, wantTrace[k].args) << k;
        }
        EXPECT_TRUE(got == allPixels())
            << std::hex << step.colour << " " << step.trace << " " << step.labelSize;
    }
    // A picture straight over another: the cache gives back what the
    // drawings over the last one covered, and nothing of them remains.
    picture(WRGB(255, 0, 0), true, true);
    picture(WRGB(255, 0, 0), true, false);
    const auto over = allPixels();
    picture(WRGB(255, 0, 0), false, false);
    EXPECT_TRUE(over == allPixels());
    // A new client size paints the background again at that size.
    QWidget* top = toolkit::mainWindowWidget();
    top->resize(top->width() - 100, top->height() - 50);
    tktest::drain();
    picture(WRGB(255, 0, 0), true, false);
    const auto got = allPixels();
    ASSERT_EQ(got.size(), std::size_t(toolkit::clientWidth() * toolkit::clientHeight()));
    picture(WRGB(255, 0, 0), false, false);
    EXPECT_TRUE(got == allPixels());
}

}  // namespace
