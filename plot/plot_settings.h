// The operator's plot settings and the colour table that every drawing
// routine of the plot reads.
#pragma once
#include <array>
#include <cstddef>

#include "plot/depth_view.h"

// Changed only by the Plot range command; never written to a file.
struct PlotSettings {
    float tmin = 0.0f;   // left end of the temperature scale, from control.dat
    float tmax = 30.0f;  // right end of the temperature scale, from control.dat
    int idepgrid = 1;    // 1 = draw the depth grid
    int itempgrid = 1;   // 1 = draw the temperature grid
    int igridstep = 1;   // temperature grid spacing, whole degrees 1..10
    int ilinewidth = 1;  // trace width in pixels 1..3
    int ihideprev = 0;   // 1 = do not draw the previous drop
    int ihidenext = 0;   // 1 = do not draw the next drop
    DepthView view;      // the depth window; the whole profile unless zoomed
};

// Depth range of the plot in stored (negative) metres and the fixed steps
// that every caller of iaxes passes.
inline constexpr float plotdepthmin = -950.0f;
inline constexpr float plotdepthmax = 0.0f;
inline constexpr float plotdepthstep = 50.0f;
inline constexpr float plottempstep = 5.0f;

inline constexpr int ncolours = 13;

// The class colours as WRGB values, icolour(1)..icolour(13); element 0 is
// unused so that the table reads as it is numbered. The caption colours are
// copies of entries 1, 4 and 7, refreshed by every redisplay.
struct PlotColours {
    std::array<int, ncolours + 1> icolour{};
    int icolprev = 0;
    int icolcur = 0;
    int icolnext = 0;

    int operator()(int i) const { return i >= 1 && i <= ncolours ? icolour[static_cast<std::size_t>(i)] : 0; }
};

// The table as the editor uses it from the opening of the main window on,
// with the caption colours already copied.
PlotColours buildColourTable();
