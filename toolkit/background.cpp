// The picture's cached background: the cleared window, frame, grids, labels
// and legend that every redraw paints again and that rarely change. Their
// calls are gathered without painting; when they, and the settings they
// read, are those that painted the kept pixels, the kept pixels are copied
// back whole, and otherwise the calls are painted and their pixels kept.
// The copy is of the whole image, so nothing a picture drew over the last
// background can show through the next.
#include <cstring>

#include "toolkit/core.h"

namespace toolkit {

namespace {

// Only calls that start by clearing the window paint the same pixels
// whatever the image held before them.
bool startsClear(const std::vector<DrawCall>& calls) {
    return !calls.empty() && calls.front().op == DrawOp::WindowClear;
}

bool keptFits(const QImage& kept, const QImage& img) {
    return !kept.isNull() && kept.size() == img.size() && kept.format() == img.format() &&
           kept.bytesPerLine() == img.bytesPerLine() && kept.devicePixelRatio() == img.devicePixelRatio();
}

}  // namespace

void paintBackground(QImage& img, const DrawState& after) {
    BackgroundCache& b = core().background;
    finishPainting();
    const DrawState from = settingsRead(b.start, b.calls);
    if (startsClear(b.calls) && keptFits(b.pixels, img) && b.madeFrom == from && b.madeBy == b.calls) {
        std::memcpy(img.bits(), b.pixels.constBits(), std::size_t(img.sizeInBytes()));
        imageChanged();
        b.calls.clear();
        core().draw = after;
        return;
    }
    core().draw = b.start;
    replayCalls(b.calls, 0, b.calls.size());
    finishPainting();
    core().draw = after;
    if (startsClear(b.calls)) {
        // A kept image of another size goes before the new one is made:
        // two of them for a moment would take twice the memory.
        if (!keptFits(b.pixels, img)) {
            b.pixels = QImage();
            b.pixels = imageOfPlotSize(img.width(), img.height(), img.devicePixelRatio());
        }
        std::memcpy(b.pixels.bits(), img.constBits(), std::size_t(img.sizeInBytes()));
        b.madeFrom = from;
        b.madeBy = std::move(b.calls);
    } else {
        b.pixels = QImage();
        b.madeBy.clear();
    }
    b.calls.clear();
}

}  // namespace toolkit

using toolkit::core;

void WindowBackgroundBegin() {
    toolkit::CoreState& c = core();
    if (toolkit::DeferredPicture& d = c.deferred; d.on) {
        d.backgroundBegin = d.calls.size();
        d.backgroundStart = c.draw;
        d.background.reset();
        return;
    }
    toolkit::BackgroundCache& b = c.background;
    if (b.gathering || !toolkit::backingImage()) return;
    toolkit::finishPainting();
    b.gathering = true;
    b.start = c.draw;
    b.calls.clear();
}

void WindowBackgroundEnd() {
    toolkit::CoreState& c = core();
    if (toolkit::DeferredPicture& d = c.deferred; d.on) {
        if (d.backgroundBegin)
            d.background = toolkit::DeferredPicture::Background{*d.backgroundBegin, d.calls.size(),
                                                                d.backgroundStart, c.draw};
        return;
    }
    toolkit::BackgroundCache& b = c.background;
    if (!b.gathering) return;
    b.gathering = false;
    if (QImage* img = toolkit::backingImage()) toolkit::paintBackground(*img, c.draw);
}
