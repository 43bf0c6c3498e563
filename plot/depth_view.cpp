// Zooming and panning the depth window.
#include "plot/depth_view.h"

#include <algorithm>

namespace {

// The same span moved as little as needed to lie within 0..viewdepthmax.
DepthView within(float top, float span) {
    span = std::clamp(span, viewspanmin, viewdepthmax);
    top = std::clamp(top, 0.0f, viewdepthmax - span);
    return DepthView{top, top + span};
}

}  // namespace

DepthView zoomview(const DepthView& v, float factor, float about) {
    const float span = std::max(v.span() * factor, viewspanmin);
    if (span >= DepthView{}.span() - 0.5f) return DepthView{};
    const float share = v.span() > 0 ? (about - v.top) / v.span() : 0.5f;
    return within(about - std::clamp(share, 0.0f, 1.0f) * span, span);
}

DepthView panview(const DepthView& v, float fraction) {
    return within(v.top + fraction * v.span(), v.span());
}

float depthstep(float span) {
    for (float step : {1.0f, 2.0f, 5.0f, 10.0f, 20.0f, 50.0f}) {
        if (span / step <= 10.0f) return step;
    }
    return 100.0f;
}

std::optional<DepthView> viewfor(const DepthView& v, int type, const EventRecord& e) {
    const float middle = v.top + 0.5f * v.span();
    if (type == EventType::MouseButDown) {
        if ((e.data1 != 4 && e.data1 != 5) || (e.data2 & Modifier::Ctrl) == 0) return std::nullopt;
        return zoomview(v, e.data1 == 4 ? 0.5f : 2.0f, -e.unitY);
    }
    if (type != EventType::KeyDown) return std::nullopt;
    switch (e.data1) {
        case '+': return zoomview(v, 0.5f, middle);
        case '-': return zoomview(v, 2.0f, middle);
        case '0': return DepthView{};
        case KeyCode::Up: return panview(v, -0.25f);
        case KeyCode::Down: return panview(v, 0.25f);
        case KeyCode::PageUp: return panview(v, -1.0f);
        case KeyCode::PageDown: return panview(v, 1.0f);
        default: return std::nullopt;
    }
}
