// The start-up of the editor: the logs, the cruise directory, the check for
// control.dat, and the start-up tail that the File command runs again.
#pragma once
#include <string>
#include <string_view>

#include "app/outcome.h"
#include "app/state.h"

// The steps that find the cruise directory and name its files, from the
// working directory and the pointer file, with no window and nothing
// written but the start-up log (which a closed log drops).
Outcome locatecruise(State& st);

// The whole start-up: the start-up log, the cruise directory found from the
// working directory and the pointer file, the check that control.dat is
// there (with the selection dialog when it is not), then the start-up tail.
Outcome startup(State& st);

// The start-up tail: opens dropfix.log, clears a killed run's temporary
// files, reads control.dat and builds the drop-file templates. The File
// command runs it again after rebuilding the paths.
Outcome startuptail(State& st);

// The directory that holds stations.dat and the drop files.
std::string cruisedirectory(const Paths& p);

// Takes the cruise lock before anything is written in the cruise directory.
// Held by another editor, or refused, it ends the program after its box; a
// lock taken over from a run that is gone gives the log record for it.
Outcome lockcruise(State& st, std::string& takeover);

// "Dropfix", a blank and up to seven characters of the cruise name.
std::string windowtitle(const FixedText<13>& acruise, int len_acruise);

// Ends the program over a failure of the start-up: the reason on standard
// error, the reason and its detail in a message box, exit status 1.
Outcome startFailure(std::string_view reason, std::string_view detail = {});

// Ends the program over a path that does not fit its 120 characters: a
// message box, a record in the log that is open, exit status 1.
Outcome pathTooLong(const TooLong& p, Log& log);
