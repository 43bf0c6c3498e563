// The cruise overview in the panel beside the plot: shown, kept up to date
// as drops are written, the mark on the current drop, the current drop's
// findings under the table, and the panel's events. An event that asks for
// more than the panel itself (go to a drop, open a finding) is handed back
// to the main loop as an action, which the main loop carries out.
#pragma once
#include <optional>
#include <span>

#include "app/overview_rows.h"
#include "app/state.h"
#include "toolkit/toolkit.h"

// Fills the panel from the state, marks the current drop and shows it.
void showoverview(State& st);
// The row of a drop just written, and the heading; nothing while the panel is closed.
void refreshoverview(State& st, int drop);
// The current drop's findings with their sentences, under the table.
void shownotes(std::span<const Finding> findings, int drop);
// Keeps the mark on the current drop.
void followoverview(State& st);

// What an event of the panel asks the main loop for: nothing more (the
// panel has done all there was to do), the move to drop `number`, or the QC
// dialog opened with finding `number` (from 1) of the current drop.
struct PanelAction {
    enum class Kind { Done, GoToDrop, OpenFinding };
    Kind kind = Kind::Done;
    int number = 0;
};

// The overview's share of the main loop: the O key, and a row activated in
// the panel. Nothing for every other event.
std::optional<PanelAction> overviewevent(State& st, int type, const EventRecord& e);
