// Lines of the depth list.
#include <gtest/gtest.h>

#include "plot/depth_list.h"

TEST(DepthList, Lines) {
    SlotData s;
    s.depth[1] = -12.5f, s.t[1] = 9.8765f, s.iclass[1] = 1, s.code[1] = QcCode("CS");
    s.depth[2] = -0.0f, s.t[2] = -1.5f;
    s.depth[3] = -1234.567f, s.t[3] = -10.0f, s.iclass[3] = 4, s.code[3] = QcCode("WB");
    const auto lines = depthlistlines(s, 3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "  12.500  9.877 1 CS");
    EXPECT_EQ(lines[1], "   0.000 -1.500 0   ");
    EXPECT_EQ(lines[2], "1234.567 ****** 4 WB");  // -10 degrees does not fit F6.3
    EXPECT_TRUE(depthlistlines(s, -1).empty());
    EXPECT_EQ(depthlistlines(s, ndepmax + 7).size(), static_cast<std::size_t>(ndepmax));
}
