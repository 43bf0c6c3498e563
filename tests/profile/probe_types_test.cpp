// The probe table as the raw file's three-column field names it.
#include "profile/probe_types.h"

#include <gtest/gtest.h>

TEST(ProbeTypes, FieldNamesCodeOrNothing) {
    struct Case {
        const char* field;
        int code;  // 0: no probe
        double rated;
    } cases[] = {
        {"042", 42, 760}, {" 42", 42, 760}, {"052", 52, 760}, {"011", 11, 1830}, {"021", 21, 1000},
        {"001", 1, 460},  {"061", 61, 200}, {"071", 71, 460}, {"000", 0, 0},     {"   ", 0, 0},
        {"4 2", 0, 0},    {"x42", 0, 0},    {"0420", 0, 0},   {"999", 0, 0},
    };
    for (const auto& c : cases) {
        const auto p = probetypeof(c.field);
        if (c.code == 0) {
            EXPECT_FALSE(p) << c.field;
        } else {
            ASSERT_TRUE(p) << c.field;
            EXPECT_EQ(p->code, c.code) << c.field;
            EXPECT_EQ(p->rated, c.rated) << c.field;
        }
    }
}
