// Point picking by depth and by mouse click.
#include "qc/pick.h"
#include "tests/qc/qc_fixture.h"

using Pick = QcTest;

TEST_F(Pick, NearestPointWithTheShallowerWinningATie) {
    const int n = depths({1, 2, 3, 4});
    float y = 5.0f;  // above the surface
    EXPECT_EQ(getindex(y, cur, n), 1);
    EXPECT_FLOAT_EQ(y, -1.0f);
    y = -80.0f;
    EXPECT_EQ(getindex(y, cur, n), 4);
    EXPECT_FLOAT_EQ(y, -4.0f);
    y = -2.5f;
    EXPECT_EQ(getindex(y, cur, n), 2);
    y = -2.6f;
    EXPECT_EQ(getindex(y, cur, n), 3);
    EXPECT_FLOAT_EQ(y, -3.0f);
}

TEST_F(Pick, EmptyProfilePicksNothing) {
    float y = -3.0f;
    EXPECT_FALSE(getindex(y, cur, 0));
    EXPECT_FALSE(getindex(y, cur, -1));
    EXPECT_FLOAT_EQ(y, -3.0f);
}

TEST_F(Pick, MouseClickPicksFromTheWholeLoadedProfile) {
    const int n4 = depths({1, 2, 3, 4, 5, 6});
    FixedText<7> dt1(" 12.345");
    EventRecord e;
    e.unitY = -5.2f;
    e.data1 = 3;  // any button picks
    int iflag = 0, ind = 0;
    float y = 0;
    EXPECT_TRUE(mouseydown(1, e, dt1, cur, n4, iflag, y, ind));
    EXPECT_EQ(ind, 5);  // below a displayed length of, say, 3
    EXPECT_FLOAT_EQ(y, -5.0f);
    EXPECT_EQ(iflag, 0);
    EXPECT_TRUE(dt1 == "");
    EXPECT_TRUE(toolkit::takeBoxes().empty());

    ind = 0;
    EXPECT_FALSE(mouseydown(1, e, dt1, cur, 0, iflag, y, ind));
    EXPECT_EQ(iflag, 1);
    EXPECT_EQ(ind, 0);
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(Pick, ClickInDepthListModeIsRefused) {
    const int n4 = depths({1, 2});
    FixedText<7> dt1;
    EventRecord e;
    int iflag = 0, ind = 9;
    float y = 7;
    EXPECT_FALSE(mouseydown(2, e, dt1, cur, n4, iflag, y, ind));
    EXPECT_EQ(iflag, 1);
    EXPECT_EQ(ind, 9);
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "In Choose Depth entry mode");
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_EQ(boxes[0].buttons, 0);
    EXPECT_EQ(boxes[0].icon, 3);
}
