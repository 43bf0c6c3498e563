// The fixed colour table of the plot.
#include "plot/plot_settings.h"

#include "toolkit/toolkit.h"

PlotColours buildColourTable() {
    PlotColours c;
    // clang-format off
    c.icolour = {0,
                 WRGB(238, 18, 137),  WRGB(255, 0, 255),   WRGB(255, 110, 199),  // previous drop
                 WRGB(0, 0, 0),       WRGB(110, 110, 110), WRGB(255, 0, 0),      // current drop
                 WRGB(0, 0, 255),     WRGB(65, 105, 225),  WRGB(99, 184, 255),   // next drop
                 WRGB(0, 255, 0),     WRGB(0, 255, 0),     WRGB(0, 255, 0),      // class 4; slot 4
                 WRGB(255, 140, 0)};                                              // class 5
    // clang-format on
    c.icolprev = c.icolour[1];
    c.icolcur = c.icolour[4];
    c.icolnext = c.icolour[7];
    return c;
}
