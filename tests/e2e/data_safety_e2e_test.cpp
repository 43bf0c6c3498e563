// Sessions over what a second editor or a hostile cruise directory does:
// the cruise lock between two real processes, files that are not regular
// files, links in place of the editor's own files, cruise names that are
// paths, absurd plot ranges, and the words of every failure, in the editor
// and in the report of --check.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <map>

#include "session.h"

namespace {

class DataSafety : public Session {
protected:
    // Every file of the cruise, hidden ones too, with its bytes.
    std::map<std::string, std::string> listing() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::directory_iterator(cruise)) files[e.path().filename()] = read(e.path());
        return files;
    }
    // The names of the files that differ from an earlier listing.
    std::string changedSince(const std::map<std::string, std::string>& before) const {
        std::string names;
        const auto now = listing();
        for (const auto& [name, bytes] : now)
            if (!before.count(name) || before.at(name) != bytes) names += name + " ";
        for (const auto& [name, bytes] : before)
            if (!now.count(name)) names += name + "(gone) ";
        return names;
    }

    // An editor with no script waits for the operator for as long as it
    // runs; it holds the cruise once its lock record names it.
    pid_t startHolder() {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            ::execl(DROPFIX_BINARY, DROPFIX_BINARY, cruise.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // It has written all it writes at start once it has read the first
        // drop and its next one.
        const std::string mine = "pid=" + std::to_string(pid) + " ";
        std::string loaded;
        for (const std::string& r : rawRecordsOf({2, 1})) loaded += r + "\n";
        const auto started = [&] {
            return read(cruise / ".dropfix.lock").find(mine) != std::string::npos &&
                   mainLog().find(loaded) != std::string::npos;
        };
        for (int i = 0; i < 1200 && !started(); ++i) ::usleep(50000);
        EXPECT_TRUE(started()) << "the first editor never held the cruise";
        return pid;
    }

    int check() {
        const std::string cmd = "'" + std::string(DROPFIX_BINARY) + "' --check '" + cruise.string() +
                                "' > '" + (root / "out.txt").string() + "' 2> '" +
                                (root / "err.txt").string() + "'";
        const int rc = std::system(cmd.c_str());
        out = read(root / "out.txt");
        err = read(root / "err.txt");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : 128 + WTERMSIG(rc);
    }

    void setCruiseName(const std::string& line) {
        std::string c = read(cruise / "control.dat");
        c.replace(c.find("Cruise Name =DEMO01"), 19, line);
        write(cruise / "control.dat", c);
    }

    static std::string box(const std::string& title, const std::string& text) {
        return "box \"" + title + "\" \"" + text + "\" -> ok (default)\n";
    }
};

TEST_F(DataSafety, ASecondEditorOnAHeldCruiseSaysWhoHoldsItAndChangesNothing) {
    const pid_t first = startHolder();
    // What the second editor must leave alone: the first one's live journal
    // and temporary file, its logs, and every cruise file.
    write(cruise / ".stations.dat.journal", listWith({{1, 1}}).substr(0, 71));
    write(cruise / ".DEMO01q.002.a1B2c3.dropfix-tmp", "in flight");
    const auto before = listing();

    ASSERT_EQ(run({"key Enter", "menu 40007"}), 1);
    const std::string holder = ", process " + std::to_string(first) + ", since ";
    EXPECT_EQ(out.rfind("box \"Cruise in use\" \"This cruise is open in another Dropfix (host ", 0), 0u)
        << out;
    EXPECT_NE(out.find(holder), std::string::npos) << out;
    EXPECT_NE(out.find(" UTC); this one ends without changing any file\" -> ok (default)\n"),
              std::string::npos);
    EXPECT_EQ(changedSince(before), "");

    // The report reads a held cruise and touches nothing either.
    EXPECT_EQ(check(), 0) << err;
    EXPECT_EQ(changedSince(before), "");

    // Killed, the first editor leaves its record; the next one takes over,
    // says so in its log, applies the journal and leaves no lock behind.
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    ASSERT_EQ(run({"menu 40007"}), 0) << err;
    EXPECT_NE(mainLog().find("cruise lock taken over from host "), std::string::npos);
    EXPECT_NE(mainLog().find(holder), std::string::npos);
    EXPECT_NE(out.find("box \"Statuses restored\""), std::string::npos) << out;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));
    EXPECT_FALSE(has(".dropfix.lock"));
    EXPECT_FALSE(has(".DEMO01q.002.a1B2c3.dropfix-tmp"));
}

TEST_F(DataSafety, WhatIsNotARegularFileIsRefusedAtOnceWithItsKindNamed) {
    struct Case {
        const char* file;
        bool fifo;  // else a directory
        int status;
        std::string words;  // after the file's path
    };
    const std::vector<Case> cases = {
        {"DEMO01r_001.KTD", true, 0, " is a FIFO, not a regular file; it is not read"},
        {"DEMO01r_002.KTD", false, 0, " is a directory, not a regular file; it is not read"},
        {".stations.dat.journal", true, 0, " is a FIFO, not a regular file; it is not applied"},
        {"stations.dat", true, 1, " is a FIFO, not a regular file"},
        {"control.dat", true, 0, " is a FIFO, not a regular file"},
    };
    const std::map<std::string, std::string> before = {
        {".stations.dat.journal", "Error reading the journal: "},
        {"stations.dat", "Error opening stations.dat, are you in correct dir? "},
        {"control.dat", "Error opening control.dat: "},
    };
    user = "timeout 60 ";  // a hang fails the case instead of the whole run
    for (const Case& c : cases) {
        fs::remove_all(cruise);
        copyDemo(cruise);
        fs::remove(cruise / c.file);
        if (c.fifo)
            ASSERT_EQ(::mkfifo((cruise / c.file).c_str(), 0644), 0);
        else
            fs::create_directory(cruise / c.file);
        EXPECT_EQ(run({"menu 40007"}), c.status) << c.file << "\n" << err;
        const std::string text =
            (before.count(c.file) ? before.at(c.file) : "") + (cruise / c.file).string() + c.words;
        EXPECT_NE(out.find(box("Error Info", text)), std::string::npos) << c.file << "\n" << out;
    }
    // The report refuses a FIFO list as the editor does.
    fs::remove_all(cruise);
    copyDemo(cruise);
    fs::remove(cruise / "stations.dat");
    ASSERT_EQ(::mkfifo((cruise / "stations.dat").c_str(), 0644), 0);
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(err, "dropfix: cannot read the station list: " + (cruise / "stations.dat").string() +
                       " is a FIFO, not a regular file\n");
}

TEST_F(DataSafety, LinksInPlaceOfTheEditorsOwnFilesAreRefused) {
    const fs::path elsewhere = root / "elsewhere.txt";
    const std::string link = " is a symbolic link, which Dropfix does not follow for its own files";
    write(elsewhere, "keep\n");
    fs::create_symlink(elsewhere, cruise / ".stations.dat.journal");
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 0) << err;
    const std::string journal = (cruise / ".stations.dat.journal").string();
    EXPECT_EQ(out, box("Error Info", "Error reading the journal: " + journal + link + "; it is not applied") +
                       box("Error Info", "Error writing " + journal + ": " + journal + link));
    EXPECT_EQ(read(elsewhere), "keep\n");
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));

    // In place of the log or the lock, the editor ends before it writes.
    for (const char* own : {"dropfix.log", ".dropfix.lock"}) {
        fs::remove_all(cruise);
        copyDemo(cruise);
        fs::create_symlink(elsewhere, cruise / own);
        EXPECT_EQ(run({"menu 40007"}), 1) << own;
        const std::string path = (cruise / own).string();
        const std::string text = std::string(own) == "dropfix.log"
                                     ? "Cannot create " + path + " (" + path + link + ")"
                                     : path + link + "; this editor ends without changing any file";
        EXPECT_EQ(out, box("Error Info", text)) << own;
        EXPECT_EQ(read(elsewhere), "keep\n") << own;
        EXPECT_EQ(read(cruise / "stations.dat"), original) << own;
    }
}

TEST_F(DataSafety, ACruiseNameThatIsNotAFileNamePrefixIsRefusedAtStartUp) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"../oth/", "a path separator"},
        {"x\\y", "a path separator"},
        {"a..b", "\"..\""},
        {std::string("AB\0CD", 5), "a NUL"},
        {"AB\x01"
         "CD",
         "a control character"},
    };
    for (const auto& [name, problem] : cases) {
        fs::remove_all(cruise);
        copyDemo(cruise);
        setCruiseName("Cruise Name =" + name);
        EXPECT_EQ(run({"key Enter", "menu 40007"}), 1) << problem;
        std::string shown = name;
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 0x20) c = '?';
        const std::string text = "The cruise name in control.dat (\"" + shown + "\") holds " + problem +
                                 "; it begins every drop file name, so it may hold letters, digits and other "
                                 "signs, but no / or \\, no \"..\", no NUL and no control character";
        EXPECT_EQ(out, box("Error Info", text));
        EXPECT_EQ(read(cruise / "stations.dat"), original);
        EXPECT_FALSE(fs::exists(root / "oth"));
        EXPECT_EQ(check(), 1) << problem;
        EXPECT_NE(err.find("holds " + problem + ", so it cannot begin a file name"), std::string::npos)
            << err;
    }
}

TEST_F(DataSafety, AnAbsurdPlotRangeIsNamedAndReplacedByTheDefault) {
    std::string c = read(cruise / "control.dat");
    c.replace(c.find("Max Plot  Temp = 30"), 19, "Max Plot  Temp = 1e308");
    write(cruise / "control.dat", c);
    ASSERT_EQ(run({"menu 40007"}), 0) << err;
    const std::string text =
        "The maximum plot temperature in control.dat, inf, is not a number from -10 to 50; the plot uses 30 "
        "instead";
    EXPECT_EQ(out, box("Error Info", text));
    EXPECT_NE(mainLog().find(text + "\n"), std::string::npos);
    EXPECT_NE(mainLog().find("\ntmin= 0  tmax= 30\n"), std::string::npos);
}

// Failures that ended the editor, or the report, without a word that says
// which file and why.
TEST_F(DataSafety, EveryFailureNamesTheFileAndTheReason) {
    // A control file far beyond any real one.
    write(cruise / "control.dat", "Ship Name =" + std::string(10u << 20, 'x') + "\n");
    const std::string large =
        (cruise / "control.dat").string() + " is larger than 1 MB, far more than any control file holds";
    EXPECT_EQ(run({"menu 40007"}), 1);
    EXPECT_EQ(out, box("Error Info", "Error reading control.dat, is it corrupted? " + large));
    EXPECT_EQ(check(), 1);
    EXPECT_EQ(err, "dropfix: " + large + "\n");

    // No cruise name: no drop file is found, and the words say why.
    fs::remove_all(cruise);
    copyDemo(cruise);
    setCruiseName("Cruise Name = ");
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 0) << err;
    const std::string raw = (cruise / "r_001.KTD").string();
    EXPECT_EQ(
        out, box("Error Info", "Error writing " + (cruise / "q.001").string() +
                                   ": no profile of this drop was read from " + raw + " (cannot open " + raw +
                                   ": No such file or directory; control.dat gives no cruise name, which "
                                   "begins every drop file name)"));
    EXPECT_EQ(check(), 1);
    EXPECT_NE(out.find(": 0 drops checked, 0 with findings, 0 findings; 20 not read: 001 (cannot open " +
                       raw + ": No such file or directory), 002 ("),
              std::string::npos)
        << out;
}

}  // namespace
