// The arithmetic of the interpolation repair: a straight line in
// temperature against depth over whole 2-metre bins, and the flags the
// repair leaves on the replaced points and on the data below them.
#pragma once
#include <optional>

#include "profile/profile_store.h"

// The 2-metre bin of a stored (negative) depth: 0 m to just under 2 m is
// bin 1. The same bins as the two-metre averaged files.
double depthbin(float depth);

// Interpolates t strictly between the end points ind1 and ind2 of a profile
// of n points. Both ends are first clamped to 1..n and then widened so that
// the repair covers whole bins. When no point lies strictly between the
// final ends (adjacent, equal or reversed ends, or two ends at one depth)
// it tells the operator "No points to interpolate..try again", sets
// ind1 = -1 and returns false; the profile is then untouched.
bool gapint(int& ind1, int& ind2, SlotData& cur, int n);

// The code the repair stores on the replaced points for the dialog's choice
// interpqc: 1 SP (spike), 2 HF (high frequency), 3 IP (insulation
// penetration). Nothing for any other value.
std::optional<QcCode> sectioncode(int interpqc);

// After gapint: the points strictly between ind1 and ind2 become class 5
// with the section code, and no point from ind2 to npts2 stays better than
// iclassbelow (2 or 3): the operator's judgement of the data below the
// repair is a floor for them. Class 4 and 5 points are never lowered.
void flagrepair(SlotData& cur, int ind1, int ind2, int npts2, const QcCode& code, int iclassbelow);
