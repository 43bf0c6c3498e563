// The panel beside the plot: a dock of the main window holding a heading and
// a table of text rows, which the operator reads and moves through while the
// plot stays in view. A row activated by a double click or Enter reaches the
// editor as one event (EventType::PanelRow, data1 = the row, from 1, data2 =
// 0); an item of the list under it as the same event with data2 = 1. Free of
// Qt, like the rest of the toolkit's interface.
#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

using PanelCells = std::vector<std::string>;

namespace EventType {
constexpr int PanelRow = 18;
}

// The column titles; set before the rows, they fix the number of cells a row shows.
void WPanelColumns(std::span<const std::string> titles);
// Shows the panel and gives it the keyboard, with the marked row current.
// Whether it is shown is remembered while the program runs, also when the
// main window closes and opens again; WPanelShown says so.
void WPanelShow();
void WPanelHide();
bool WPanelShown();
void WPanelHeading(std::string_view text);
// A list under the table with its heading: the current drop's findings. A
// double click or Enter on one reaches the editor as EventType::PanelRow
// with data1 = the item (from 1) and data2 = 1. No heading and no items hide it.
void WPanelNotes(std::string_view heading, std::span<const std::string> items);
// Replaces every row.
void WPanelRows(std::span<const PanelCells> rows);
// Replaces row `row` (from 1); a row outside the table is ignored.
void WPanelPutRow(int row, const PanelCells& cells);
// Marks one row (from 1; 0 marks none) and keeps it in view.
void WPanelMark(int row);
// Gives the keyboard back to the plot.
void WPanelFocusPlot();

namespace toolkit {

// What the panel holds, for tests and for the windowless mode, where the
// panel exists only as this record.
struct PanelView {
    bool shown = false;
    bool focused = false;  // the panel has the keyboard
    int marked = 0;
    int current = 0;  // the row that Enter activates
    std::string heading;
    std::string notesHeading;
    std::vector<std::string> notes;
    std::vector<std::string> columns;
    std::vector<PanelCells> rows;
};
const PanelView& panelView();

}  // namespace toolkit
