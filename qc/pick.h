// Turning a pointer position in the plot into a stored point of the current
// profile, for the QC and Interpolate dialogs.
#pragma once
#include <optional>

#include "base/fixed_text.h"
#include "profile/profile_store.h"
#include "toolkit/toolkit.h"

// The point of 1..n nearest to y (stored units, negative depth), walking
// down from the surface and stopping at the first point that is not closer
// than the one before it; a tie goes to the shallower point. On success y
// becomes that point's depth. An empty profile picks nothing and leaves y.
std::optional<int> getindex(float& y, const SlotData& cur, int n);

// dt1 of point i: its temperature as the dialogs show it (F7.3).
FixedText<7> dt1text(const SlotData& cur, int i);

// A mouse click in the plot. In depth-list mode (imouse not 1) the click is
// refused with a message and iflag = 1. Otherwise mouse moves and releases
// are switched on so that the caller can follow the drag, dt1 is blanked
// and the stored point nearest to the click is picked from the whole loaded
// profile (n4 = npts(4)), below the cut too. A profile with no points picks
// nothing and sets iflag = 1 without a message. Returns whether a point was
// picked into ind and y.
bool mouseydown(int imouse, const EventRecord& event, FixedText<7>& dt1, const SlotData& cur, int n4,
                int& iflag, float& y, int& ind);
