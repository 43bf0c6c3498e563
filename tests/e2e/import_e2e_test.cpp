// `dropfix --import` end to end: a cruise made from real export files that
// the editor opens, checks and stores drop by drop; a second import that
// leaves every file it finds as it was; and the files it refuses, after
// which nothing at all has changed.
#include <map>

#include "session.h"

namespace {

const fs::path realdir = fs::path(DROPFIX_SOURCE_DIR) / "tests/data/real/edf";
const std::vector<std::string> realfiles = {"T6_00002.EDF", "T7_00070.EDF",
                                            "XBT Fast Deep 20170710194204.edf", "TD_00831.edf",
                                            "C3_00011_first1500.EDF"};

class Import : public Session {
protected:
    int import(const fs::path& dir, const std::vector<fs::path>& files, const std::string& extra = "") {
        std::string cmd = "'" + std::string(DROPFIX_BINARY) + "' --import '" + dir.string() + "'";
        for (const auto& f : files) cmd += " '" + f.string() + "'";
        cmd += extra + " > '" + (root / "out.txt").string() + "' 2> '" + (root / "err.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        out = read(root / "out.txt");
        err = read(root / "err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + WTERMSIG(rc);
    }
    static std::vector<fs::path> real(const std::vector<std::string>& names) {
        std::vector<fs::path> p;
        for (const auto& n : names) p.push_back(realdir / n);
        return p;
    }
    static std::map<std::string, std::string> listing(const fs::path& dir) {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename()] = read(e.path());
        return files;
    }
    static int count(const std::string& s, const std::string& what) {
        int n = 0;
        for (auto at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
        return n;
    }
};

TEST_F(Import, RealExportsMakeACruiseThatChecksAndStoresEveryDrop) {
    const fs::path dir = root / "voyage";
    ASSERT_EQ(import(dir, real(realfiles), " --cruise VOY21"), 0) << err;
    EXPECT_EQ(err, "");
    const std::string stations = read(dir / "stations.dat");
    // Launch order, whatever order the files were named in.
    EXPECT_EQ(stations,
              " 001     7        12/03/07 23:32:02  -21.197  150.124        0        \n"
              " 002     D        22/03/12 03:01:01   22.065  -157.06        0        \n"
              " 003     C        01/08/15 02:13:33   37.547  -70.868        0        \n"
              " 004     F        10/07/17 19:42:04   25.705  -157.02        0        \n"
              " 005     6        17/01/23 21:39:04   33.526  -118.82        0        \n"
              "ENDDATA\n");
    EXPECT_NE(out.find("C3_00011_first1500.EDF: an XCTD probe: its temperature is imported"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("5 drops imported into " + dir.string() + " (cruise VOY21): drops 001 to 005"),
              std::string::npos)
        << out;
    const std::string control = read(dir / "control.dat");
    EXPECT_EQ(control.substr(0, control.find("Max Ship")),
              "Ship Name =\nCruise Name =VOY21\nOperator Name =\n");
    // 3.775 at the bottom of the Fast Deep; the 35.5 where the T-7 lost its
    // wire is the recorder's limit, not water, and leaves the range alone.
    EXPECT_NE(control.find("Max Plot  Temp = 29\nMin Plot Temp = 3\n"), std::string::npos) << control;
    EXPECT_TRUE(fs::exists(dir / "VOY21r_005.KTD"));

    std::string cmd = "'" + std::string(DROPFIX_BINARY) + "' --check '" + dir.string() + "' > '" +
                      (root / "check.txt").string() + "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << read(root / "check.txt");
    EXPECT_NE(read(root / "check.txt").find("VOY21: 5 drops checked"), std::string::npos);

    cruise = dir;
    ASSERT_EQ(run(std::vector<std::string>(5, "key Enter")), 0) << err;
    EXPECT_NE(err.find("VOY21: 5 drops, 5 accepted"), std::string::npos) << err;
    for (int d = 1; d <= 5; ++d) {
        char name[16];
        std::snprintf(name, sizeof name, "VOY21q.%03d", d);
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
    EXPECT_EQ(count(read(dir / "stations.dat"), "        1        \n"), 5);
}

TEST_F(Import, AppendingNumbersAfterTheLastAndLeavesEveryFileItFinds) {
    const fs::path dir = root / "CR21";
    ASSERT_EQ(import(dir, real({"TD_00831.edf", "T7_00070.EDF"})), 0) << err;
    const auto before = listing(dir);
    // The same drop twice in one run, and a drop the cruise has already.
    fs::copy_file(realdir / "T6_00002.EDF", root / "again.EDF");
    ASSERT_EQ(import(dir, {realdir / "T6_00002.EDF", root / "again.EDF", realdir / "TD_00831.edf",
                           realdir / "XBT Fast Deep 20170710194204.edf"}),
              0)
        << err;
    EXPECT_NE(out.find("T6_00002.EDF and " + (root / "again.EDF").string() +
                       ": the same launch (date, time and position): imported once"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("TD_00831.edf: the same launch (date, time and position) as drop 002 of the cruise"),
              std::string::npos)
        << out;
    const auto after = listing(dir);
    for (const auto& [name, bytes] : before) {
        if (name == "stations.dat") continue;
        EXPECT_EQ(after.at(name), bytes) << name;
    }
    const std::string& old = before.at("stations.dat");
    const std::string& now = after.at("stations.dat");
    EXPECT_EQ(now.substr(0, old.size() - 8), old.substr(0, old.size() - 8)) << "the old lines stay";
    EXPECT_EQ(now.substr(old.size() - 8),
              " 003     F        10/07/17 19:42:04   25.705  -157.02        0        \n"
              " 004     6        17/01/23 21:39:04   33.526  -118.82        0        \n"
              "ENDDATA\n");
    EXPECT_EQ(after.size(), before.size() + 2);
    EXPECT_TRUE(after.count("CR21r_004.KTD"));
}

// Each bad file is named (with its line where one line is at fault), the
// status is 1, and neither the existing cruise nor a new one is touched.
TEST_F(Import, RefusalsNameTheFileAndWriteNothing) {
    const std::string head = "// This is a MK21 EXPORT DATA FILE  (EDF)\n";
    const std::string date = "Date of Launch:  03/22/2011\n";
    const std::string time = "Time of Launch:  07:31:24\n";
    const std::string pos = "Latitude      :  42 47.10156N\nLongitude     :  5 44.03302E\n";
    const std::string cols =
        "Depth (m) - Temperature (\xB0"
        "C) - Sound Velocity (m/s)\n";
    const std::string rows = "0.0\t13.81\t1496.98\n0.7\t13.38\t1495.56\n";
    struct Case {
        const char* what;
        std::string text;
        const char* says;
    } cases[] = {
        {"not an export", "Ship Name =X\nCruise Name =Y\n", "bad.EDF: line 1: not an MK21 export file"},
        {"empty", "", "bad.EDF: the file is empty"},
        {"no data rows", head + date + time + pos + cols, "bad.EDF: no data rows"},
        {"no table", head + date + time + pos, "bad.EDF: no data table"},
        {"XSV", head + date + time + pos + "Depth (m) - Sound Velocity (m/s)\n0.0\t1530.13\n",
         "bad.EDF: no temperature column"},
        {"no date", head + time + pos + cols + rows, "bad.EDF: no \"Date of Launch\" line"},
        {"bad date", head + "Date of Launch:  02/30/2011\n" + time + pos + cols + rows,
         "bad.EDF: line 2: the date \"02/30/2011\" is not a date"},
        {"no time", head + date + pos + cols + rows, "bad.EDF: no \"Time of Launch\" line"},
        {"bad time", head + date + "Time of Launch:  25:31:24\n" + pos + cols + rows,
         "bad.EDF: line 3: the time \"25:31:24\" is not hh:mm:ss"},
        {"bad latitude",
         head + date + time + "Latitude      :  42 67.1N\nLongitude     :  5 44.03302E\n" + cols + rows,
         "bad.EDF: line 4: the latitude \"42 67.1N\""},
        {"short row", head + date + time + pos + cols + rows + "1.4\n",
         "bad.EDF: line 9: the row has 1 values"},
        {"not a number", head + date + time + pos + cols + rows + "1.4\tnan\t1495\n",
         "bad.EDF: line 9: the row's depth or temperature is not a number"},
    };
    const fs::path dir = root / "CR21";
    ASSERT_EQ(import(dir, real({"T7_00070.EDF"})), 0) << err;
    const auto before = listing(dir);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write(root / "bad.EDF", c.text);
        EXPECT_EQ(import(dir, {realdir / "T6_00002.EDF", root / "bad.EDF"}), 1);
        EXPECT_NE(err.find("dropfix: " + (root / c.says).string()), std::string::npos) << err;
        EXPECT_NE(err.find("nothing was imported"), std::string::npos);
        EXPECT_EQ(out, "");
        EXPECT_EQ(listing(dir), before);
        EXPECT_EQ(import(root / "fresh", {root / "bad.EDF"}), 1);
        EXPECT_FALSE(fs::exists(root / "fresh"));
    }
    EXPECT_EQ(import(dir, {root / "missing.EDF"}), 1);
    EXPECT_NE(err.find("missing.EDF: cannot be read"), std::string::npos) << err;
    EXPECT_EQ(import(dir, real({"T6_00002.EDF"}), " --cruise OTHER"), 1);
    EXPECT_NE(err.find("is the cruise CR21 already"), std::string::npos) << err;
    EXPECT_EQ(listing(dir), before);
    for (const auto& e : fs::directory_iterator(root))
        EXPECT_NE(e.path().filename().string()[0], '.') << "no temporary directory is left behind";
}

}  // namespace
