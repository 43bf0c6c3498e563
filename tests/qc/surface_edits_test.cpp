// The CS and PL edits of the top of the profile.
#include "qc/surface_edits.h"
#include "qc/checks.h"
#include "tests/qc/qc_fixture.h"

using SurfaceEdits = QcTest;

TEST_F(SurfaceEdits, CsFillsTheTopWithTheFirstGoodTemperature) {
    const int n = depths({0.6f, 1.2f, 1.8f, 2.4f, 3.0f});
    temps({28.1f, 27.5f, 26.0f, 25.2f, 25.0f});
    classes({1, 1, 1, 2, 1});
    cur.code[4] = QcCode("SP");
    EXPECT_TRUE(csedit(cur, 4, n));
    for (int k = 1; k <= 3; ++k) {
        EXPECT_FLOAT_EQ(cur.t[k], 25.2f);
        EXPECT_TRUE(cur.code[k] == "CS");
        EXPECT_EQ(cur.iclass[k], 5);
        EXPECT_FLOAT_EQ(cur.depth[k], -0.6f * static_cast<float>(k));
    }
    EXPECT_FLOAT_EQ(cur.t[4], 25.2f);
    EXPECT_TRUE(cur.code[4] == "SP");
    EXPECT_EQ(cur.iclass[4], 2);
    EXPECT_FLOAT_EQ(cur.t[5], 25.0f);
}

TEST_F(SurfaceEdits, PlMovesTheProfileUp) {
    const int n = depths({1, 2, 3, 4, 5, 6, 7});
    temps({1, 2, 3, 4, 5, 6, 7});  // a..f, and a point below the display
    classes({1, 1, 4, 3, 3, 3, 3});
    cur.code[3] = QcCode("SP");
    int npts2 = 6, ind1 = 3;
    EXPECT_TRUE(pledit(cur, npts2, ind1));
    EXPECT_EQ(npts2, 4);
    EXPECT_EQ(ind1, 1);
    for (int i = 1; i <= n; ++i) EXPECT_FLOAT_EQ(cur.depth[i], -static_cast<float>(i));
    const float want[] = {3, 4, 5, 6, 5, 6, 7};
    for (int i = 1; i <= n; ++i) EXPECT_FLOAT_EQ(cur.t[i], want[i - 1]) << i;
    EXPECT_EQ(classesOf(n), (std::vector<int>{5, 5, 2, 2, 3, 3, 3}));
    EXPECT_TRUE(cur.code[1] == "PL");
    EXPECT_TRUE(cur.code[2] == "PL");
    EXPECT_TRUE(cur.code[3] == "SP");  // codes stay at their points
}

TEST_F(SurfaceEdits, StartAtTheSurfaceOrOutsideChangesNothing) {
    const int n = depths({1, 2, 3});
    temps({3, 2, 1});
    classes({1, 1, 1});
    EXPECT_FALSE(csedit(cur, 1, n));
    EXPECT_FALSE(csedit(cur, 4, n));
    EXPECT_FALSE(csedit(cur, 0, n));
    for (int s : {1, 4, 0, -2}) {
        int npts2 = 3, ind1 = s;
        EXPECT_FALSE(pledit(cur, npts2, ind1));
        EXPECT_EQ(npts2, 3);
    }
    EXPECT_FLOAT_EQ(cur.t[1], 3.0f);
    EXPECT_EQ(classesOf(3), (std::vector<int>{1, 1, 1}));
    EXPECT_TRUE(cur.code[1] == "");
}

TEST_F(SurfaceEdits, SurfaceAnomalyBecomesTheFloorOfTheProfile) {
    classes({0, 0, 0, 0});
    cur.code[1] = QcCode("SA");
    cur.iclass[1] = 2;
    checkclass(cur, 4);
    EXPECT_EQ(classesOf(4), (std::vector<int>{2, 2, 2, 2}));
}
