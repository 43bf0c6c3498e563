// The opening after every start-up, which ends in the main loop, and the
// whole run of the editor.
#pragma once
#include "app/outcome.h"
#include "app/state.h"

// Reads the station list, chooses the drop, opens the main window and runs
// the main loop until the program ends.
Outcome opening(State& st);

// The whole run: the start-up, then the opening.
Outcome run(State& st);
