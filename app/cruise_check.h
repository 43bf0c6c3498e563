// The pre-screen of a whole cruise: the checks of every drop of the station
// list against the drop taken as the reference before it, the duplicates
// among the drops, and the command-line report. The editor asks it for the
// findings of the current drop when the drop is loaded, and the overview
// for every drop's.
#pragma once
#include <vector>

#include "qc/prescreen.h"

struct State;

// The findings of the current drop as loaded (slot 2, points 1..npts(2)),
// kept in the state until the next drop is loaded.
const std::vector<Finding>& checkcurrent(State& st);

// The findings of any drop of the list (1..nlines), for the overview; a
// drop's files are read again only when they change.
const std::vector<Finding>& dropfindings(State& st, int drop);
