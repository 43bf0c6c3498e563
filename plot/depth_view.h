// The depth window of the plot: the whole profile (0 to 950 m) as the editor
// has always shown it, or a zoomed part of it that the operator moves with
// keys and the wheel. It holds across drops, like the plot range.
#pragma once
#include <optional>

#include "toolkit/toolkit.h"

struct DepthView {
    float top = 0.0f;       // metres, positive downward
    float bottom = 950.0f;  // metres

    bool whole() const { return top == 0.0f && bottom == 950.0f; }
    float span() const { return bottom - top; }
    bool operator==(const DepthView&) const = default;
};

// The deepest depth a view reaches and its narrowest span, in metres.
inline constexpr float viewdepthmax = 2000.0f;
inline constexpr float viewspanmin = 3.0f;

// A view twice (factor 0.5) or half (factor 2) as deep, keeping the depth
// `about` where it is on the screen; back to the whole profile once it
// would span it all. Kept within 0..viewdepthmax.
DepthView zoomview(const DepthView& v, float factor, float about);
// Moved down (positive) or up by `fraction` of its span.
DepthView panview(const DepthView& v, float fraction);

// The round step of the depth labels, ticks and grid of a zoomed view: the
// smallest of 1, 2, 5, 10, 20, 50 and 100 m that gives at most ten steps.
float depthstep(float span);

// The view after one event of the main window, or nothing when the event
// does not move the view: "+" and "-" zoom by 2 about the middle, Up and
// Down pan by a quarter, PageUp and PageDown by a whole view, "0" shows the
// whole profile again, and the wheel with Ctrl zooms about the pointer.
std::optional<DepthView> viewfor(const DepthView& v, int type, const EventRecord& e);
