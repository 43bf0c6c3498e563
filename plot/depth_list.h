// The depth list: every point of the current drop as it was loaded, one line
// per point, in list field 1029 of dialog 105.
#pragma once
#include <string>
#include <vector>

#include "profile/profile_store.h"

inline constexpr int depthlistdialog = 105;
inline constexpr int depthlistfield = 1029;

// "DDDD.DDD TT.TTT C XX": depth positive (F8.3), temperature (F6.3), class
// (I1) and code, 20 characters.
std::string depthlistline(const SlotData& data, int i);

// Lines for points 1..n (n cut to 0..ndepmax).
std::vector<std::string> depthlistlines(const SlotData& data, int n);

// Fills the list with points 1..n and shows it non-modal at (8400, 2000) with
// row `row` selected; row 0 stands for row 50. The caller hides it.
void disp(int row, const SlotData& data, int n);
