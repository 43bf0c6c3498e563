// The two consistency passes that every finishing command runs over the
// current profile before it is written: classes first, then codes.
#pragma once
#include "profile/profile_store.h"

// Makes classes 0..4 non-decreasing with depth over points 1..n (n is the
// full loaded length npts(4); it is clamped to the store). Class-5 points
// and values outside 0..5 are left alone and do not raise the points below.
void checkclass(SlotData& cur, int n);

// Makes codes agree with their classes over points 1..n and keeps at most
// one HB code of each form, telling the operator about every change.
// Returns ierr: 0 when the profile may be written, 1 when there are more
// than two HB codes of one form and the operator must redo the edits.
int checkcode(SlotData& cur, int n);

// Both passes as the finishing commands run them: on the current profile
// (slot 2) over the full loaded length npts(4), not the displayed npts(2),
// so that the points below the cut are made consistent too.
inline void checkclass(ProfileStore& store) {
    checkclass(store[2], store[4].npts);
}
inline int checkcode(ProfileStore& store) {
    return checkcode(store[2], store[4].npts);
}
