// Pictures painted from kept calls: the window's waiting first picture and
// the cached background give the pixels of the same calls drawn at once,
// for every kind of call, and nothing drawn over a cached background
// outlives the next copy of it.
#include <QImage>
#include <set>
#include <string>

#include "core_fixture.h"

namespace {

using tktest::Windowed;

void units() {
    IGrUnits(0, 0, 640, 480);
    IGrColourModel(24);
    IGrColourN(WRGB(200, 0, 0));
}

void line() {
    IGrMoveTo(100, 100);
    IGrLineTo(500, 380);
}

// Each drawing changes its pixels through the calls it is named for, so a
// call lost on its way through the kept calls would show.
const struct {
    const char* name;
    void (*draw)();
} drawings[] = {
    {"line", [] { units(), line(); }},
    {"colour model",
     [] { IGrUnits(0, 0, 640, 480), IGrColourModel(24), IGrColourN(WRGB(0, 0, 200)), line(); }},
    {"line width", [] { units(), IGrLineWidth(6), line(); }},
    {"line type", [] { units(), IGrLineType(2), line(); }},
    {"markers",
     [] {
         units(), IGrCharSize(3, 3), IGrMarker(320, 240, 14), IGrMarker(200, 240, 6), IGrMarker(440, 240, 1);
     }},
    {"polygon",
     [] {
         units();
         const float x[] = {100, 500, 300}, y[] = {100, 150, 400};
         IGrPolygonFill(x, y);
     }},
    {"character set", [] { units(), IGrCharSet("H"), IGrCharOut(320, 240, "Set"); }},
    {"spacing", [] { units(), IGrCharSpacing("M"), IGrCharOut(320, 240, "iiWW"); }},
    {"font", [] { units(), IGrCharFont(4), IGrCharOut(320, 240, "Font"); }},
    {"accents, large",
     [] { units(), IGrCharSize(3, 3), IGrCharFont(2), IGrCharOut(320, 240, "\xc5ngstr\xf6m"); }},
    {"justify", [] { units(), IGrCharJustify("L"), IGrCharOut(320, 240, "left"); }},
    {"window text", [] { units(), WGrTextOrientation(2), WGrTextString(320, 240, "Class 4"); }},
    {"clip", [] { units(), IGrClip(200, 300), line(), IGrClipOff(), IGrMoveTo(50, 20), IGrLineTo(50, 460); }},
    {"clear", [] { units(), line(), WindowClear(), IGrMoveTo(100, 380), IGrLineTo(500, 100); }},
    {"status", [] { WindowOutString(100, 9850, "status text"); }},
};

QImage shown() {
    toolkit::finishPainting();
    return toolkit::core().image.copy();
}

// A background of the usual kind: a cleared window, a frame and a label.
void frame() {
    WindowClear();
    units();
    IGrMoveTo(20, 20);
    IGrLineTo(620, 20);
    IGrLineTo(620, 460);
    IGrCharOut(320, 440, "frame");
}

// Draws a background between the cache's two calls; true when its pixels
// were copied from the cache rather than painted.
bool cachedBackground(void (*draw)()) {
    toolkit::resetDrawState();
    const qint64 kept = toolkit::core().background.pixels.cacheKey();
    WindowBackgroundBegin();
    WindowClear();
    draw();
    WindowBackgroundEnd();
    return kept != 0 && kept == toolkit::core().background.pixels.cacheKey();
}

TEST_F(Windowed, EveryKindOfCallPaintsFromKeptCallsWhatItPaintsAtOnce) {
    std::set<std::string> traced;
    for (const auto& d : drawings) {
        toolkit::resetDrawState();
        WindowClear();
        toolkit::setTrace(true);
        d.draw();
        toolkit::setTrace(false);
        for (const auto& e : toolkit::takeTrace()) traced.insert(e.op);
        const QImage atOnce = shown();

        toolkit::resetDrawState();
        toolkit::deferPainting();
        WindowClear();
        d.draw();
        EXPECT_TRUE(shown() == atOnce) << d.name << ": the waiting first picture";

        EXPECT_FALSE(cachedBackground(d.draw)) << d.name;
        EXPECT_TRUE(shown() == atOnce) << d.name << ": the background painted";
        EXPECT_TRUE(cachedBackground(d.draw)) << d.name;
        EXPECT_TRUE(shown() == atOnce) << d.name << ": the background copied";
    }
    for (int k = 0; !toolkit::drawOpName(toolkit::DrawOp(k)).empty(); ++k)
        EXPECT_TRUE(traced.count(std::string(toolkit::drawOpName(toolkit::DrawOp(k)))))
            << toolkit::drawOpName(toolkit::DrawOp(k)) << " is in none of the drawings";
}

// Whatever a picture drew over the background, the next copy of that
// background shows the background alone.
TEST_F(Windowed, NothingDrawnOverACachedBackgroundOutlivesTheNextCopy) {
    toolkit::resetDrawState();
    frame();
    const QImage alone = shown();
    for (const auto& d : drawings) {
        cachedBackground(frame);
        toolkit::resetDrawState();
        d.draw();
        EXPECT_TRUE(cachedBackground(frame)) << d.name;
        EXPECT_TRUE(shown() == alone) << d.name;
    }
}

}  // namespace
