// The pre-screen's report on the command line: every finding of the demo
// cruise, one line each, and a line of counts, with nothing written.
#include <map>
#include <sstream>

#include "session.h"

namespace {

class CheckReport : public Session {
protected:
    int check(const std::vector<std::string>& args) {
        std::string cmd = "cd '" + root.string() + "' && '" + std::string(DROPFIX_BINARY) + "' --check";
        for (const auto& a : args) cmd += " '" + a + "'";
        cmd += " > '" + (root / "out.txt").string() + "' 2> '" + (root / "err.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        out = read(root / "out.txt");
        err = read(root / "err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + WTERMSIG(rc);
    }
    std::map<std::string, std::string> listing() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(cruise)) files[e.path().filename()] = read(e.path());
        return files;
    }
};

TEST_F(CheckReport, FindsThePlantedFaultsOfTheDemoAndWritesNothing) {
    const auto before = listing();
    ASSERT_EQ(check({cruise.string()}), 0) << err;
    std::istringstream lines(out);
    std::string line;
    std::vector<std::string> found;
    std::string last;
    int routine = 0;
    while (std::getline(lines, line)) {
        last = line;
        if (std::count(line.begin(), line.end(), '\t') != 4) continue;
        // Drop, code, class, depth with three decimals, and the sentence.
        std::istringstream f(line);
        std::string drop, code, cls, depth, sentence;
        std::getline(f, drop, '\t');
        std::getline(f, code, '\t');
        std::getline(f, cls, '\t');
        std::getline(f, depth, '\t');
        std::getline(f, sentence);
        EXPECT_EQ(depth.size() - depth.find('.'), 4u) << line;
        EXPECT_FALSE(sentence.empty()) << line;
        // The wire running out below 699 m, where the cut proposal also
        // stops, is how a deep drop ends: counted apart from the faults.
        if (code == "WB" && std::stof(depth) >= 699.0f) {
            ++routine;
            continue;
        }
        found.push_back(drop + " " + code + " " + cls);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"004 SP 4", "007 PL 5", "011 HB 3", "014 TP 4", "017 WB 4"}));
    EXPECT_EQ(routine, 16);
    EXPECT_EQ(last, "DEMO01: 20 drops checked, 19 with findings, 21 findings: 1 HB, 1 PL, 1 SP, 1 TP, 17 WB");
    EXPECT_EQ(listing(), before) << "the report writes no file, no log";
    EXPECT_FALSE(fs::exists(root / "dropfix-start.log"));
}

TEST_F(CheckReport, TheCruisesCheckProfileDepthDecidesWhatIsShort) {
    const std::string original = read(cruise / "control.dat");
    const std::string key = "Check Profile Depth = 700";
    ASSERT_NE(original.find(key), std::string::npos);
    // 550 m passes drop 17's 590 m; 0 switches the check off.
    for (const char* depth : {"550", "0"}) {
        std::string control = original;
        control.replace(control.find(key), key.size(), std::string("Check Profile Depth = ") + depth);
        write(cruise / "control.dat", control);
        ASSERT_EQ(check({cruise.string()}), 0) << err;
        EXPECT_EQ(out.find("017\tWB"), std::string::npos) << depth << out;
        EXPECT_NE(out.find("DEMO01: 20 drops checked, 18 with findings, 20 findings"), std::string::npos)
            << depth << out;
    }
}

// Two copies of one message: only the later is the duplicate, and it says
// which drop it copies, so that the operator keeps the first.
TEST_F(CheckReport, OnlyTheLaterCopyOfADropIsADuplicate) {
    fs::copy_file(cruise / "DEMO01r_005.KTD", cruise / "DEMO01r_009.KTD",
                  fs::copy_options::overwrite_existing);
    ASSERT_EQ(check({cruise.string()}), 0) << err;
    EXPECT_NE(out.find("009\tNG\t4\t"), std::string::npos) << out;
    EXPECT_NE(out.find("Duplicate of drop 005: the same temperatures at every point"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("005\tNG"), std::string::npos) << out;
}

TEST_F(CheckReport, ADirectoryWithoutACruiseEndsWithStatusOne) {
    fs::create_directories(root / "empty");
    EXPECT_EQ(check({(root / "empty").string()}), 1);
    EXPECT_NE(err.find("control.dat"), std::string::npos) << err;
    EXPECT_EQ(out, "");
}

}  // namespace
