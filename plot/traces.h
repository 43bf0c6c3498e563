// The profile traces in their class colours with the QC codes beside them,
// and the legend of those colours.
#pragma once
#include <optional>

#include "plot/plot_settings.h"
#include "profile/profile_store.h"

// The colour of a point of class iclass in slot 1..4; nothing for a class
// outside 0..5 (or a slot outside 1..4), whose segment keeps the colour of
// the point before.
std::optional<int> pointcolour(const PlotColours& colours, int slot, int iclass);

// Draws points 1..n of one slot (n is cut to the points a slot can hold).
// Each segment takes the colour of the point it ends at; a code is written at
// the first point of each run of equal codes, with a dot on the current drop.
void drawline(const PlotColours& colours, const SlotData& data, int n, int slot, int ilinewidth);

// The legend in the bottom right-hand corner of the frame. Leaves font 3, character size
// 0.55 x 0.55 and left-aligned text, on which the captions drawn next rely.
void writeclasscolors(const PlotColours& colours);
