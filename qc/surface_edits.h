// The two edits that rewrite the top of the current profile: CS fills the
// spoiled surface with the first good temperature, PL moves the whole
// profile up after a premature launch. Depths never change, only
// temperatures, classes and codes.
#pragma once
#include "profile/profile_store.h"

// CS at start point s: points 1..s-1 take t(s), code CS and class 5; point
// s keeps everything. n is the stored length npts(4). A start point outside
// 1..n changes nothing and returns false.
bool csedit(SlotData& cur, int s, int n);

// The temperature shift of the PL edit: point j takes the temperature of
// point s+j-1 for j = 1..npts2-s+1, npts2 shrinks by s-1 and ind1 becomes 1.
// The points left behind at the bottom keep their old temperatures.
// A start point outside 1..npts2 changes nothing and returns false.
bool pl_mod(SlotData& cur, int& npts2, int& ind1);

// The whole PL edit at start point s = ind1: pl_mod, then points 1..s-1 get
// code PL and class 5 and points s..new npts2 class 2, overwriting earlier
// classes (the operator is told to code after PL). Codes and classes do not
// move with the temperatures. Returns false when nothing changed.
bool pledit(SlotData& cur, int& npts2, int& ind1);
