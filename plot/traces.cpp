// drawline and writeclasscolors: the class-coloured profiles and their legend.
#include "plot/traces.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "toolkit/toolkit.h"

namespace {

// Entries 1, 4, 7 and 10 start the colours of slots 1 to 4.
int colourbase(int slot) {
    return 3 * slot - 2;
}

void setpointcolour(const PlotColours& colours, int slot, int iclass) {
    if (const auto c = pointcolour(colours, slot, iclass)) IGrColourN(*c);
}

void writecode(const SlotData& data, int i) {
    const auto k = static_cast<std::size_t>(i);
    IGrCharSize(0.5f, 0.5f);
    IGrCharJustify("L");
    IGrCharOut(data.t[k] + 0.2f, data.depth[k], data.code[k].view());
    IGrMoveTo(data.t[k], data.depth[k]);
}

void markpoint(const SlotData& data, int i) {
    const auto k = static_cast<std::size_t>(i);
    IGrCharSize(0.15f, 0.15f);
    IGrMarker(data.t[k], data.depth[k], 14);
    IGrCharSize(0.5f, 0.5f);
}

struct LegendEntry {
    std::string_view text;
    int colourindex;
    int x, y;   // window units: from the left edge and above the bottom edge
    int group;  // 0 previous, 1 current, 2 next, 3 all
};

constexpr LegendEntry legend[] = {
    {"Previous:", 1, 2420, 470, 0}, {"Class 0/1", 1, 2920, 470, 0}, {"Class 2", 2, 2920, 310, 0},
    {"Class 3", 3, 2920, 150, 0},   {"Current:", 4, 3530, 470, 1},  {"Class 0/1", 4, 3990, 470, 1},
    {"Class 2", 5, 3990, 310, 1},   {"Class 3", 6, 3990, 150, 1},   {"Next:", 7, 4600, 470, 2},
    {"Class 0/1", 7, 4900, 470, 2}, {"Class 2", 8, 4900, 310, 2},   {"Class 3", 9, 4900, 150, 2},
    {"All:", 10, 5580, 470, 3},     {"Class 4", 10, 5900, 470, 3},  {"Class 5", 13, 5900, 310, 3},
};

// The rows above sit low in the middle of the window, right where deep
// drops end (5 to 10 degrees below 900 m). Moved this far right they lie in
// the frame's bottom right-hand corner, warmer than water that deep
// almost ever is, and end short of the frame's right edge.
constexpr int legendshift = 3200;

// Text keeps its height as the window narrows, so in a client area taller
// than wide (the plot beside the cruise overview) the four groups no longer
// fit side by side. Then the previous and current drops' groups go above
// those of the next drop and of every drop, each row with twice the room
// and ending about where the wide legend ends; both rows one row higher
// than the wide legend's, clear of the status line, which keeps its width.
constexpr int narrowleft = 5400;
constexpr int narrowrow = 160;

std::pair<int, int> legendplace(const LegendEntry& e, bool narrow) {
    if (!narrow) return {e.x + legendshift, e.y};
    const bool upper = e.group < 2;
    const int rowstart = upper ? legend[0].x : legend[8].x;
    return {narrowleft + 2 * (e.x - rowstart), e.y + (upper ? 4 : 1) * narrowrow};
}

}  // namespace

std::optional<int> pointcolour(const PlotColours& colours, int slot, int iclass) {
    if (slot < 1 || slot > nslots) return std::nullopt;
    const int b = colourbase(slot);
    switch (iclass) {
        case 0:
        case 1: return colours(b);
        case 2: return colours(b + 1);
        case 3: return colours(b + 2);
        case 4: return colours(10);
        // Interpolated points of the drop being edited look like good ones.
        case 5: return slot == 2 ? colours(4) : colours(13);
        default: return std::nullopt;
    }
}

void drawline(const PlotColours& colours, const SlotData& data, int n, int slot, int ilinewidth) {
    IGrColourModel(24);
    IGrLineType(0);
    IGrLineWidth(ilinewidth);
    n = std::min(n, ndepmax);
    if (n < 1 || slot < 1 || slot > nslots) return;

    IGrMoveTo(data.t[1], data.depth[1]);
    const QcCode blank;
    if (data.code[1] != blank) {
        setpointcolour(colours, slot, data.iclass[1]);
        writecode(data, 1);
    }
    // The colour of each class in this slot, looked up once for the
    // thousands of points that follow.
    std::array<std::optional<int>, 6> classcolour;
    for (int c = 0; c < 6; ++c) classcolour[static_cast<std::size_t>(c)] = pointcolour(colours, slot, c);
    QcCode previous = data.code[1];
    for (int i = 2; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int iclass = data.iclass[k];
        if (const auto c =
                iclass >= 0 && iclass < 6 ? classcolour[static_cast<std::size_t>(iclass)] : std::nullopt)
            IGrColourN(*c);
        IGrLineTo(data.t[k], data.depth[k]);
        if (data.code[k] != previous && data.code[k] != blank) {
            writecode(data, i);
            if (slot == 2) markpoint(data, i);
        }
        previous = data.code[k];
    }
}

void writeclasscolors(const PlotColours& colours) {
    IGrColourModel(24);
    IGrCharFont(3);
    IGrCharSize(0.55f, 0.55f);
    WGrTextOrientation(0);
    int width = 0, height = 0;
    WindowUnitsToPixels(9999, 9999, width, height);
    const bool narrow = width < height;
    for (const LegendEntry& e : legend) {
        IGrColourN(colours(e.colourindex));
        const auto [ux, uy] = legendplace(e, narrow);
        // Window units count from the top, but the pixel rows are handed on
        // as if counted from the bottom: that is what puts the legend low.
        int px = 0, py = 0;
        WindowUnitsToPixels(ux, uy, px, py);
        float x = 0, y = 0;
        IGrUnitsFromPixels(px, py, x, y);
        WGrTextString(x, y, e.text);
    }
}
