// The window's first picture, painted once. The editor draws its first
// picture as the window opens and again for the window's first exposure;
// until something reads the image (its first paint, a screenshot, a pixel)
// the calls are only kept, a cleared window drops those before it, and the
// first read paints what is left, its background through the cache.
#include "toolkit/core.h"

namespace toolkit {

void deferPainting() {
    DeferredPicture& d = core().deferred;
    d = DeferredPicture{};
    d.on = true;
    d.start = core().draw;
}

void paintDeferred() {
    CoreState& c = core();
    DeferredPicture& d = c.deferred;
    if (!d.on || c.replaying) return;
    d.on = false;
    const std::vector<DrawCall> calls = std::move(d.calls);
    d.calls.clear();
    QImage* img = backingImage();
    if (!img) return;
    const DrawState after = c.draw;
    c.draw = d.start;
    if (const auto& bg = d.background; bg && bg->begin <= bg->end && bg->end <= calls.size()) {
        replayCalls(calls, 0, bg->begin);
        c.background.start = bg->start;
        c.background.calls.assign(calls.begin() + std::ptrdiff_t(bg->begin),
                                  calls.begin() + std::ptrdiff_t(bg->end));
        paintBackground(*img, bg->after);
        replayCalls(calls, bg->end, calls.size());
    } else {
        replayCalls(calls, 0, calls.size());
    }
    flushLine();
    c.draw = after;
}

}  // namespace toolkit
