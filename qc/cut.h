// Where the good part of a profile ends: the wire-break search that proposes
// the cut depth when a drop is loaded, the count of points above a cut, and
// the marking of the first point below the cut when the operator confirms it.
#pragma once
#include "base/fixed_text.h"
#include "profile/profile_store.h"

// The cut state of the current drop, kept for the whole run: set when the
// drop is loaded, moved by the QC and Interpolate dialogs, used by the cut.
struct CutState {
    float xdbr = 0;       // cut depth, positive metres
    int npbr = 0;         // last good point
    int npts4 = 0;        // full length of the current drop as loaded
    FixedText<42> mess0;  // "<Enter>=Set class=4 at         m and write"
};

// The prompt "<Enter>=Set class=4 at         m and write" with xdbr in
// columns 24-31 (F8.3).
FixedText<42> composemess0(float xdbr);

// Moves the cut to a new depth (positive metres): xdbr, its columns 24-31
// of mess0 written anew, and mess0 shown in the main window at (100, 9850).
void movecut(CutState& cut, float xdbr);

// The break search starts below this depth (metres, positive): the upper
// ocean has real steps that are no break.
inline constexpr float breaksearchdepth = 699.0f;

struct WireBreak {
    int npbr = 0;    // last good point before the break; 0 for an empty profile
    float xdbr = 0;  // its depth, positive; 0 for an empty profile
};

// The temperature jump (degrees) that counts as a break: raw KTD data
// (ieditktd = 1) are finely sampled, old 2-metre files are not.
float ttst(int ieditktd);

// Finds the wire break in points 1..n of the current profile.
WireBreak fndbrk(const SlotData& cur, int n, int ieditktd);

// The number of leading points 1..n at or above the cut depth (positive
// metres); a point exactly at the cut counts as above it. Never more than n.
int cut(float cutdepth, const SlotData& cur, int n);

// Confirms the cut at xdbr on the current profile whose full stored length
// is n4 = npts(4): counts the points above the cut and marks the first point
// below it class 4 unless it already has class 3, 4 or 5, so that the class
// pass carries "bad" down to the end. Returns the count, the new npts4.
// The caller then runs checkclass and checkcode.
int confirmcut(float xdbr, SlotData& cur, int n4);
inline int confirmcut(float xdbr, ProfileStore& store) {
    return confirmcut(xdbr, store[2], store[4].npts);
}
