// `dropfix --check`: the pre-screen's report of a whole cruise on standard
// output, with no window, no log and nothing written.
#pragma once
#include <string>

#include "app/state.h"

// The quiet opening of the report: the cruise found as the start-up finds
// it, its control.dat and its station list with the journal applied, with no
// window, no log and nothing written. False with the reason.
bool readcruise(State& st, std::string& why);

// Reads the cruise found from the working directory as the start-up finds
// it, prints every finding and a line of counts, writes nothing. The exit
// status.
int checkcommand();
