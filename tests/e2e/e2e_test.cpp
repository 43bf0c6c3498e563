// The built dropfix program driven by operator scripts on a scratch copy of
// the demo cruise: each test compares the files written, the transcript of
// message boxes and file selections, and the logs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "session.h"

namespace fs = std::filesystem;

namespace {

constexpr int ndrops = 20;

TEST_F(Session, EnterOnEveryDropWritesThemAllAndEndsAfterTheLast) {
    std::vector<std::string> lines(ndrops, "key Enter");
    ASSERT_EQ(run(lines), 0) << err;
    std::vector<std::pair<int, int>> all;
    for (int d = 1; d <= ndrops; ++d) all.emplace_back(d, 1);
    EXPECT_EQ(read(cruise / "stations.dat"), listWith(all));
    EXPECT_EQ(editedFiles(), 2 * ndrops);
    for (int d = 1; d <= ndrops; ++d) {
        char name[16];
        std::snprintf(name, sizeof name, "DEMO01q.%03d", d);
        const std::string q = read(cruise / name);
        ASSERT_FALSE(q.empty()) << name;
        EXPECT_EQ(q.substr(2, 3), std::string(name).substr(8, 3)) << "the header names the drop";
    }
    EXPECT_EQ(out, "") << "no message box on the way";
    EXPECT_NE(err.find("DEMO01: 20 drops, 20 accepted, 0 bad, 0 test probe, 0 not edited\n"),
              std::string::npos);
    EXPECT_EQ(mainLog().find("Error"), std::string::npos);
    // Drops 2 and 1 at the start, then the next and the current drop at each
    // advance (the written drop comes back from its q file), none past the end.
    std::vector<int> reads{2, 1};
    for (int d = 2; d <= ndrops; ++d) {
        if (d < ndrops) reads.push_back(d + 1);
        reads.push_back(d);
    }
    EXPECT_EQ(rawRecords(), rawRecordsOf(reads));
    EXPECT_NE(read(cruise / "dropfix-start.log").find("\nread:  " + (cruise / "stations.dat").string()),
              std::string::npos);
}

TEST_F(Session, BadAndTestProbeSetTheirStatusesAndCodes) {
    ASSERT_EQ(run({"key B", "key T", "menu 40007"}), 0) << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, -1}, {2, -4}}));
    EXPECT_EQ(firstRecord("DEMO01q.001").substr(14, 4), "4 NG");
    EXPECT_EQ(firstRecord("DEMO01q.002").substr(14, 4), "4 TP");
    // The summary goes to standard error: standard output is the transcript.
    EXPECT_NE(err.find("DEMO01: 20 drops, 0 accepted, 1 bad, 1 test probe, 18 not edited\n"),
              std::string::npos);
    EXPECT_TRUE(has("DEMO01e.001"));
    EXPECT_TRUE(has("DEMO01e.002"));
    EXPECT_EQ(editedFiles(), 4);
    EXPECT_EQ(out, "");
    EXPECT_EQ(rawRecords(), rawRecordsOf({2, 1, 3, 2, 4, 3}));
}

TEST_F(Session, RestartAnsweredOkAndCancelWritesNothing) {
    ASSERT_EQ(run({"answer ok", "key R", "answer cancel", "menu 40008", "menu 40007"}), 0) << err;
    EXPECT_EQ(out,
              "box \"Information!\" \"This will lose all edits on this profile!\" -> ok\n"
              "box \"Information!\" \"This will lose all edits on this profile!\" -> cancel\n");
    EXPECT_EQ(editedFiles(), 0);
    EXPECT_EQ(read(cruise / "stations.dat"), original);
    EXPECT_EQ(rawRecords(), rawRecordsOf({2, 1})) << "Restart reads no file";
}

TEST_F(Session, NewToDropTwelveThenOneThenAboveTheList) {
    ASSERT_EQ(run({"menu 40010", "type 104 1018 12", "click 104 1", "key Enter",  // drop 12 written, on 13
                   "key N", "type 104 1018 1", "click 104 1", "key T",            // drop 1 a test probe
                   "menu 40010", "type 104 1018 250", "click 104 1", "key B",  // above the list: drop 1 again
                   "menu 40007"}),
              0)
        << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{12, 1}, {1, -1}}));
    EXPECT_TRUE(has("DEMO01q.012"));
    EXPECT_EQ(firstRecord("DEMO01q.001").substr(14, 4), "4 NG");
    EXPECT_EQ(editedFiles(), 4);
    EXPECT_EQ(out, "");
}

TEST_F(Session, NewCancelledStaysOnTheDrop) {
    ASSERT_EQ(run({"menu 40010", "type 104 1018 9", "click 104 2", "key Enter", "menu 40007"}), 0) << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));
    EXPECT_EQ(editedFiles(), 2);
}

TEST_F(Session, PlotOptionsChangeThePictureAndCancelDoesNot) {
    const auto shot = [&](const std::string& n) { return "screenshot " + (root / n).string(); };
    ASSERT_EQ(run({shot("before.png"), "menu 40011", "click 108 2", shot("cancelled.png"), "menu 40011",
                   "type 108 1022 -2", "type 108 1023 35", "click 108 1047", "click 108 1043", "click 108 1",
                   shot("after.png"), "menu 40007"}),
              0)
        << err;
    const std::string before = read(root / "before.png");
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(read(root / "cancelled.png"), before);
    EXPECT_NE(read(root / "after.png"), before);
    EXPECT_EQ(out, "");
    EXPECT_EQ(editedFiles(), 0);
    EXPECT_EQ(read(cruise / "stations.dat"), original);
}

TEST_F(Session, FileToASecondCruiseAndCancelled) {
    const fs::path second = root / "second";
    copyDemo(second);
    // The second cruise has its first three drops done already.
    std::string list = read(second / "stations.dat");
    for (int d = 0; d < 3; ++d) list.replace(static_cast<std::size_t>(d) * 71 + 57, 5, "    1");
    write(second / "stations.dat", list);

    ASSERT_EQ(run({"file cancel", "menu 40004", "file " + (second / "control.dat").string(), "key F",
                   "key Enter", "menu 40007"}),
              0)
        << err;
    EXPECT_EQ(out,
              "file \"Select directory with control.dat & s files\" -> cancel\n"
              "file \"Select directory with control.dat & s files\" -> " +
                  (second / "control.dat").string() + "\n");
    EXPECT_EQ(read(cruise / "stations.dat"), original) << "the list left behind is not written";
    EXPECT_EQ(editedFiles(), 0);
    std::string expected = list;
    expected.replace(3 * 71 + 57, 5, "    1");
    EXPECT_EQ(read(second / "stations.dat"), expected);
    EXPECT_TRUE(fs::exists(second / "DEMO01q.004"));
    EXPECT_NE(read(second / "dropfix.log").find("adropfix= " + (second / "dropfix.log").string()),
              std::string::npos);
}

TEST_F(Session, HelpWithThePageMissing) {
    // A copy of the program with no page beside it and none on drive c:.
    fs::create_directories(root / "bin");
    fs::copy_file(DROPFIX_BINARY, root / "bin" / "dropfix");
    ASSERT_EQ(run({"menu 40001", "key H", "menu 40007"}, {}, (root / "bin" / "dropfix").string()), 0) << err;
    const std::string box =
        "box \"Error Info\" \"Error opening c:\\\\xbt-archive\\qcref.htm.\" -> ok (default)\n";
    EXPECT_EQ(out, box + box);
    EXPECT_EQ(read(cruise / "stations.dat"), original);
}

TEST_F(Session, HelpFoundBesideTheProgram) {
    ASSERT_EQ(run({"menu 40001", "menu 40007"}), 0) << err;
    EXPECT_EQ(out, "");
}

TEST_F(Session, ExitAndTheCloseBoxAfterEditedDropsWriteTheStatuses) {
    ASSERT_EQ(run({"key Enter", "key W", "key I", "click 103 2", "key Q", "click 106 2", "menu 40007"}), 0)
        << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}, {2, 1}}));
    EXPECT_EQ(editedFiles(), 4);

    // Started again, the editor goes on at drop 3; the close box ends it alike.
    ASSERT_EQ(run({"key B", "close"}), 0) << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}, {2, 1}, {3, -1}}));
    EXPECT_NE(mainLog().find("f1r="), std::string::npos);
}

TEST_F(Session, AFailingWriterStopsTheCommandAndSetsNoStatus) {
    fs::create_directory(cruise / "DEMO01q.001");
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 0) << err;
    const std::string message = "Error writing " + (cruise / "DEMO01q.001").string() + ": ";
    EXPECT_EQ(out.rfind("box \"Error Info\" \"" + message, 0), 0u) << out;
    EXPECT_NE(mainLog().find(message), std::string::npos);
    EXPECT_EQ(read(cruise / "stations.dat"), original);
    EXPECT_FALSE(has("DEMO01e.001"));
    EXPECT_EQ(rawRecords(), rawRecordsOf({2, 1})) << "the editor stays on the drop";
}

TEST_F(Session, AScriptThatEndsEarlyWritesNoList) {
    ASSERT_EQ(run({"key Enter"}), 3);
    EXPECT_EQ(read(cruise / "stations.dat"), original);
    EXPECT_TRUE(has("DEMO01q.001"));
}

// The pictures an operator looks at: the first drop, a drop after a few
// writes, and the New and Plot range dialogs over the plot. Each must be a
// PNG of the whole window, and a dialog must show in the picture.
TEST_F(Session, ScreenshotsOfTheDemoCruise) {
    const auto shot = [&](const std::string& n) { return "screenshot " + (root / n).string(); };
    ASSERT_EQ(run({shot("first.png"), "key Enter", "key Enter", "key Enter", shot("after3.png"), "menu 40010",
                   shot("new.png"), "click 104 2", "menu 40011", shot("range.png"), "click 108 2",
                   shot("after3-again.png"), "menu 40007"}),
              0)
        << err;
    for (const char* n : {"first.png", "after3.png", "new.png", "range.png"}) {
        const std::string png = read(root / n);
        ASSERT_GT(png.size(), 1000u) << n;
        EXPECT_EQ(png.substr(1, 3), "PNG") << n;
    }
    EXPECT_NE(read(root / "after3.png"), read(root / "first.png"));
    EXPECT_NE(read(root / "new.png"), read(root / "after3.png"));
    EXPECT_NE(read(root / "range.png"), read(root / "after3.png"));
    EXPECT_EQ(read(root / "after3-again.png"), read(root / "after3.png"))
        << "Cancel leaves the plot as it was";
}

// Every file of the cruise (control.dat, the list, the raw drops) with CR or
// CRLF line ends reads as with LF: the same drops, the same files written.
TEST_F(Session, CruiseFilesWithCrOrCrlfLineEndsReadAsWithLf) {
    const std::vector<std::string> lines = {"key Enter", "key B", "menu 40007"};
    ASSERT_EQ(run(lines), 0) << err;
    const fs::path lf = root / "lf";
    fs::rename(cruise, lf);
    for (const std::string end : {"\r", "\r\n"}) {
        fs::remove_all(cruise);
        copyDemo(cruise);
        for (const auto& e : fs::directory_iterator(cruise)) {
            const std::string bytes = read(e.path());
            std::string converted;
            for (char c : bytes) converted += c == '\n' ? end : std::string(1, c);
            write(e.path(), converted);
        }
        ASSERT_EQ(run(lines), 0) << err;
        EXPECT_EQ(out, "");
        EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}, {2, -1}})) << "ends " << end.size();
        for (const char* f : {"DEMO01q.001", "DEMO01e.001", "DEMO01q.002", "DEMO01e.002"})
            EXPECT_EQ(read(cruise / f), read(lf / f)) << f << ", ends " << end.size();
    }
}

TEST_F(Session, ADirectoryNamedLikeControlDatIsTheCruiseNotItsParent) {
    const fs::path parent = root / "X";
    fs::rename(cruise, parent);
    cruise = parent / "control.dat.d";
    copyDemo(cruise);
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 0) << err;
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}}));
    EXPECT_TRUE(has("DEMO01q.001"));
    EXPECT_EQ(read(parent / "stations.dat"), original);
    EXPECT_FALSE(fs::exists(parent / "DEMO01q.001")) << "the other cruise is left alone";
}

TEST_F(Session, FilesAreReplacedThroughTheirLinksWithTheirModes) {
    fs::create_directory(root / "lists");
    fs::rename(cruise / "stations.dat", root / "lists" / "stations.dat");
    fs::create_symlink("../lists/stations.dat", cruise / "stations.dat");
    ::chmod((root / "lists" / "stations.dat").c_str(), 0664);
    write(cruise / "DEMO01q.001", "an earlier edit\n");
    ::chmod((cruise / "DEMO01q.001").c_str(), 0660);
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 0) << err;
    EXPECT_TRUE(fs::is_symlink(cruise / "stations.dat"));
    EXPECT_EQ(read(root / "lists" / "stations.dat"), listWith({{1, 1}}));
    EXPECT_EQ(modeOf(root / "lists" / "stations.dat"), 0664u);
    EXPECT_NE(read(cruise / "DEMO01q.001"), "an earlier edit\n");
    EXPECT_EQ(modeOf(cruise / "DEMO01q.001"), 0660u);
}

TEST_F(Session, AReadOnlyListIsRefusedAndItsStatusesWaitInTheJournal) {
    ::chmod((cruise / "stations.dat").c_str(), 0444);
    runAsAnOrdinaryUser();
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 1) << err;
    const std::string path = (cruise / "stations.dat").string();
    const std::string message = "Error writing " + path + ": cannot write " + path + ": Permission denied";
    EXPECT_EQ(out, "box \"Error Info\" \"" + message + "\" -> ok (default)\n");
    EXPECT_NE(mainLog().find(message + "\n"), std::string::npos);
    EXPECT_EQ(read(cruise / "stations.dat"), original);
    EXPECT_EQ(modeOf(cruise / "stations.dat"), 0444u);
    EXPECT_EQ(journal(), listWith({{1, 1}}).substr(0, 71));
}

TEST_F(Session, TemporaryFilesOfAKilledRunAreRemovedAtStartUp) {
    const std::vector<const char*> debris = {".DEMO01q.005.a1B2c3.dropfix-tmp", "DEMO01e.005.tmp-Zz09aa",
                                             "stations.dat.tmp-Ab12cd"};
    // Names of the older form that were not made for one of the editor's files.
    const std::vector<const char*> others = {"cruise-notes.tmp-250311", "OTHERq.005.tmp-Zz09aa",
                                             "DEMO01q.5.tmp-Zz09aa"};
    for (const auto& names : {debris, others})
        for (const char* name : names) write(cruise / name, "x");
    ASSERT_EQ(run({"menu 40007"}), 0) << err;
    for (const char* name : debris) {
        EXPECT_FALSE(has(name)) << name;
        EXPECT_NE(startLog().find("removed temporary file of a killed run: " + (cruise / name).string()),
                  std::string::npos);
    }
    for (const char* name : others) EXPECT_EQ(read(cruise / name), "x") << name;
}

TEST_F(Session, StatusesOfARunWithoutItsRewriteAreRestoredAtTheNextStart) {
    ASSERT_EQ(run({"key Enter", "key B"}), 3) << "the script ends, as a kill would, before the rewrite";
    EXPECT_EQ(read(cruise / "stations.dat"), original);
    EXPECT_EQ(journal(), listWith({{1, 1}}).substr(0, 71) + listWith({{2, -1}}).substr(71, 71));

    ASSERT_EQ(run({"menu 40007"}), 0) << err;
    const std::string message =
        "The last session ended before stations.dat was written; the statuses of drops 001 and 002 are "
        "restored "
        "from its journal";
    EXPECT_EQ(out, "box \"Statuses restored\" \"" + message + "\" -> ok (default)\n");
    EXPECT_NE(startLog().find(message + "\n"), std::string::npos);
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}, {2, -1}}));
    EXPECT_FALSE(has(".stations.dat.journal"));

    // The editor goes on at drop 3, and a clean exit leaves no journal.
    ASSERT_EQ(run({"key Enter", "menu 40007"}), 0) << err;
    EXPECT_EQ(out, "");
    EXPECT_EQ(read(cruise / "stations.dat"), listWith({{1, 1}, {2, -1}, {3, 1}}));
    EXPECT_FALSE(has(".stations.dat.journal"));
}

TEST_F(Session, ADirectoryThatCannotBeEnteredEndsWithABoxOrWithoutADisplayQuietly) {
    const fs::path missing = root / "missing";
    ASSERT_EQ(run({"menu 40007"}, missing), 1);
    const std::string reason = "annot change to " + missing.string() + ": No such file or directory";
    EXPECT_EQ(out, "box \"Error Info\" \"C" + reason + "\" -> ok (default)\n");
    EXPECT_NE(err.find("dropfix: c" + reason + "\n"), std::string::npos);

    // With no window system to reach, the program says first that it needs one.
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                            std::string(DROPFIX_BINARY) + "' '" + missing.string() + "' 2> '" +
                            (root / "err.txt").string() + "'";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 1);
    EXPECT_EQ(read(root / "err.txt").rfind("dropfix: no display", 0), 0u);
}

TEST_F(Session, AReadOnlyCruiseDirectoryEndsWithABox) {
    ::chmod(cruise.c_str(), 0555);
    runAsAnOrdinaryUser();
    ASSERT_EQ(run({"menu 40007"}), 1);
    EXPECT_EQ(out, "box \"Error Info\" \"Cannot create dropfix-start.log in the working directory " +
                       cruise.string() +
                       " (cannot open dropfix-start.log: Permission denied)\" -> ok (default)\n");
    EXPECT_NE(err.find("dropfix: cannot create dropfix-start.log in the working directory\n"),
              std::string::npos);
    ::chmod(cruise.c_str(), 0755);
}

}  // namespace

namespace {

TEST_F(Session, WithoutADisplayItSaysHowToRunAndEndsWithStatusOne) {
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                            std::string(DROPFIX_BINARY) + "' '" + cruise.string() + "' > '" +
                            (root / "out.txt").string() + "' 2> '" + (root / "err.txt").string() + "'";
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 1);
    EXPECT_EQ(
        read(root / "err.txt"),
        "dropfix: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); run it under xvfb-run, or drive "
        "it with --script FILE\n");
    EXPECT_FALSE(has("dropfix.log"));
}

}  // namespace
