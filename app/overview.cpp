// The cruise overview's panel: filling it, keeping it current, and reading
// its events into actions for the main loop.
#include "app/overview.h"

#include <string>
#include <vector>

namespace {

void fillrows(State& st) {
    const CheckParts c = checkparts(st);
    st.overview.order = overvieworder(c);
    std::vector<PanelCells> rows;
    rows.reserve(st.overview.order.size());
    for (int d : st.overview.order) rows.push_back(overviewcells(st.overview, c, d));
    WPanelRows(rows);
    WPanelHeading(overviewheading(st.stations));
}

void putrow(State& st, int drop) {
    if (const int row = overviewrowof(st.overview, drop))
        WPanelPutRow(row, overviewcells(st.overview, checkparts(st), drop));
}

}  // namespace

void showoverview(State& st) {
    WPanelColumns(overviewtitles());
    fillrows(st);
    st.overview.marked = st.idropnum;
    WPanelMark(overviewrowof(st.overview, st.idropnum));
    shownotes(st.findings, st.idropnum);
    WPanelShow();
}

void refreshoverview(State& st, int drop) {
    if (!WPanelShown()) return;
    putrow(st, drop);
    // The drop's new status may make it, or stop it being, the reference of
    // the drops after it, up to the next drop that serves as one.
    for (int d = drop + 1; d <= st.stations.nlines; ++d) {
        putrow(st, d);
        if (referencedrop(checkparts(st), d + 1) == d) break;
    }
    WPanelHeading(overviewheading(st.stations));
}

void followoverview(State& st) {
    if (!WPanelShown() || st.overview.marked == st.idropnum) return;
    st.overview.marked = st.idropnum;
    WPanelMark(overviewrowof(st.overview, st.idropnum));
}

void shownotes(std::span<const Finding> findings, int drop) {
    std::vector<std::string> items;
    for (const Finding& f : findings) items.push_back(findingtag(f) + ": " + f.sentence);
    const std::string name = "Drop " + dropDigits(drop);
    WPanelNotes(items.empty() ? name + ": no findings"
                              : name + ": A or a double click opens a finding in the QC dialog",
                items);
}

std::optional<PanelAction> overviewevent(State& st, int type, const EventRecord& e) {
    const bool plainkey = (e.data2 & (Modifier::Ctrl | Modifier::Alt)) == 0;
    if (type == EventType::KeyDown && plainkey && (e.data1 == 'O' || e.data1 == 'o')) {
        if (WPanelShown())
            WPanelHide();
        else
            showoverview(st);
        return PanelAction{};
    }
    if (type != EventType::PanelRow) return std::nullopt;
    if (e.data2 == 1) {
        if (e.data1 < 1 || e.data1 > int(st.findings.size())) return PanelAction{};
        return PanelAction{PanelAction::Kind::OpenFinding, e.data1};
    }
    const auto& order = st.overview.order;
    if (e.data1 < 1 || e.data1 > int(order.size())) return PanelAction{};
    const int drop = order[std::size_t(e.data1 - 1)];
    if (drop < 1 || drop > st.stations.nlines) return PanelAction{};
    return PanelAction{PanelAction::Kind::GoToDrop, drop};
}
