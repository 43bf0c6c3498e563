// Checks of what the cruise gives the editor: a cruise name that can only be
// the beginning of a file name, control.dat and the drop files being regular
// files, and which names in the cruise directory are the editor's own.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "app/control.h"
#include "app/log.h"
#include "app/outcome.h"
#include "app/paths.h"

// Why a cruise name cannot begin the drop files' names (a path separator,
// "..", a NUL, a control character), or nothing when it can.
std::optional<std::string> cruisenameproblem(std::string_view name);

// The box and log record for such a name, ending the program; the drop
// files would be written outside the cruise directory.
Outcome refusecruisename(const ScreenSettings& scr, Log& log);

// True for the names of the files the editor writes in the cruise
// directory: stations.dat and the cruise's q and e files.
bool ownfilename(std::string_view name, std::string_view cruise);

// A box when control.dat is there but is not a regular file (a FIFO would
// hang every read); the selection that follows lets the operator choose.
void notRegularControl(const PathText& acontrol);

// A box and a log record when a drop file is there but is not a regular
// file: the readers refuse it, and without a word the drop would show
// nothing.
void notregulardrop(const std::string& path, Log& log);

// Why no profile could be read from a drop's raw file, for the operator's
// message: the file's reason, and a word on an empty cruise name.
std::string unreadreason(const std::string& path, int len_acruise);
