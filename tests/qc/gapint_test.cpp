// Interpolation over 2-metre bins and the flags of the repair.
#include "qc/gapint.h"
#include "tests/qc/qc_fixture.h"

class Gapint : public QcTest {
protected:
    // Points every `step` metres, temperature 100 - depth.
    int spaced(float step, int n) {
        for (int i = 1; i <= n; ++i) {
            cur.depth[i] = -step * static_cast<float>(i);
            cur.t[i] = 100.0f + cur.depth[i];
        }
        return n;
    }
    void expectNothingToInterpolate(int ind1, int ind2, int n) {
        const SlotData before = cur;
        EXPECT_FALSE(gapint(ind1, ind2, cur, n));
        EXPECT_EQ(ind1, -1);
        EXPECT_EQ(cur.t, before.t);
        const auto boxes = toolkit::takeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].message, "No points to interpolate..try again");
        EXPECT_EQ(boxes[0].title, "Error Info");
        EXPECT_EQ(boxes[0].buttons, 0);
        EXPECT_EQ(boxes[0].icon, 3);
    }
};

TEST_F(Gapint, StraightLineBetweenTheEndPoints) {
    const int n = spaced(2.0f, 12);  // one point per bin: no widening
    cur.t[5] = 20.0f;                // 10 m
    cur.t[10] = 15.0f;               // 20 m
    int ind1 = 5, ind2 = 10;
    EXPECT_TRUE(gapint(ind1, ind2, cur, n));
    EXPECT_EQ(ind1, 5);
    EXPECT_EQ(ind2, 10);
    EXPECT_FLOAT_EQ(cur.t[7], 18.0f);  // 14 m
    EXPECT_FLOAT_EQ(cur.t[6], 19.0f);
    EXPECT_FLOAT_EQ(cur.t[9], 16.0f);
    EXPECT_FLOAT_EQ(cur.t[4], 92.0f);
    EXPECT_FLOAT_EQ(cur.t[11], 78.0f);
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(Gapint, WidensBothEndsToWholeBins) {
    const int n = spaced(0.65f, 40);
    int ind1 = 4, ind2 = 20;  // 2.60 m shares bin 2 with 3.25 m; 13.0 m bin 7 with 12.35 m
    EXPECT_TRUE(gapint(ind1, ind2, cur, n));
    EXPECT_EQ(ind1, 3);   // 1.95 m, bin 1
    EXPECT_EQ(ind2, 22);  // 14.3 m, bin 8
    EXPECT_DOUBLE_EQ(depthbin(-1.95f), 1.0);
    EXPECT_DOUBLE_EQ(depthbin(-2.0f), 2.0);
}

TEST_F(Gapint, WideningLooksThreePointsAndNoFurther) {
    const int n = spaced(0.1f, 60);  // 20 points per bin
    int ind1 = 30, ind2 = 35;
    EXPECT_TRUE(gapint(ind1, ind2, cur, n));
    EXPECT_EQ(ind1, 30);
    EXPECT_EQ(ind2, 35);
    int top = 1, bottom = 60;  // never past either end
    EXPECT_TRUE(gapint(top, bottom, cur, n));
    EXPECT_EQ(top, 1);
    EXPECT_EQ(bottom, 60);
}

TEST_F(Gapint, AdjacentReversedAndFlatEndsGiveNothing) {
    const int n = spaced(2.0f, 30);
    expectNothingToInterpolate(10, 11, n);
    expectNothingToInterpolate(25, 5, n);
    spaced(0.1f, 30);
    expectNothingToInterpolate(11, 10, n);  // same bin: widening must not rescue it
    depths({10, 10, 10});
    expectNothingToInterpolate(1, 3, 3);
    expectNothingToInterpolate(1, 1, 0);
}

TEST_F(Gapint, EndsOutsideTheProfileAreClamped) {
    const int n = spaced(2.0f, 10);
    cur.t[11] = 555.0f;
    int ind1 = -4, ind2 = 50;
    EXPECT_TRUE(gapint(ind1, ind2, cur, n));
    EXPECT_EQ(ind1, 1);
    EXPECT_EQ(ind2, 10);
    EXPECT_FLOAT_EQ(cur.t[11], 555.0f);
}

TEST_F(Gapint, RepairFlagsTheSectionAndFloorsTheDataBelow) {
    classes({1, 1, 1, 1, 2, 4, 5, 0, 1});
    flagrepair(cur, 1, 4, 8, *sectioncode(2), 3);
    EXPECT_EQ(classesOf(9), (std::vector<int>{1, 5, 5, 3, 3, 4, 5, 3, 1}));
    EXPECT_TRUE(cur.code[1] == "");
    EXPECT_TRUE(cur.code[2] == "HF");
    EXPECT_TRUE(cur.code[3] == "HF");
    EXPECT_TRUE(cur.code[4] == "");

    classes({1, 1, 1, 3});
    flagrepair(cur, -1, 3, 4, QcCode("SP"), 2);  // gapint found nothing
    EXPECT_EQ(classesOf(4), (std::vector<int>{1, 1, 1, 3}));

    EXPECT_TRUE(*sectioncode(1) == "SP");
    EXPECT_TRUE(*sectioncode(3) == "IP");
    EXPECT_FALSE(sectioncode(0));
}
