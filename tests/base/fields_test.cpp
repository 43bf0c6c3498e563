#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/fields.h"
#include "base/fixed_text.h"

TEST(FixedText, ColumnsAreOneBasedAndBlankPadded) {
    FixedText<10> t("abc");
    EXPECT_EQ(t.view(), "abc       ");
    EXPECT_EQ(t.at(1), 'a');
    EXPECT_EQ(t.at(11), ' ');
    t.put(9, "xyz");  // the z falls off the end
    EXPECT_EQ(t.view(), "abc     xy");
    EXPECT_EQ(t.cols(8, 10), " xy");
    EXPECT_EQ(t.trimmedLength(), 10u);
    EXPECT_TRUE(FixedText<5>("ab") == std::string_view("ab   "));
    EXPECT_TRUE(blankEqual("ab", "ab  "));
    EXPECT_FALSE(blankEqual("ab", "abc"));
}

TEST(Fields, ReadIntIgnoresBlanksAndRejectsGarbage) {
    EXPECT_EQ(readIntField("     "), 0);
    EXPECT_EQ(readIntField(" 1 2 "), 12);
    EXPECT_EQ(readIntField("  -45"), -45);
    EXPECT_FALSE(readIntField("1.5"));
    EXPECT_FALSE(readIntField("12a"));
    EXPECT_FALSE(readIntField("-"));
}

TEST(Fields, ReadRealWithImpliedDecimals) {
    EXPECT_DOUBLE_EQ(*readRealField("1234", 2), 12.34);
    EXPECT_DOUBLE_EQ(*readRealField("12.5", 2), 12.5);
    EXPECT_DOUBLE_EQ(*readRealField("1e2", 2), 100.0);
    EXPECT_DOUBLE_EQ(*readRealField("    ", 3), 0.0);
    EXPECT_FALSE(readRealField("1.2.3"));
    EXPECT_DOUBLE_EQ(*readFreeNumber("  30.5, 7"), 30.5);
    EXPECT_FALSE(readFreeNumber("   "));
    EXPECT_FALSE(readFreeNumber("abc 3"));
}

// Blanks may fall between the sign, the digits, the point and the exponent;
// the sign may come only first, and a field longer than any real one still
// reads.
TEST(Fields, BlanksAnywhereSignsOnlyFirst) {
    const std::vector<std::pair<std::string, std::optional<std::int64_t>>> ints = {
        {" - 1 2", -12},
        {"+ 7", 7},
        {"1-2", std::nullopt},
        {" + ", std::nullopt},
        {"--1", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {std::string(100, ' ') + "42", 42},
        {"-999999999999999999", -999999999999999999},
        {"1000000000000000000", 1000000000000000000},
        {"12 ", 12},
    };
    for (const auto& [field, want] : ints) EXPECT_EQ(readIntField(field), want) << '"' << field << '"';
    const std::vector<std::pair<std::string, std::optional<double>>> reals = {
        {" 1 2 . 5 ", 12.5},
        {"+1.5", 1.5},
        {"-2 d 1", -20.0},
        {"1D+2", 100.0},
        {"1e", std::nullopt},
        {"e5", std::nullopt},
        {"1e400", std::nullopt},
        {std::string(100, ' ') + "2.5", 2.5},
        {"1" + std::string(68, '0') + ".", 1e68},
        {"-1234", -12.34},
        {"+123456789012345", 1234567890123.45},
        {"1234567890123456789", 12345678901234567.89},
    };
    for (const auto& [field, want] : reals) EXPECT_EQ(readRealField(field, 2), want) << '"' << field << '"';
    EXPECT_TRUE(std::signbit(*readRealField(" - 0", 0))) << "a written minus stays on a zero";
}

TEST(Fields, WriteIAndFRightAlignedWithAsterisks) {
    EXPECT_EQ(writeI(5000, 7), "   5000");
    EXPECT_EQ(writeI(100000, 5), "*****");
    EXPECT_EQ(writeI(-9999, 5), "-9999");
    EXPECT_EQ(writeI(-10000, 5), "*****");
    EXPECT_EQ(writeI(INT64_MIN, 20), "-9223372036854775808");
    EXPECT_EQ(writeI(-5, 40), std::string(38, ' ') + "-5");  // wider than any field of a file
    for (const auto& [v, w, want] :
         std::vector<std::tuple<std::int64_t, int, std::string>>{{123456, 6, "123456"},
                                                                 {1234567, 6, "******"},
                                                                 {-12345, 6, "-12345"},
                                                                 {-123456, 6, "******"},
                                                                 {100, 3, "100"},
                                                                 {0, 3, "  0"},
                                                                 {1000, 3, "***"}})
        EXPECT_EQ(writeI(v, w), want) << v << " in " << w;
    EXPECT_EQ(writeF(5.0, 8, 3), "   5.000");
    EXPECT_EQ(writeF(30.0, 5, 1), " 30.0");
    EXPECT_EQ(writeF(0.125, 5, 2), " 0.13");  // halves away from zero
    EXPECT_EQ(writeF(-0.125, 5, 2), "-0.13");
    EXPECT_EQ(writeF(0.5, 4, 3), ".500");
    EXPECT_EQ(writeF(1234.5, 5, 1), "*****");
    EXPECT_EQ(writeF(-0.0001, 6, 3), " 0.000");
}

TEST(Fields, NintRoundsTheFloatProductHalvesAwayFromZero) {
    EXPECT_EQ(nintProduct(1000.0f, 21.5f), 21500);
    EXPECT_EQ(nintProduct(1000.0f, -0.0005f), -1);  // -0.5 after float rounding
    EXPECT_EQ(nint(2.5), 3);
    EXPECT_EQ(nint(-2.5), -3);
    EXPECT_EQ(nint(0.49999999999999994), 0);  // just under a half stays down
    EXPECT_EQ(nint(-0.49999999999999994), 0);
    EXPECT_EQ(nint(3999999999999999.5), 4000000000000000);  // halves at either side of 4e15
    EXPECT_EQ(nint(-4503599627370495.5), -4503599627370496);
    EXPECT_EQ(nintProduct(1000.0f, 1e30f), 9000000000000000000);
    EXPECT_EQ(freeFormat(0.1f), "0.1");
    EXPECT_EQ(freeFormat(30.0f), "30");
}
