// redisplay: clears the window and draws frame, legend, neighbouring drops,
// status line, the backup of the current drop and the current drop, in that
// order, so that the current drop lies on top of everything.
#include "plot/redisplay.h"

#include "plot/axes.h"
#include "plot/traces.h"
#include "toolkit/toolkit.h"

namespace {

void caption(const PlotSettings& s, int colour, int slot, const ProfileStore& store) {
    plotcaption(s, colour, slot, store[slot].ainfo);
}

// A drop that did not load gets its caption but no trace.
void trace(const PlotSettings& s, const PlotColours& colours, int slot, const ProfileStore& store) {
    if (slotFailed(store[slot])) return;
    drawline(colours, store[slot], store[slot].npts, slot, s.ilinewidth);
}

}  // namespace

std::string_view dropdigits(std::string_view name, int len_f1) {
    if (len_f1 < 0) return {};
    const auto first = static_cast<std::size_t>(len_f1) + 2;
    if (first + 3 > name.size()) return {};
    return name.substr(first, 3);
}

void drawbackground(const PlotSettings& settings, const PlotColours& colours) {
    WindowBackgroundBegin();
    WindowClear();
    plotframe(settings);
    writeclasscolors(colours);
    WindowBackgroundEnd();
}

void redisplay(const PlotSettings& settings, std::string_view f1r, int len_f1, const ProfileStore& store,
               std::string_view mess0, int inextok, PlotColours& colours, const PlotOverlay& overlay) {
    colours.icolprev = colours(1);
    colours.icolcur = colours(4);
    colours.icolnext = colours(7);

    drawbackground(settings, colours);
    clipplot(settings);
    drawenvelope(overlay.envelope);

    // Drop digits "000" mean the current drop is the first: there is none before it.
    if (dropdigits(f1r, len_f1) != "000" && settings.ihideprev != 1) {
        caption(settings, colours.icolprev, 1, store);
        trace(settings, colours, 1, store);
    }
    if (inextok != 0 && settings.ihidenext != 1) {
        caption(settings, colours.icolnext, 3, store);
        trace(settings, colours, 3, store);
    }

    WindowOutString(100, 9850, mess0);

    // The backup holds every loaded point; the current drop drawn over it
    // leaves only the part below a cut or break showing in green.
    trace(settings, colours, 4, store);
    caption(settings, colours.icolcur, 2, store);
    trace(settings, colours, 2, store);
    drawmarks(settings, overlay.marks);
}
