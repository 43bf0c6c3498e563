// iaxes and numlabel: the frame of the temperature-depth plot and the drop
// captions inside it.
#include "plot/axes.h"

#include <cmath>
#include <cstdint>

#include "base/fields.h"
#include "toolkit/toolkit.h"

namespace {

// No legitimate scale needs more labels or ticks than this; the bound keeps a
// wild range from control.dat (or a step that no longer changes a huge value)
// from turning a drawing loop into a hang.
constexpr int maxsteps = 1000;

constexpr int gridgrey = WRGB(220, 220, 220);
constexpr int framegrey = WRGB(230, 230, 230);

void horizontalgrid(float xmin, float xmax, float ymin, float ystep) {
    IGrColourN(gridgrey);
    for (int k = 1; k <= 18; ++k) {
        const float y = ymin + static_cast<float>(k) * ystep;
        IGrMoveTo(xmin, y);
        IGrLineTo(xmax, y);
    }
}

// The first line is drawn before any test, so a spacing wider than the range
// still gives one line beyond the frame.
void verticalgrid(float xmin, float xmax, float ymin, float ymax, int igridstep) {
    IGrColourN(gridgrey);
    float x = xmin + static_cast<float>(igridstep);
    for (int i = 0; i < 100; ++i) {
        IGrMoveTo(x, ymin);
        IGrLineTo(x, ymax);
        x += static_cast<float>(igridstep);
        if (x > xmax) break;
    }
}

void templabels(float xmin, float xmax, float xstep, float yabove) {
    float x = xmin;
    for (int i = 0; i < maxsteps && x <= xmax; ++i) {
        IGrCharOut(x, yabove, templabel(x));
        x += xstep;
    }
}

void depthscale(float xmin, float mx, float ymin, float ymax, float ystep) {
    float y = ymin;
    for (int i = 0; i < maxsteps && y <= ymax; ++i) {
        IGrMoveTo(xmin, y);
        IGrLineTo(xmin - 0.1f * mx, y);
        if (std::fmod(y, 100.0f) == 0.0f) {
            const auto metres = static_cast<std::int64_t>(std::fabs(y));
            IGrCharOut(xmin - 0.2f * mx, y, writeI(metres, 3));
        }
        y += ystep;
    }
}

// A zoomed window: a grid line, a tick and a label at every multiple of the
// step within the window, so that the labels read as round depths.
void zoomedgrid(float xmin, float xmax, float ymin, float ymax, float ystep) {
    IGrColourN(gridgrey);
    const auto first = static_cast<long>(std::ceil(ymin / ystep));
    for (long k = first; k * ystep < ymax && k - first < maxsteps; ++k) {
        const float y = static_cast<float>(k) * ystep;
        if (y <= ymin) continue;
        IGrMoveTo(xmin, y);
        IGrLineTo(xmax, y);
    }
}

void zoomedscale(float xmin, float mx, float ymin, float ymax, float ystep) {
    const auto first = static_cast<long>(std::ceil(ymin / ystep));
    for (long k = first; k * ystep <= ymax && k - first < maxsteps; ++k) {
        const float y = static_cast<float>(k) * ystep;
        IGrMoveTo(xmin, y);
        IGrLineTo(xmin - 0.1f * mx, y);
        const auto metres = static_cast<std::int64_t>(std::lround(std::fabs(y)));
        IGrCharOut(xmin - 0.2f * mx, y, writeI(metres, metres >= 1000 ? 4 : 3));
    }
}

void drawaxes(float xmin, float xmax, float xstep, float ymin, float ymax, float ystep, int idepgrid,
              int itempgrid, int igridstep, bool zoomed) {
    const float mx = (xmax - xmin) * 0.05f;
    const float my = (ymax - ymin) * 0.04f;
    IGrUnits(xmin - mx, ymin - my, xmax + mx, ymax + my);
    IGrColourModel(24);
    IGrLineWidth(1);
    IGrLineType(0);

    // Only the left and top edges: the bottom and right sides stay open.
    IGrColourN(framegrey);
    IGrMoveTo(xmin, ymin);
    IGrLineTo(xmin, ymax);
    IGrLineTo(xmax, ymax);

    if (idepgrid == 1) {
        if (zoomed) {
            zoomedgrid(xmin, xmax, ymin, ymax, ystep);
        } else {
            horizontalgrid(xmin, xmax, ymin, ystep);
        }
    }
    if (itempgrid == 1) verticalgrid(xmin, xmax, ymin, ymax, igridstep);

    IGrColourN(0);
    IGrCharSpacing("P");
    IGrCharSet("H");
    IGrCharSize(0.9f, 0.8f);
    IGrCharJustify("C");
    templabels(xmin, xmax, xstep, ymax + 0.4f * my);

    IGrCharJustify("R");
    if (zoomed) {
        zoomedscale(xmin, mx, ymin, ymax, ystep);
    } else {
        depthscale(xmin, mx, ymin, ymax, ystep);
    }

    IGrCharSize(0.9f, 0.8f);
    IGrColourN(0);
    IGrCharOut(xmin + 0.7f * mx, ymax + 0.4f * my, "C");
    IGrCharOut(xmin - 0.5f * mx, ymax, "m");
    // A raised small "o" before the "C" serves as the degree sign.
    IGrCharSize(0.7f, 0.7f);
    IGrCharOut(xmin + 0.45f * mx, ymax + 0.51f * my, "o");
}

}  // namespace

std::string templabel(float x) {
    if (!std::isfinite(x) || std::fabs(x) >= 1.0e9f) return "**";
    const auto whole = static_cast<std::int64_t>(std::trunc(x));
    const std::string s = std::to_string(whole);
    return s.size() >= 2 ? s : writeI(whole, 2);
}

void iaxes(float xmin, float xmax, float xstep, float ymin, float ymax, float ystep, int idepgrid,
           int itempgrid, int igridstep) {
    drawaxes(xmin, xmax, xstep, ymin, ymax, ystep, idepgrid, itempgrid, igridstep, false);
}

void zoomedaxes(float xmin, float xmax, float xstep, float ymin, float ymax, float ystep, int idepgrid,
                int itempgrid, int igridstep) {
    drawaxes(xmin, xmax, xstep, ymin, ymax, ystep, idepgrid, itempgrid, igridstep, true);
}

void plotframe(const PlotSettings& s) {
    if (s.view.whole()) {
        iaxes(s.tmin, s.tmax, plottempstep, plotdepthmin, plotdepthmax, plotdepthstep, s.idepgrid,
              s.itempgrid, s.igridstep);
        return;
    }
    zoomedaxes(s.tmin, s.tmax, plottempstep, -s.view.bottom, -s.view.top, depthstep(s.view.span()),
               s.idepgrid, s.itempgrid, s.igridstep);
}

void clipplot(const PlotSettings& s) {
    if (!s.view.whole()) IGrClip(-s.view.bottom, -s.view.top);
}

void plotcaption(const PlotSettings& s, int colour, int slot, const SlotLabel& caption) {
    numlabel(colour, slot, caption, s.tmin, s.tmax, -s.view.bottom, -s.view.top);
}

void numlabel(int colour, int slot, const SlotLabel& caption, float xmin, float xmax, float ymin,
              float ymax) {
    const float dx = (xmax - xmin) * 0.02f;
    const float dy = (ymax - ymin) * 0.06f;
    IGrColourModel(24);
    IGrColourN(colour);
    IGrCharSpacing("P");
    IGrCharSet("H");
    IGrCharSize(0.7f, 0.7f);
    IGrCharOut(xmin + 1.2f * dx, ymax - 0.5f * dy * static_cast<float>(slot), caption.view());
    if (slot == 2) IGrCharOut(xmin + 0.2f * dx, ymax - dy, ">>");
}
