// The MK21 export reader and the cruise builder on real export files and on
// small variants of them: the station line, the probe code, and the
// temperatures the raw drop reader gets back at the editor's depths.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "exchange/import_cruise.h"
#include "exchange/mk21_export.h"
#include "profile/rawdrop.h"

namespace {

const std::filesystem::path realdir = std::filesystem::path(DROPFIX_SOURCE_DIR) / "tests/data/real/edf";

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

IncomingDrop readok(const std::string& bytes, const std::string& name = "x.EDF") {
    Mk21Read r = readmk21(bytes, name);
    EXPECT_TRUE(r.drop) << r.problem.text();
    return r.drop ? *r.drop : IncomingDrop{};
}

RawDrop readback(const IncomingDrop& d) {
    const std::string raw = rawdropfile(1, d, resample(d));
    return parserawdrop(raw, fallrateA, fallrateB, [](std::string_view, std::string_view) {});
}

// Expected temperatures are the export's own, linearly between the two rows
// around the sample's depth (worked by hand from the files). The depths of
// the older layout's rows, printed to 0.1 m, are taken at their equation's
// value, so a probe of the editor's own equation (the T-7 and the Deep Blue
// here) has a row at every sample and keeps its temperatures exactly.
TEST(Mk21Import, RealExportsGiveTheirStationLineCodeAndTemperatures) {
    struct Case {
        const char* file;
        const char* line;
        const char* code;
        const char* serial;
        int n;
        std::vector<std::pair<int, int>> milli;  // sample, thousandths of a degree
    } cases[] = {
        {"T7_00070.EDF",
         " 001     7        12/03/07 23:32:02  -21.197  150.124        0        ",
         "041",
         "       ",
         1224,
         {{1, 27350}, {100, 27150}, {500, 27080}, {1224, 35500}}},
        {"TD_00831.edf",
         " 001     D        22/03/12 03:01:01   22.065  -157.06        0        ",
         "051",
         "1096917",
         1224,
         {{1, 23510}, {100, 23510}, {500, 11530}, {1224, 5020}}},
        {"T6_00002.EDF",
         " 001     6        17/01/23 21:39:04   33.526  -118.82        0        ",
         "032",
         "0342064",
         729,
         {{1, 14524}, {100, 11110}, {500, 7820}, {729, 7686}}},
        {"XBT Fast Deep 20170710194204.edf",
         " 001     F        10/07/17 19:42:04   25.705  -157.02        0        ",
         "021",
         "14366  ",
         1634,
         {{1, 26086}, {100, 23116}, {500, 12560}, {1634, 3775}}},
        // 63.9949 m, a point the noise reduction took out, is passed over.
        {"C3_00011_first1500.EDF",
         " 001     C        01/08/15 02:13:33   37.547  -70.868        0        ",
         "741",
         "0016783",
         374,
         {{1, 28870}, {100, 23843}, {374, 18490}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const IncomingDrop d = readok(slurp(realdir / c.file), c.file);
        EXPECT_EQ(stationline(1, d), c.line);
        const RawDrop r = readback(d);
        EXPECT_EQ(r.hdr.probecode.view(), c.code);
        EXPECT_EQ(r.hdr.serial.view(), c.serial);
        EXPECT_EQ(r.hdr.recorder.view(), "06");
        ASSERT_EQ(r.n, c.n);
        for (auto [i, m] : c.milli) {
            EXPECT_EQ(std::lround(r.t[static_cast<std::size_t>(i - 1)] * 1000.0f), m) << "sample " << i;
            EXPECT_EQ(r.depth[static_cast<std::size_t>(i - 1)], -static_cast<float>(sampledepth(i)));
        }
    }
}

TEST(Mk21Import, ProbeCodeFromTypeAndDepthCoefficients) {
    struct Case {
        const char* type;
        std::optional<double> c2, c3;
        int code;
    } cases[] = {
        {"T-7", 6.691, -0.00225, 42},
        {"T-7", 6.472, -0.00216, 41},
        {"T-7", 6.0, -0.001, 0},  // neither equation of the table
        {"T-7", {}, {}, 0},
        {"Deep Blue", 6.691, -0.00225, 52},
        {"Deep Blue", 6.472, -0.00216, 51},
        {"T-6", 6.691, -0.00225, 32},
        {"T-6", 6.472, -0.00216, 31},
        {"T-4", 6.691, -0.00225, 2},
        {"T-4", 6.472, -0.00216, 1},
        {"T-5", 6.828, -0.00182, 11},
        {"T5", {}, {}, 11},
        {"T-5_20", 6.828, -0.00182, 11},
        {"Fast Deep", 6.39, -0.00182, 21},
        {"T-10", 6.301, -0.00216, 61},
        {"T-11 (Fine Structure)", 1.7779, -0.000255, 71},
        {"T-1", {}, {}, 0},  // not a T-10 or a T-11
        {"XCTD-1", 3.43898, -0.00031, 741},
        {"XCTD-2", 3.43898, -0.00031, 742},
        {"XCTD-2F", {}, {}, 743},
        {"XCTD", {}, {}, 0},
        {"XSV-01", 5.367, -0.001476, 0},
    };
    for (const auto& c : cases) {
        const ProbeChoice p = mk21probe(c.type, c.c2, c.c3);
        EXPECT_EQ(p.code, c.code) << c.type;
        EXPECT_EQ(p.note.empty(), c.code != 0) << c.type;
    }
    EXPECT_TRUE(mk21probe("XCTD", {}, {}).xctd);
}

// The header and table variants an export file may come in.
TEST(Mk21Import, LayoutVariantsReadTheSame) {
    const std::string head = "// This is a MK21 EXPORT DATA FILE  (EDF)\r\n";
    const std::string launch =
        "Date of Launch:  03/22/2011\r\nTime of Launch:  07:31:24\r\n"
        "Latitude      :  42 47.10156N\r\nLongitude     :  5 44.03302E\r\n";
    struct Case {
        const char* what;
        std::string text;
        double lat, lon, z0, t0;
        LaunchTime launch;
    } cases[] = {
        {"older layout, CRLF",
         head + launch +
             "Depth (m) - Temperature (\xB0"
             "C) - Sound Velocity (m/s)\r\n1.0\t13.50\t1500\r\n2.0\t13.40\t1500\r\n",
         42.785,
         5.734,
         1.0,
         13.5,
         {2011, 3, 22, 7, 31, 24}},
        {"temperature before depth, UTF-8 degree sign",
         head + launch +
             "Temperature (\xC2\xB0"
             "C) - Depth (m)\n13.50 1.0\n13.40 2.0\n",
         42.785,
         5.734,
         1.0,
         13.5,
         {2011, 3, 22, 7, 31, 24}},
        {"feet and Fahrenheit",
         head + launch +
             "Depth (ft) - Temperature (\xB0"
             "F)\n10.0\t50.0\n20.0\t49.0\n",
         42.785,
         5.734,
         3.048,
         10.0,
         {2011, 3, 22, 7, 31, 24}},
        {"newer layout, memo with digits and a colon",
         "// MK21 EXPORT DATA FILE  (EDF)\n// Launch Information\nDate of Launch   :  28/04/2020\n"
         "Time of Launch   :  21:06:17\nLatitude         :  10 05.92187S\nLongitude        :  60 03.19935W\n"
         "// Memo\n2319m at 10:00\n// Data Fields\nField1 : Time (sec)\nField2 : Depth (m)\n"
         "Field3 : Temperature (\xB0"
         "C)\n// Data\n0.0 0.0 20.0\n0.1 0.6 19.0\n0.2 0.6 18.0\n0.3 0.5 17.0\n",
         -10.099,
         -60.053,
         0.0,
         20.0,
         {2020, 4, 28, 21, 6, 17}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IncomingDrop d = readok(c.text);
        ASSERT_TRUE(d.lat && d.lon);
        EXPECT_NEAR(*d.lat, c.lat, 0.0005);
        EXPECT_NEAR(*d.lon, c.lon, 0.0005);
        EXPECT_TRUE(d.launch == c.launch);
        ASSERT_FALSE(d.depth.empty());
        EXPECT_NEAR(d.depth[0], c.z0, 1e-9);
        EXPECT_NEAR(d.t[0], c.t0, 1e-9);
    }
    // The rows that do not go down are left out, and said so.
    const IncomingDrop last = readok(cases[3].text);
    EXPECT_EQ(last.depth, (std::vector<double>{0.0, 0.6}));
    EXPECT_EQ(last.notes.size(), 3u) << "the day-first date, the rows left out and no probe type";
}

// One drop exported twice: with the time column and depths to 0.01 m, and
// in the older layout with depths to 0.1 m. The temperatures are the same.
TEST(Mk21Import, TwoExportsOfOneDropGiveTheSameTemperatures) {
    const std::string head =
        "// MK21 EXPORT DATA FILE  (EDF)\nDate of Launch : 03/22/2011\nTime of Launch : 07:31:24\n"
        "Probe Type : T-5\nDepth Coeff. 1 : 0.0\nDepth Coeff. 2 : 6.828\nDepth Coeff. 3 : -0.00182\n";
    std::string newer = head + "Field1 : Time (sec)\nField2 : Depth (m)\nField3 : Temperature (C)\n// Data\n";
    std::string older = head + "Depth (m) - Temperature (C)\n";
    char row[64];
    for (int k = 0; k < 3000; ++k) {
        const double t = 0.1 * k, z = 6.828 * t - 0.00182 * t * t;
        const double temp = 4 + 20 * std::exp(-z / 150);  // a steep thermocline
        std::snprintf(row, sizeof row, "%.1f %.2f %.2f\n", t, z, temp);
        newer += row;
        std::snprintf(row, sizeof row, "%.1f %.2f\n", z, temp);
        older += row;
    }
    const Resampled a = resample(readok(newer)), b = resample(readok(older));
    ASSERT_EQ(a.n, ndepmax);
    ASSERT_EQ(b.n, ndepmax);
    EXPECT_TRUE(std::equal(a.milli.begin(), a.milli.end(), b.milli.begin()));
}

TEST(Mk21Import, ResamplingHoldsTheTopStopsAtTheBottomAndCutsAt2000) {
    IncomingDrop d;
    d.depth = {1.0, 10.0};
    d.t = {10.0, 19.0};
    Resampled r = resample(d);
    ASSERT_EQ(r.n, 15);  // sample 16 lies at 10.35 m
    EXPECT_EQ(r.milli[0], 10000) << "above the first row: its temperature";
    EXPECT_EQ(r.milli[14], 18703) << "9.703 m";
    EXPECT_FALSE(r.cut);

    d.depth = {0.0, 1800.0};
    d.t = {20.0, 2.0};
    r = resample(d);
    EXPECT_EQ(r.n, ndepmax);
    EXPECT_TRUE(r.cut);
    EXPECT_EQ(r.milli[ndepmax - 1], 7920) << "1208.0 m";

    d.depth = {0.0, 100.0};
    d.t = {-12.0, 120.0};
    r = resample(d);
    EXPECT_EQ(r.milli[0], -9999);
    EXPECT_EQ(r.milli[static_cast<std::size_t>(r.n - 1)], 99999);
    EXPECT_GT(r.clamped, 0);
}

TEST(Mk21Import, LongitudeTakesTwoDecimalsOnlyWhenItNeedsThem) {
    IncomingDrop d;
    d.launch = {2023, 1, 17, 21, 39, 4};
    struct Case {
        double lat, lon;
        const char* cols;  // columns 38-53
    } cases[] = {
        {-21.19729, 150.12445, "-21.197  150.124"},
        {9.0, -84.98767, "  9.000  -84.988"},
        {-89.9999, -179.9999, "-90.000  -180.00"},
        {0.0, 179.9996, "  0.000  180.000"},
    };
    for (const auto& c : cases) {
        d.lat = c.lat;
        d.lon = c.lon;
        EXPECT_EQ(stationline(7, d).substr(37, 16), c.cols);
    }
}

}  // namespace
