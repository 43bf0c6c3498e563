// The exporters below the command: the strict q-file reading that decides
// whether a drop may leave the editor, the station list's time, and the
// netCDF file read back by our own reader (the round trip of the importer).
#include <gtest/gtest.h>
#include <algorithm>

#include <cmath>
#include <string>

#include "exchange/export_netcdf.h"
#include "exchange/exported_drop.h"
#include "exchange/import_netcdf.h"

namespace {

const std::string header =
    "  001 051 60 VMCS    -27.136 154.249 7\n 09-03-2026  02:25:44 SEAS9.6  1187037 11-04-2025\n";

std::string rec(int mm, int milli, char cls, const char* code, const char* loaded = nullptr) {
    char s[64];
    std::snprintf(s, sizeof s, "%7d %5d %c %s", mm, milli, cls, code);
    std::string r = s;
    if (loaded) r += std::string(" ") + loaded;
    return r + "\n";
}

TEST(ReadQStrict, DamagedFilesAreRefusedWithTheLine) {
    std::string many = header;
    for (int i = 0; i <= 2000; ++i) many += rec(i * 10, 20000, '1', "  ");
    struct Case {
        std::string bytes;
        std::string reason;  // empty: read
    } cases[] = {
        {header + rec(647, 27120, '1', "  ") + rec(1294, 27110, '5', "SP", "27300"), ""},
        {header + rec(647, 27120, ' ', "  "), ""},
        {"  001 051 60 VMCS\n", "its header ends early"},
        {std::string("  001\x01 051\n") + " 09-03-2026\n" + rec(647, 27120, '1', "  "),
         "its header is damaged"},
        {header, "it holds no point"},
        {header + rec(647, 27120, '1', "  ") + "   12a4 27110 1   \n", "line 4 is damaged: its depth"},
        {header + "    647 27.12 1   \n", "line 3 is damaged: its temperature"},
        {header + rec(647, 27120, '7', "  "), "line 3 is damaged: its class"},
        {header + rec(647, 27120, '1', "sp"), "line 3 is damaged: its code"},
        {header + rec(647, 27120, '1', "  ", "27300"), "line 3 is damaged: columns 19-24"},
        {header + "    647 27120\n", "line 3 is damaged: too short"},
        {header + rec(647, 27120, '1', "  ") + "\n", "line 4 is damaged: too short"},
        {many, "it holds more than 2000 points"},
    };
    for (const auto& c : cases) {
        const QRead r = readqstrict(c.bytes);
        if (c.reason.empty()) {
            EXPECT_TRUE(r.ok) << r.reason;
        } else {
            EXPECT_FALSE(r.ok) << c.reason;
            EXPECT_EQ(r.reason.rfind(c.reason, 0), 0u) << r.reason;
        }
    }
}

TEST(ReadQStrict, PointsKeepMillimetresClassesCodesAndLoadedTemperature) {
    const QRead r = readqstrict(header + rec(647, 27120, '1', "  ") + rec(1294, -1500, '5', "SP", "27300"));
    ASSERT_TRUE(r.ok) << r.reason;
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_FLOAT_EQ(r.points[1].depth, 1.294f);
    EXPECT_FLOAT_EQ(r.points[1].t, -1.5f);
    EXPECT_EQ(r.points[1].iclass, 5);
    EXPECT_EQ(r.points[1].codetext(), "SP");
    ASSERT_TRUE(r.points[1].tloaded);
    EXPECT_FLOAT_EQ(*r.points[1].tloaded, 27.3f);
    EXPECT_FALSE(r.points[0].tloaded);
    EXPECT_EQ(r.header.substr(13, 4), "VMCS");
}

TEST(DropTime, StationFieldsGiveARealMomentOrNone) {
    struct Case {
        const char *date, *time;
        double days;  // < 0: none
    } cases[] = {
        {"09/03/26", "02:25:44", 27826.0 + (2 * 3600 + 25 * 60 + 44) / 86400.0},
        {"01/01/00", "00:00:00", 18262.0},  // 2000-01-01
        {"29/02/24", "12:00:00", 27087.5},
        {"29/02/25", "12:00:00", -1},
        {"31/04/26", "00:00:00", -1},
        {"00/00/00", "00:00:00", -1},
        {"09/13/26", "00:00:00", -1},
        {"09/03/26", "24:00:00", -1},
        {"09/03/2", "02:25:44", -1},
        {"x9/03/26", "02:25:44", -1},
    };
    for (const auto& c : cases) {
        const auto t = droptime(c.date, c.time);
        if (c.days < 0) {
            EXPECT_FALSE(t) << c.date << " " << c.time;
        } else {
            ASSERT_TRUE(t) << c.date;
            EXPECT_NEAR(days1950(*t), c.days, 1e-9) << c.date;
        }
    }
    EXPECT_EQ(isotime(*droptime("09/03/26", "02:25:44")), "2026-03-09T02:25:44Z");
}

TEST(RawRecorder, TheDigitAsWrittenNotTheZeroFilledField) {
    EXPECT_EQ(rawrecorder(" Probe Code: 052\n Recorder Code: 6 \nXBT:   40\n"), 6);
    EXPECT_EQ(rawrecorder(" Recorder Code: 42\n"), 42);
    EXPECT_EQ(rawrecorder(" Recorder Code: x\n"), std::nullopt);
    EXPECT_EQ(rawrecorder("XBT:   40\n Recorder Code: 6\n"), std::nullopt);
    EXPECT_EQ(shipname("Ship Name =RV Coral Surveyor \nCruise Name =DEMO01\n"), "RV Coral Surveyor");
    EXPECT_EQ(shipname("DEMO01\n"), "");
}

// An accepted drop with every class, or a bad one as the Bad command leaves
// it: NG at the surface and everything class 4 below, but for the repaired
// points, which keep class 5 and their code.
ExportedDrop dropwith(bool bad) {
    DropSource src;
    const std::string q = bad ? header + rec(647, 27120, '4', "NG") + rec(1294, 27110, '4', "  ") +
                                    rec(1941, 26000, '5', "SP", "29000") + rec(2588, 25000, '4', "  ") +
                                    rec(3235, 24000, '5', "HF", "1000")
                              : header + rec(647, 27120, '1', "IV") + rec(1294, 27110, '2', "  ") +
                                    rec(1941, 26000, '5', "SP", "29000") + rec(2588, 25000, '3', "WS") +
                                    rec(3235, 24000, '4', "  ") + rec(3882, 23000, '5', "SP", "1000") +
                                    rec(4529, 22000, '4', "WB");
    src.qbytes = q;
    src.qname = "DEMO01q.001";
    src.station = {"09/03/26", "02:25:44", "-27.136", "154.249"};
    src.cruise = "DEMO01";
    src.ship = "RV Coral Surveyor";
    src.drop = 1;
    src.bad = bad;
    DropBuild b = buildexporteddrop(src);
    EXPECT_TRUE(b.ok) << b.reason;
    return b.drop;
}

TEST(NetcdfRoundTrip, TemperaturesClassesAndCodesComeBack) {
    for (const bool bad : {false, true}) {
        const ExportedDrop d = dropwith(bad);
        const EncodedFile f = netcdfbytes(d, "2026-12-11T12:00:00Z");
        ASSERT_TRUE(f.ok) << f.reason;
        const NetcdfProfile p = readnetcdf(f.bytes);
        ASSERT_TRUE(p.ok) << p.reason;
        ASSERT_EQ(p.t.size(), d.points.size());
        for (std::size_t i = 0; i < d.points.size(); ++i) {
            const ExportPoint& e = d.points[i];
            EXPECT_EQ(p.depth[i], e.depth) << i;
            EXPECT_EQ(p.t[i], e.t) << i;
            EXPECT_EQ(p.iclass[i], e.iclass) << i << (bad ? " bad" : "");
            EXPECT_EQ(std::string(p.code[i].data(), 2), std::string(e.codetext())) << i;
            EXPECT_EQ(p.flag[i], bad ? 4 : (e.iclass <= 1 ? 1 : e.iclass)) << i;
        }
        EXPECT_EQ(p.callsign, "VMCS");
        EXPECT_EQ(p.cruise, "DEMO01");
        EXPECT_DOUBLE_EQ(p.lat, -27.136);
    }
}

TEST(NetcdfRoundTrip, AnyOtherBytesAreRefused) {
    const std::string good = netcdfbytes(dropwith(false), "2026-12-11T12:00:00Z").bytes;
    std::string spoiled = good;
    std::fill(spoiled.begin() + 600, spoiled.begin() + 1400, '\xff');
    // A classic header that claims two thousand million variables: the
    // library would ask for gigabytes before it saw the file end.
    const std::string greedy("CDF\x01\0\0\0\0\0\0\0\x0b\x7f\xff\xff\xff", 16);
    for (const std::string& bytes : {std::string(), std::string("CDF\x01garbage"),
                                     good.substr(0, good.size() / 2), std::string(header), spoiled, greedy}) {
        const NetcdfProfile p = readnetcdf(bytes);
        EXPECT_FALSE(p.ok);
        EXPECT_FALSE(p.reason.empty());
    }
}

}  // namespace

namespace {

// An exported file taken in by the importer: the time, position, probe and
// every temperature come back; the classes stay with readnetcdf.
TEST(NetcdfImport, AnExportedDropArrivesWithItsTimePositionAndTemperatures) {
    const ExportedDrop d = dropwith(false);
    const std::string bytes = netcdfbytes(d, "2026-12-11T12:00:00Z").bytes;
    ASSERT_TRUE(isnetcdf(bytes));
    const Mk21Read r = readnetcdfdrop(bytes, "DEMO01_001.nc");
    ASSERT_TRUE(r.drop) << r.problem.text();
    EXPECT_EQ(r.drop->launch, (LaunchTime{2026, 3, 9, 2, 25, 44}));
    EXPECT_DOUBLE_EQ(*r.drop->lat, -27.136);
    EXPECT_DOUBLE_EQ(*r.drop->lon, 154.249);
    EXPECT_EQ(r.drop->callsign, "VMCS");
    EXPECT_EQ(r.drop->probecode, 51);
    EXPECT_EQ(r.drop->ship, "RV Coral Surveyor");
    ASSERT_EQ(r.drop->t.size(), d.points.size());
    for (std::size_t i = 0; i < d.points.size(); ++i) {
        EXPECT_EQ(float(r.drop->t[i]), d.points[i].t) << i;
        EXPECT_EQ(float(r.drop->depth[i]), d.points[i].depth) << i;
    }
    EXPECT_FALSE(isnetcdf("  001 051"));
    EXPECT_FALSE(readnetcdfdrop("CDF\x01", "x.nc").drop);
}

}  // namespace
