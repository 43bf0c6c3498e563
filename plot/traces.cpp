// drawline and writeclasscolors: the class-coloured profiles and their legend.
#include "plot/traces.h"

#include <algorithm>
#include <array>
#include <string_view>

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
    int x, y;  // window units: from the left edge and above the bottom edge
};

constexpr LegendEntry legend[] = {
    {"Previous:", 1, 2420, 470}, {"Class 0/1", 1, 2920, 470}, {"Class 2", 2, 2920, 310},
    {"Class 3", 3, 2920, 150},   {"Current:", 4, 3530, 470},  {"Class 0/1", 4, 3990, 470},
    {"Class 2", 5, 3990, 310},   {"Class 3", 6, 3990, 150},   {"Next:", 7, 4600, 470},
    {"Class 0/1", 7, 4900, 470}, {"Class 2", 8, 4900, 310},   {"Class 3", 9, 4900, 150},
    {"All:", 10, 5580, 470},     {"Class 4", 10, 5900, 470},  {"Class 5", 13, 5900, 310},
};

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
    for (const LegendEntry& e : legend) {
        IGrColourN(colours(e.colourindex));
        // Window units count from the top, but the pixel rows are handed on
        // as if counted from the bottom: that is what puts the legend low.
        int px = 0, py = 0;
        WindowUnitsToPixels(e.x, e.y, px, py);
        float x = 0, y = 0;
        IGrUnitsFromPixels(px, py, x, y);
        WGrTextString(x, y, e.text);
    }
}
