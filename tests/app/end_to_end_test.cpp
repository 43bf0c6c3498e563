// The built dropfix program run as an operator would run it, from a
// script, on a cruise directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "app_fixture.h"

namespace {

class EndToEnd : public AppTest {
protected:
    // Runs dropfix with args from the fixture's directory; returns its exit
    // status, with standard output in out.
    int dropfix(const std::string& args) {
        const std::string cmd = "QT_QPA_PLATFORM=offscreen '" + std::string(DROPFIX_BINARY) + "' " + args +
                                " > '" + (root / "stdout.txt").string() + "' 2> '" +
                                (root / "stderr.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        out = read(root / "stdout.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::string out;
};

const std::string stations =
    " 001     A        09/12/26 12:00:00  -33.500  151.250         1       \n"
    " 002     A        09/12/26 13:00:00  -33.600  151.350         0       \n"
    "ENDDATA\n";

TEST_F(EndToEnd, ExitFromAScriptWritesBothLogsAndTheStationList) {
    const auto cruise = root / "cruise";
    write(cruise / "control.dat", "Ship Name =x\nCruise Name =DEMO01\nOperator Name =y\n");
    write(cruise / "stations.dat", stations);
    write(root / "s.txt", "# leave at once\nmenu 40007\n");
    EXPECT_EQ(dropfix("--script s.txt cruise"), 0) << read(root / "stderr.txt");

    const std::string startLog = read(cruise / "dropfix-start.log");
    EXPECT_EQ(startLog.rfind("dropfix,acwd= " + cruise.string(), 0), 0u);
    EXPECT_NE(startLog.find("\nread:  " + (cruise / "stations.dat").string()), std::string::npos);
    EXPECT_NE(startLog.find("\n" + stations.substr(0, 70) + "\n"), std::string::npos);
    const std::string mainLog = read(cruise / "dropfix.log");
    EXPECT_EQ(mainLog.rfind("adropfix= " + (cruise / "dropfix.log").string(), 0), 0u);
    EXPECT_NE(mainLog.find("\nleaving rdcntrl\n"), std::string::npos);
    EXPECT_NE(mainLog.find("\nacruise= DEMO01 "), std::string::npos);
    EXPECT_EQ(read(cruise / "stations.dat"), stations);
    EXPECT_EQ(out.find("box "), std::string::npos);
}

TEST_F(EndToEnd, WithoutControlDatACancelledSelectionEndsAtOnce) {
    std::filesystem::create_directories(root / "empty");
    write(root / "s.txt", "file cancel\n");
    EXPECT_EQ(dropfix("--script s.txt empty"), 0) << read(root / "stderr.txt");
    EXPECT_EQ(out.find("box "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "empty/dropfix.log"));
}

TEST_F(EndToEnd, DemoRunsOnACopyAndLeavesTheShippedCruiseAsItWas) {
    const auto shipped = std::filesystem::path(DROPFIX_SOURCE_DIR) / "examples/demo-cruise/stations.dat";
    const std::string before = read(shipped);
    ASSERT_FALSE(before.empty());
    write(root / "s.txt", "key B\nmenu 40007\n");
    EXPECT_EQ(dropfix("--demo --script s.txt"), 0) << read(root / "stderr.txt");
    EXPECT_EQ(read(shipped), before);
    const std::string err = read(root / "stderr.txt");
    const std::string marker = "demo cruise copied to ";
    const auto at = err.find(marker);
    ASSERT_NE(at, std::string::npos);
    const std::filesystem::path copy =
        err.substr(at + marker.size(), err.find('\n', at) - at - marker.size());
    // The first drop was marked bad in the copy only.
    EXPECT_EQ(read(copy / "stations.dat").substr(57, 5), "   -1");
    std::filesystem::remove_all(copy);
}

TEST_F(EndToEnd, HelpVersionAndBadOptions) {
    EXPECT_EQ(dropfix("--version"), 0);
    EXPECT_EQ(out.rfind("dropfix ", 0), 0u);
    EXPECT_EQ(dropfix("--help"), 0);
    EXPECT_NE(out.find("--script FILE"), std::string::npos);
    EXPECT_EQ(dropfix("--bogus"), 2);
    EXPECT_EQ(dropfix("--demo somewhere"), 2);
}

}  // namespace
