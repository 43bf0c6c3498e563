// The main window's life: the opening after every start-up, the main loop
// with its dispatch of menu commands, and the commands handled there (File,
// New, Plot-Options, Help, Exit and the calls into the QC dialogs), the
// pre-screen's keys, and what the overview's panel asks for.
#pragma once
#include <functional>
#include <span>
#include <string>

#include "app/outcome.h"
#include "app/overview.h"
#include "app/state.h"
#include "toolkit/toolkit.h"

namespace Command {
constexpr int Help = 40001, Bad = 40002, TP = 40003, File = 40004, Interpolate = 40005, Write = 40006,
              Exit = 40007, Restart = 40008, Cut = 40009, New = 40010, PlotOptions = 40011, QcCodes = 40012;
}

inline constexpr int newdropdialog = 104;
namespace NewDropField {
constexpr int dropnumber = 1018, count = 1019, source = 1058;
}

// The event source of a loop: WMessage, unless a test supplies its own.
using EventWait = std::function<void(int&, EventRecord&)>;

// The opening of the main window: reads the station list and chooses the
// drop, opens the window, loads the dialogs, builds the colour table, fills
// the overview when its panel is open, and loads the first drops.
Outcome openmain(State& st);

// Loads the dialog templates 105, 103, 104, 108 and 106, in this order.
void loaddialogs();

// The main loop; returns only when the program ends.
Outcome mainloop(State& st);

// Runs one menu command. Outcome::exit when the program ends.
Outcome dispatch(State& st, int command, const EventWait& wait = WMessage);

// The commands handled here.
Outcome filecommand(State& st);
Outcome newdrop(State& st, const EventWait& wait = WMessage);
// What New does once a drop is chosen: that drop and its neighbours become
// the drops shown, and the drop-loading step runs.
Outcome gotodrop(State& st, int drop);
void plotoptionscommand(State& st, const EventWait& wait = WMessage);
void helpcommand();
Outcome exitcommand(State& st);

// "stations.dat has ", nlines in three columns, " drops".
std::string newdropcount(int nlines);

// The keys and the Ctrl wheel that move the depth view, in the main window
// and inside the QC and Interpolate dialogs: true when the event was one of
// them; the plot is then redrawn in the new view.
bool viewevent(State& st, int type, const EventRecord& e);

// The pre-screen's keys in the main window: A opens the QC dialog with the
// first finding of the current drop that is not yet applied, E shows or
// hides the cruise envelope, S sorts the overview by findings or by drop.
// True when the event was one of them.
bool prescreenevent(State& st, int type, const EventRecord& e);
// The QC dialog opened with a finding's code chosen and its point picked,
// its sentence in the status bar; a finding no code of the dialog applies
// (a duplicate) only says so there.
void openfinding(State& st, const Finding& f);
// The finding A takes among the current drop's (cur is slot 2): the first
// one whose code the QC dialog can apply and that its point does not carry
// yet; nothing when none is left.
const Finding* nextfinding(std::span<const Finding> findings, const SlotData& cur);

// Carries out what an event of the overview's panel asked for.
Outcome carryout(State& st, const PanelAction& a);

// The QC and interpolation dialogs; the QC dialog may open with a code
// chosen and its point picked.
void qc(State& st, const QcPreset& preset = {});
void interpolate(State& st);
