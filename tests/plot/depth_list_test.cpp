// Lines of the depth list.
#include <gtest/gtest.h>

#include "plot/depth_list.h"

TEST(DepthList, LineColumns) {
    SlotData s;
    s.depth[1] = -12.5f, s.t[1] = 9.8765f, s.iclass[1] = 1, s.code[1] = QcCode("CS");
    s.depth[2] = -0.0f, s.t[2] = -1.5f, s.iclass[2] = 0;
    s.depth[3] = -1234.567f, s.t[3] = -10.0f, s.iclass[3] = 4, s.code[3] = QcCode("WB");
    s.depth[4] = -3.0f, s.t[4] = 100.0f, s.iclass[4] = 12;

    EXPECT_EQ(depthlistline(s, 1), "  12.500  9.877 1 CS");
    EXPECT_EQ(depthlistline(s, 2), "   0.000 -1.500 0   ");
    // Temperatures of -10 or lower (or 100 and above) do not fit F6.3.
    EXPECT_EQ(depthlistline(s, 3), "1234.567 ****** 4 WB");
    EXPECT_EQ(depthlistline(s, 4), "   3.000 ****** *   ");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(depthlistline(s, i).size(), 20u);
    EXPECT_EQ(depthlistline(s, 0), std::string(20, ' '));
    EXPECT_EQ(depthlistline(s, ndepmax + 1), std::string(20, ' '));
}

TEST(DepthList, OneLinePerPointWithinTheSlot) {
    SlotData s;
    for (int i = 1; i <= 30; ++i) s.depth[i] = -static_cast<float>(i);
    const auto lines = depthlistlines(s, 30);
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[29].substr(0, 8), "  30.000");
    EXPECT_TRUE(depthlistlines(s, -1).empty());
    EXPECT_EQ(depthlistlines(s, ndepmax + 7).size(), static_cast<std::size_t>(ndepmax));
}
