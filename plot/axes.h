// The plot frame: user units with their margins, grids, scales, unit letters
// and the caption of each plotted drop.
#pragma once
#include <string>

#include "plot/plot_settings.h"
#include "profile/profile_store.h"

// Sets the user units and draws the frame, grids, ticks and labels. Leaves
// colour model 24, black, line width 1, solid lines, proportional built-in
// characters of 0.7 x 0.7 and right-aligned text behind.
void iaxes(float xmin, float xmax, float xstep, float ymin, float ymax, float ystep, int idepgrid,
           int itempgrid, int igridstep);

// The same frame for a zoomed depth window ymin..ymax (stored units): depth
// ticks, labels and grid lines at every multiple of ystep inside it.
void zoomedaxes(float xmin, float xmax, float xstep, float ymin, float ymax, float ystep, int idepgrid,
                int itempgrid, int igridstep);

// The frame of the plot as the settings ask for it: iaxes over the whole
// profile exactly as ever, or the zoomed frame of the depth view.
void plotframe(const PlotSettings& s);
// In a zoomed view, keeps the traces drawn next within the frame's depths.
void clipplot(const PlotSettings& s);
// numlabel within the frame of the depth view.
void plotcaption(const PlotSettings& s, int colour, int slot, const SlotLabel& caption);

// Draws the 21-character caption of one slot (and ">>" before the current
// drop's) in the top left corner of the frame, in the text placement in force.
void numlabel(int colour, int slot, const SlotLabel& caption, float xmin, float xmax, float ymin, float ymax);

// The text of a temperature label: the integer part of x, right-aligned in
// two characters and widened for "-10" and the like.
std::string templabel(float x);
