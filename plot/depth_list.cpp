// disp: the depth list beside the plot, from which the QC and interpolation
// dialogs take their depths.
#include "plot/depth_list.h"

#include <algorithm>

#include "base/fields.h"
#include "toolkit/toolkit.h"

std::string depthlistline(const SlotData& data, int i) {
    if (i < 1 || i > ndepmax) return std::string(20, ' ');
    const auto k = static_cast<std::size_t>(i);
    std::string line = writeF(-data.depth[k], 8, 3);
    line += ' ';
    line += writeF(data.t[k], 6, 3);
    line += ' ';
    line += writeI(data.iclass[k], 1);
    line += ' ';
    line += data.code[k].view();
    return line;
}

std::vector<std::string> depthlistlines(const SlotData& data, int n) {
    n = std::clamp(n, 0, ndepmax);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) lines.push_back(depthlistline(data, i));
    return lines;
}

void disp(int row, const SlotData& data, int n) {
    if (row == 0) row = 50;
    const std::vector<std::string> lines = depthlistlines(data, n);
    WDialogSelect(depthlistdialog);
    WDialogPutMenu(depthlistfield, lines, static_cast<int>(lines.size()), row);
    WDialogShow(8400, 2000, 0, 2);
}
