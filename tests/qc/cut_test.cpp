// Wire-break search, the cut count and the confirmation of a cut.
#include "qc/cut.h"
#include "qc/checks.h"
#include "tests/qc/qc_fixture.h"

using Fndbrk = QcTest;
using Cut = QcTest;

TEST_F(Fndbrk, ShallowProfileEndsAtItsLastPoint) {
    const int n = depths({1, 100, 300, 699});
    temps({20, 15, 30, 2});  // jumps above the start depth are never breaks
    const auto b = fndbrk(cur, n, 1);
    EXPECT_EQ(b.npbr, 4);
    EXPECT_FLOAT_EQ(b.xdbr, 699.0f);
}

TEST_F(Fndbrk, BreakAfterTheRunningMinimum) {
    const int n = depths({699, 700, 710, 720, 730});
    temps({5.0f, 4.9f, 4.9f, 4.8f, 9.0f});
    auto b = fndbrk(cur, n, 1);
    EXPECT_EQ(b.npbr, 4);
    EXPECT_FLOAT_EQ(b.xdbr, 720.0f);
    // Jumps of 0.4 and exactly 0.5 above the minimum are no break, and the
    // end is then the last new minimum, not the last point.
    cur.t[5] = 5.2f;
    EXPECT_EQ(fndbrk(cur, n, 1).npbr, 4);
    cur.t[5] = 5.3f;
    EXPECT_EQ(fndbrk(cur, n, 1).npbr, 4);
    cur.t[5] = 4.5f;
    EXPECT_EQ(fndbrk(cur, n, 1).npbr, 5);
}

TEST_F(Fndbrk, ThresholdDependsOnTheEditedFile) {
    EXPECT_FLOAT_EQ(ttst(1), 0.5f);
    EXPECT_FLOAT_EQ(ttst(0), 3.0f);
    const int n = depths({500, 800, 900, 1000});
    temps({5.0f, 4.8f, 4.2f, 4.1f});  // 0.6 below the minimum at point 3
    EXPECT_EQ(fndbrk(cur, n, 1).npbr, 2);
    EXPECT_EQ(fndbrk(cur, n, 0).npbr, 4);
}

TEST_F(Fndbrk, EmptyAndDeepStartingProfiles) {
    const auto none = fndbrk(cur, 0, 1);
    EXPECT_EQ(none.npbr, 0);
    EXPECT_FLOAT_EQ(none.xdbr, 0.0f);
    const int n = depths({750, 100, 760, 770});
    temps({5.0f, 5.0f, 4.9f, 9.0f});
    const auto b = fndbrk(cur, n, 1);
    EXPECT_EQ(b.npbr, 3);  // searched from point 1, not from the shallow point 2
    EXPECT_FLOAT_EQ(b.xdbr, 760.0f);
}

TEST_F(Cut, CountsPointsAtOrAboveTheCut) {
    for (int i = 1; i <= 60; ++i) cur.depth[i] = -0.65f * static_cast<float>(i);
    EXPECT_EQ(cut(-cur.depth[37], cur, 60), 37);
    EXPECT_EQ(cut(0.1f, cur, 60), 0);
    EXPECT_EQ(cut(5000.0f, cur, 60), 60);
    EXPECT_EQ(cut(5000.0f, cur, 0), 0);
    EXPECT_EQ(cut(5000.0f, cur, -5), 0);
}

TEST_F(Cut, ConfirmingMarksTheFirstPointBelowBad) {
    const int n = depths({1, 2, 3, 4, 5, 6});
    classes({1, 1, 2, 0, 1, 5});
    EXPECT_EQ(confirmcut(2.0f, cur, n), 2);
    EXPECT_EQ(cur.iclass[3], 4);
    checkclass(cur, n);
    EXPECT_EQ(classesOf(n), (std::vector<int>{1, 1, 4, 4, 4, 5}));
}

TEST_F(Cut, ConfirmingKeepsWorseOrInterpolatedClasses) {
    const int n = depths({1, 2, 3, 4});
    for (int c : {3, 4, 5}) {
        classes({1, 1, c, 0});
        EXPECT_EQ(confirmcut(2.5f, cur, n), 2);
        EXPECT_EQ(cur.iclass[3], c);
        EXPECT_EQ(cur.iclass[4], 0);
    }
    classes({0, 0, 0, 0});
    EXPECT_EQ(confirmcut(10.0f, cur, n), 4);  // nothing below the cut
    EXPECT_EQ(classesOf(n), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(cur.iclass[5], 0);
}
