// `dropfix --import DIR FILE... [--cruise NAME]`: makes DIR a cruise from
// other systems' export files, or adds them to the cruise already there.
// Every file is read before anything is written; one that cannot be taken
// is named and nothing is written at all.
#pragma once

// True when the command line asks for an import.
bool isimport(int argc, char** argv);

// Runs the import; the exit status (0 done, 1 refused or failed, 2 a wrong
// command line).
int importcommand(int argc, char** argv);
