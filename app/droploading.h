// The drop-loading step: which three drops are shown, from which of their
// files each is read, the untouched copy of the current drop in slot 4, the
// wire-break search and the prompt, and the drawing that goes with it.
#pragma once
#include <string_view>

#include "app/outcome.h"
#include "app/state.h"

// How the step is entered. Choose moves on after a write (i9 = 1) or takes
// the drop set by the start-up or New (i9 = 0); Reload loads the same three
// drops again and changes no number.
enum class LoadEntry { Choose, Reload };

// The whole step. Ends the program (through the exit rewrite) when a write
// has moved past the last drop of the list; otherwise the three drops are
// loaded and drawn.
Outcome droploading(State& st, LoadEntry entry = LoadEntry::Choose);

// Break detection on the current drop as at loading: npts4 = npts(2), the
// wire-break search, npts(2) = npbr and the cut depth into mess0.
void breakdetect(ProfileStore& store, CutState& cut, int ieditktd);

// Drop number given by three digits, 0 when they are not digits.
int dropnumber(std::string_view digits);

// The three drop digits in a drop-file name (after the cruise prefix and
// the two-character kind).
std::string_view namedigits(const PathText& name, int len_f1);

// Puts the kind of file of an edit source into all six names, with "000"
// for the digits: source 1 "r_000.KTD" and "q.000", source 2 "s.000" with
// four blanks and "e.000".
void resettemplates(DropFiles& files, int ieditktd);

// The pre-screen's findings of the current drop as loaded (slot 2, points
// 1..npts(2)), kept in the state until the next drop is loaded.
const std::vector<Finding>& checkcurrent(State& st);

// The redraw of the whole plot from the state, as on Expose and Resize.
void redraw(State& st);
