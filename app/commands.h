// The commands that finish the current drop (Cut, Write, Bad, TP) and the
// one that throws its edits away (Restart).
#pragma once
#include <string>

#include "app/outcome.h"
#include "app/state.h"

// Station status that a written profile gets from the code of its first
// point: "TP" a test probe (-4), "NG" bad (-1), anything else accepted (1).
int statusfromcode(const QcCode& code);

// What the status bar says once a drop is stored, for example "Drop 007
// stored as accepted: 1287 points, class 4 below 738.984 m; DEMO01q.007 and
// DEMO01e.007 written". n is the number of points written.
std::string storedword(const DropFiles& f, int status, const SlotData& cur, int n);

// Cut and Write: cut at xdbr (the first point below it becomes class 4
// unless it is already 3 or worse), then the common ending.
Outcome cutwrite(State& st);

// Bad and TP: class 4 and the code at point 1, then the common ending.
Outcome bad(State& st);
Outcome tp(State& st);

// The checks, the edited files, the status and the move to the next drop.
// A consistency failure reloads the same drops; a writer that fails stops
// the command after its message with nothing else changed.
Outcome commonending(State& st, int status);

// Writes the edited files of the current drop. False (after the message
// box and the log record) when a file cannot be written, or when the drop
// has no point because its file could not be read.
bool writecurrent(State& st);

// Restart: after the operator's confirmation slot 2 becomes the drop as
// loaded again, with its break found anew; the plot is redrawn either way.
void restart(State& st);
