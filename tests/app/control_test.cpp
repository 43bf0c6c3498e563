// control.dat in both layouts, its defaults, the plot range check and the
// two fatal failures of getscr.
#include "app/control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "app_fixture.h"

namespace {

ControlSettings readBytes(const std::string& bytes, ErrorFlags& ierror, Log& log, ControlSettings s = {}) {
    rdcntrlBytes(bytes, s, ierror, log);
    return s;
}

const std::string keywordFile =
    "Ship Name =Southern Surveyor\n"
    "Cruise Name =SS0312 leg 2\n"
    "Operator Name =Anne\n"
    "Max Ship Speed = 22.5\n"
    "Auto Launcher Sequence = 1 2 3\n"
    "Max Plot  Temp = 28\n"
    "Min Plot Temp = -2.5\n"
    "Max Minutes to Dead Reckon =45\n"
    "Max min duration between drops = -60\n"
    "Empty Launcher Reload Alarm Time = 12\n"
    "Max Displacement = 400\n"
    "Max Rms Displacement = 100\n"
    "Min dtdz = -0.02\n"
    "Min dtdz Displacement Test = 0.001\n"
    "Max Delta = 5.5\n"
    "Max 700m Delta = 0.9\n"
    "Check Profile Depth = 650\n";

TEST(Rdcntrl, KeywordLayoutReadsEveryKeyAndLogsIt) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    const auto s = readBytes(keywordFile, ierror, log);
    EXPECT_EQ(s.acruise.trimmed(), "SS0312");
    EXPECT_EQ(s.len_acruise, 6);
    EXPECT_FLOAT_EQ(s.xmaxspd, 22.5f);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 28.0f);
    EXPECT_FLOAT_EQ(s.tm_pl_mn, -2.5f);
    EXPECT_FLOAT_EQ(s.deadmin, 45.0f);  // key 8 known by its first 19 characters
    EXPECT_FLOAT_EQ(s.dropmin, -60.0f);
    EXPECT_FLOAT_EQ(s.relodmin, 12.0f);
    EXPECT_FLOAT_EQ(s.tdzmx, 400.0f);
    EXPECT_FLOAT_EQ(s.tdzrms, 100.0f);
    EXPECT_FLOAT_EQ(s.dtdzmn, -0.02f);
    EXPECT_FLOAT_EQ(s.dtdzth, 0.001f);
    EXPECT_FLOAT_EQ(s.dtmx, 5.5f);
    EXPECT_FLOAT_EQ(s.dtmx700, 0.9f);
    EXPECT_EQ(s.ichkprofdepth, 650);
    EXPECT_EQ(s.iseq[1], 1);
    EXPECT_EQ(s.iseq[12], 12);
    EXPECT_EQ(ierror[15] + ierror[16], 0);
    const std::string& t = log.text();
    EXPECT_EQ(t.rfind("In rdcntrl,rd cntrl.dat:\n1 Ship Name =Southern Surveyor", 0), 0u);
    EXPECT_NE(t.find("len_acruise= 6\nacruise= SS0312  \n"), std::string::npos);
    EXPECT_NE(t.find("tm_pl_mn= -2.5\n"), std::string::npos);
    EXPECT_NE(t.find("ichkprofdepth= 650\n"), std::string::npos);
    EXPECT_NE(
        t.find("close22ios= 0\nend rdcntrl:ierror(15)= 0\nend rdcntrl:ierror(16)= 0\nleaving rdcntrl\n"),
        std::string::npos);
}

TEST(Rdcntrl, KeywordValuesThatDoNotReadTakeTheirDefaultsAndLaterLinesWin) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    const auto s = readBytes(
        "Ship Name =x\nCruise Name = SS0312\nMax Ship Speed = fast\nMax Delta =\nMin dtdz = ,\n"
        "Check Profile Depth = 7.5\nMax Plot  Temp = 20\nMax Plot  Temp = 25\nMin Plot  Temp = 3\n",
        ierror, log);
    EXPECT_EQ(s.len_acruise, 0);  // a blank right after "=" gives an empty name
    EXPECT_FLOAT_EQ(s.xmaxspd, 30.0f);
    EXPECT_FLOAT_EQ(s.dtmx, 4.6f);
    EXPECT_FLOAT_EQ(s.dtdzmn, -0.011f);
    EXPECT_EQ(s.ichkprofdepth, 700);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 25.0f);
    EXPECT_FLOAT_EQ(s.tm_pl_mn, 3.0f);                          // key 18
    EXPECT_EQ(log.text().find("xmaxspd="), std::string::npos);  // defaults are not logged
}

TEST(Rdcntrl, CruiseNameIsCutToSevenAndLayoutNeedsTheExactLabel) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    auto s = readBytes("Ship Name =x\nCruise Name =ABCDEFGHIJ\nx\n", ierror, log);
    EXPECT_EQ(s.acruise.trimmed(), "ABCDEFG");
    EXPECT_EQ(s.len_acruise, 7);

    // Another letter case is the positional layout: line 1 is the name.
    s = readBytes("SHIP NAME =x\n", ierror, log);
    EXPECT_EQ(s.acruise.trimmed(), "SHIP NAM");
    EXPECT_EQ(s.len_acruise, 8);
}

TEST(Rdcntrl, EndOfFileInTheFirstThreeKeywordLinesIsAReadFailure) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    readBytes("Ship Name =x\nCruise Name =A1\n", ierror, log);
    EXPECT_EQ(ierror[16], 1);
    auto s = readBytes("Ship Name =x\nCruise Name =A1\nOperator Name =y\n", ierror, log);
    EXPECT_EQ(ierror[16], 0);
    EXPECT_FLOAT_EQ(s.tm_pl_mn, 0.0f);  // no plot line while both were 0: 0 to 30
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 30.0f);
}

TEST(Rdcntrl, PlotRangeCheckReplacesEqualTemperaturesInBothLayouts) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    auto s = readBytes("Ship Name =x\na\nb\nMax Plot  Temp = 12\nMin Plot Temp = 12\n", ierror, log);
    EXPECT_FLOAT_EQ(s.tm_pl_mn, 0.0f);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 30.0f);
    s = readBytes("CRUISE\n\n\n\n\n1 7 7\n", ierror, log);
    EXPECT_FLOAT_EQ(s.tm_pl_mn, 0.0f);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 30.0f);
    // An empty file reads nothing, but the check still applies.
    ControlSettings kept;
    kept.tm_pl_mn = kept.tm_pl_mx = 4.0f;
    s = readBytes("", ierror, log, kept);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 30.0f);
    EXPECT_EQ(ierror[16], 0);
}

TEST(Rdcntrl, PlotTemperaturesThatAreNoSeaTemperatureAreNamedAndTakeTheirDefault) {
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float tmin, tmax;
        float wantMin, wantMax;
        std::size_t words;
    };
    const std::vector<Case> cases = {
        {0, inf, 0, 30, 1},   // "1e308" reads as infinity
        {30, inf, 0, 30, 1},  // the default maximum meets the minimum: 0 to 30
        {-20, 60, 0, 30, 2},  // both outside -10 to 50
        {std::nanf(""), 25, 0, 25, 1},
        {30, 0, 30, 0, 0},      // reversed: left to the plot
        {-10, 50, -10, 50, 0},  // the limits themselves
    };
    for (const Case& c : cases) {
        float tmin = c.tmin, tmax = c.tmax;
        const auto words = saneplotrange(tmin, tmax);
        EXPECT_EQ(words.size(), c.words) << c.tmin << " " << c.tmax;
        EXPECT_EQ(tmin, c.wantMin) << c.tmin << " " << c.tmax;
        EXPECT_EQ(tmax, c.wantMax) << c.tmin << " " << c.tmax;
    }
    float tmin = -20, tmax = 25;
    EXPECT_EQ(
        saneplotrange(tmin, tmax).front(),
        "The minimum plot temperature in control.dat, -20, is not a number from -10 to 50; the plot uses 0 "
        "instead");
}

TEST(Rdcntrl, PositionalLayoutReadsItsFixedFieldsWithImpliedDecimals) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    const std::string file =
        "IN2024V3\n"
        "ignored\n"
        "ignored\n"
        "   45  -60   12    9\n"
        "   400   100       46     50    46    8\n"
        "1, 2.5 28\n"
        "7\n8\n9\n"
        "    1  225\n"
        "11\n12\n"
        "  3  2  1  4  5  6\n";
    const auto s = readBytes(file, ierror, log);
    EXPECT_EQ(s.acruise.view(), "IN2024V3");
    EXPECT_EQ(s.len_acruise, 8);
    EXPECT_FLOAT_EQ(s.deadmin, 45.0f);
    EXPECT_FLOAT_EQ(s.dropmin, -60.0f);
    EXPECT_FLOAT_EQ(s.relodmin, 12.0f);
    EXPECT_FLOAT_EQ(s.tdzmx, 400.0f);
    EXPECT_FLOAT_EQ(s.tdzrms, 100.0f);
    EXPECT_FLOAT_EQ(s.dtdzmn, 0.00046f);
    EXPECT_FLOAT_EQ(s.dtdzth, 0.0005f);
    EXPECT_FLOAT_EQ(s.dtmx, 4.6f);
    EXPECT_FLOAT_EQ(s.dtmx700, 0.8f);
    EXPECT_FLOAT_EQ(s.tm_pl_mn, 2.5f);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 28.0f);
    EXPECT_FLOAT_EQ(s.xmaxspd, 22.5f);
    EXPECT_EQ(s.iseq[1], 3);
    EXPECT_EQ(s.iseq[6], 6);
    EXPECT_EQ(s.iseq[7], -99);
    EXPECT_EQ(s.iseq[12], -99);
}

TEST(Rdcntrl, PositionalRowsThatDoNotReadTakeTheirDefaults) {
    ErrorFlags ierror{};
    Log log = Log::memory();
    const auto s = readBytes("AB\n\n\n   45  x60\n\nno numbers here\n", ierror, log);
    EXPECT_EQ(s.len_acruise, 2);
    EXPECT_FLOAT_EQ(s.deadmin, 60.0f);
    EXPECT_FLOAT_EQ(s.dropmin, -90.0f);
    EXPECT_FLOAT_EQ(s.relodmin, 15.0f);
    EXPECT_FLOAT_EQ(s.tdzmx, 0.0f);  // a blank line 5 is six zero fields
    EXPECT_FLOAT_EQ(s.tm_pl_mn, 0.0f);
    EXPECT_FLOAT_EQ(s.tm_pl_mx, 30.0f);
    EXPECT_FLOAT_EQ(s.xmaxspd, 30.0f);  // no line 10
    EXPECT_EQ(s.iseq[1], -1);
    EXPECT_EQ(s.iseq[6], -6);
}

class GetscrTest : public AppTest {};

TEST_F(GetscrTest, HandsOverTheCruiseNameAndPlotRange) {
    write(root / "control.dat", keywordFile);
    ScreenSettings scr;
    ErrorFlags ierror{};
    Log log = Log::memory();
    EXPECT_FALSE(getscr(scr, PathText((root / "control.dat").string()), ierror, log).ends());
    EXPECT_EQ(scr.acruise.view(), "SS0312       ");
    EXPECT_EQ(scr.len_acruise, 6);
    EXPECT_FLOAT_EQ(scr.tmin, -2.5f);
    EXPECT_FLOAT_EQ(scr.tmax, 28.0f);
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(GetscrTest, HandsOverEverySettingWithTheDefaultsOfKeysTheFileLacks) {
    write(root / "control.dat", "Ship Name =X\nCruise Name =AB12\nOperator Name =Y\nMax Delta = 9.5\n");
    ScreenSettings scr;
    ErrorFlags ierror{};
    Log log = Log::memory();
    ControlSettings all;
    EXPECT_FALSE(getscr(scr, PathText((root / "control.dat").string()), ierror, log, &all).ends());
    EXPECT_FLOAT_EQ(all.dtmx, 9.5f);
    EXPECT_FLOAT_EQ(all.dtmx700, 0.8f);
    EXPECT_FLOAT_EQ(all.tdzmx, 450.0f);
    EXPECT_EQ(all.ichkprofdepth, 700);
    EXPECT_EQ(log.text().find("tdzmx"), std::string::npos) << "a default is not a value read";
}

TEST_F(GetscrTest, AMissingOrUnreadableFileEndsTheProgramAfterItsMessage) {
    ScreenSettings scr;
    ErrorFlags ierror{};
    Log log = Log::memory();
    Outcome o = getscr(scr, PathText((root / "control.dat").string()), ierror, log);
    EXPECT_TRUE(o.ends());
    EXPECT_EQ(o.status, 1);
    auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "Error opening control.dat, are you in correct dir?");
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_EQ(boxes[0].icon, 3);
    EXPECT_NE(log.text().find("\n error opening control.dat to get screen type \n"), std::string::npos);

    write(root / "control.dat", "Ship Name =x\n");
    log = Log::memory();
    o = getscr(scr, PathText((root / "control.dat").string()), ierror, log);
    EXPECT_EQ(o.status, 1);
    boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "Error reading control.dat, is it corrupted?");
    EXPECT_NE(log.text().find("\n error reading control.dat\n"), std::string::npos);
}

}  // namespace
