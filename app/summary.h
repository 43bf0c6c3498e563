// The one line that ends a run: how far the cruise has come.
#pragma once
#include <string>
#include <string_view>

#include "app/outcome.h"
#include "app/stations.h"

// "DEMO01: 20 drops, 17 accepted, 2 bad, 1 test probe, 0 not edited".
std::string cruisesummary(std::string_view acruise, const StationTable& table);

// After an exit rewrite that succeeded: the summary on standard output, or
// on standard error in a scripted session, whose standard output is the
// transcript of its message boxes. Returns the outcome unchanged.
Outcome announceexit(const Outcome& o, std::string_view acruise, const StationTable& table);
