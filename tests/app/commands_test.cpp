// The finishing commands and Restart on the demo cruise: the files they
// write, the status they set, the drop they move to, and what a failing
// writer or an inconsistent profile leaves behind.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/droploading.h"
#include "app/mainloop.h"
#include "base/fields.h"
#include "droploading_fixture.h"
#include "profile/edited_files.h"

namespace {

class Commands : public CruiseTest {
protected:
    void SetUp() override {
        CruiseTest::SetUp();
        ASSERT_FALSE(droploading(*st).ends());
        toolkit::takeTrace();
    }
    // The q file of a drop read back into a scratch slot.
    SlotData readq(const std::string& drop) {
        SlotData s;
        PathText name = st->files.f2q;
        name.put(static_cast<std::size_t>(st->files.len_f1) + 3, drop);
        EXPECT_EQ(rdq(name, s, st->files.len_f1).ierr, 0);
        return s;
    }
};

// The status bar after each writing command says what was stored, and after
// a failed write that nothing was.
TEST_F(Commands, StatusBarSaysWhatEachWriteStored) {
    const std::string cut = writeF(st->cut.xdbr, 8, 3).substr(1);
    const int n1 = st->store[4].npts;
    ASSERT_FALSE(cutwrite(*st).ends());
    EXPECT_EQ(toolkit::statusText(), "Drop 001 stored as accepted: " + std::to_string(n1) +
                                         " points, class 4 below " + cut +
                                         " m; DEMO01q.001 and DEMO01e.001 written");
    const int n2 = st->store[4].npts;
    ASSERT_FALSE(bad(*st).ends());
    EXPECT_EQ(toolkit::statusText(),
              "Drop 002 stored as bad: " + std::to_string(n2) +
                  " points, class 4 from the surface; DEMO01q.002 and DEMO01e.002 written");
    ASSERT_FALSE(tp(*st).ends());
    EXPECT_EQ(toolkit::statusText().substr(0, 31), "Drop 003 stored as test probe: ");
    std::filesystem::create_directory(cruise / "DEMO01q.004");  // the q file cannot be written
    ASSERT_FALSE(cutwrite(*st).ends());
    EXPECT_EQ(toolkit::statusText(), "Drop 004 not stored: its files could not be written");
}

TEST(StatusFromCode, TestProbeBadOrAccepted) {
    EXPECT_EQ(statusfromcode(QcCode("TP")), -4);
    EXPECT_EQ(statusfromcode(QcCode("NG")), -1);
    EXPECT_EQ(statusfromcode(QcCode("CS")), 1);
    EXPECT_EQ(statusfromcode(QcCode()), 1);
}

TEST_F(Commands, CutWritesBothFilesMarksBelowTheCutAndMovesOn) {
    const int n4 = st->store[4].npts;
    const int npbr = st->cut.npbr;
    ASSERT_LT(npbr, n4);
    ASSERT_FALSE(cutwrite(*st).ends());

    const SlotData q = readq("001");
    EXPECT_EQ(q.nread, n4) << "the points below the cut are written too";
    EXPECT_EQ(q.iclass[1], 1) << "the class pass makes unclassified points good";
    EXPECT_EQ(q.iclass[static_cast<std::size_t>(npbr)], 1);
    EXPECT_EQ(q.iclass[static_cast<std::size_t>(npbr) + 1], 4);
    EXPECT_EQ(q.iclass[static_cast<std::size_t>(n4)], 4);
    EXPECT_TRUE(exists("DEMO01e.001"));
    EXPECT_EQ(status(1), 1);
    EXPECT_EQ(st->stations[1].alines.cols(58, 62), "    1");
    EXPECT_EQ(st->i9, 1);
    EXPECT_EQ(st->idropnum, 2);
    EXPECT_EQ(digits(st->files.f1r), "001");
    EXPECT_EQ(st->ftype[1], 'q');
    EXPECT_EQ(st->store[1].ainfo.cols(1, 5), "q.001");
    EXPECT_EQ(st->store[2].ainfo.cols(1, 5), "r_002");
}

TEST_F(Commands, CutKeepsAClassThreeBelowTheCutAndWriteOfATestProbeSetsItsStatus) {
    const auto below = static_cast<std::size_t>(st->cut.npbr) + 1;
    st->store[2].iclass[below] = 3;
    st->store[2].code[1] = QcCode("TP");
    st->store[2].iclass[1] = 4;
    ASSERT_FALSE(dispatch(*st, Command::Write).ends());
    EXPECT_EQ(status(1), -4);
    // Class 4 at the surface carries down the whole profile.
    const SlotData q = readq("001");
    EXPECT_EQ(q.code[1], QcCode("TP"));
    EXPECT_EQ(q.iclass[below], 4);
}

TEST_F(Commands, CutBelowTheDeepestPointMarksNothingBad) {
    st->cut.xdbr = 5000;
    ASSERT_FALSE(cutwrite(*st).ends());
    const SlotData q = readq("001");
    for (int i = 1; i <= q.nread; ++i) ASSERT_EQ(q.iclass[static_cast<std::size_t>(i)], 1) << i;
    EXPECT_EQ(status(1), 1);
}

TEST_F(Commands, BadOverATestProbeAndTestProbe) {
    st->store[2].code[1] = QcCode("TP");
    ASSERT_FALSE(bad(*st).ends());
    EXPECT_EQ(status(1), -1);
    EXPECT_EQ(readq("001").code[1], QcCode("NG"));

    ASSERT_FALSE(tp(*st).ends());
    EXPECT_EQ(status(2), -4);
    const SlotData q = readq("002");
    EXPECT_EQ(q.code[1], QcCode("TP"));
    EXPECT_EQ(q.iclass[1], 4);
    EXPECT_EQ(q.iclass[static_cast<std::size_t>(q.nread)], 4);
    EXPECT_EQ(st->idropnum, 3);
    EXPECT_EQ(digits(st->files.f1r), "002");
}

TEST_F(Commands, AWriterThatFailsStopsTheCommandWithTheEditsKept) {
    // A directory where the q file belongs: it cannot be replaced.
    std::filesystem::create_directory(cruise / "DEMO01q.001");
    st->store[2].iclass[3] = 2;
    ASSERT_FALSE(bad(*st).ends());

    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_EQ(boxes[0].message.rfind("Error writing " + (cruise / "DEMO01q.001").string() + ": ", 0), 0u);
    EXPECT_NE(st->mainLog.text().find("Error writing "), std::string::npos);
    EXPECT_EQ(status(1), 0);
    EXPECT_EQ(st->stations[1].alines.cols(58, 62), "    0");
    EXPECT_EQ(st->i9, 0);
    EXPECT_EQ(st->idropnum, 1);
    EXPECT_EQ(digits(st->files.f1r), "000");
    EXPECT_FALSE(exists("DEMO01e.001"));
    EXPECT_EQ(st->store[2].code[1], QcCode("NG"));
    EXPECT_EQ(st->store[2].iclass[3], 4);
}

TEST_F(Commands, AnEFileThatCannotBeReplacedIsTheOneTheBoxNames) {
    std::filesystem::create_directory(cruise / "DEMO01e.001");
    ASSERT_FALSE(bad(*st).ends());
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message.rfind("Error writing " + (cruise / "DEMO01e.001").string() + ": ", 0), 0u);
    EXPECT_EQ(status(1), 0);
    EXPECT_EQ(st->idropnum, 1);
}

TEST_F(Commands, ADropWhoseFileCouldNotBeReadIsNeverWritten) {
    // Drop 2 was edited before; its raw file has gone since.
    write(cruise / "DEMO01q.002", "an earlier edit\n");
    std::filesystem::remove(cruise / "DEMO01r_002.KTD");
    pointat(2);
    ASSERT_FALSE(droploading(*st).ends());
    ASSERT_EQ(st->store[2].ainfo.cols(1, 5), "no002");

    ASSERT_FALSE(cutwrite(*st).ends());
    ASSERT_FALSE(bad(*st).ends());
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_EQ(boxes[0].message.rfind("Error writing " + (cruise / "DEMO01q.002").string() + ": ", 0), 0u);
    EXPECT_EQ(file("DEMO01q.002"), "an earlier edit\n");
    EXPECT_FALSE(exists("DEMO01e.002"));
    EXPECT_EQ(status(2), 0);
    EXPECT_EQ(st->idropnum, 2);
    EXPECT_EQ(st->i9, 0);
}

TEST_F(Commands, AnInconsistentProfileIsReloadedAndNothingWritten) {
    for (std::size_t i : {10u, 20u, 30u}) {
        st->store[2].iclass[i] = 2;
        st->store[2].code[i] = QcCode("HB");
    }
    ASSERT_FALSE(cutwrite(*st).ends());
    EXPECT_FALSE(exists("DEMO01q.001"));
    EXPECT_EQ(status(1), 0);
    EXPECT_EQ(st->idropnum, 1);
    EXPECT_EQ(st->store[2].code[10], QcCode());
    EXPECT_EQ(st->store[2].iclass[10], 0);
    EXPECT_FALSE(toolkit::takeBoxes().empty()) << "checkcode tells the operator";
}

TEST_F(Commands, RestartConfirmedUndoesEditsAndFindsTheBreakAgain) {
    const int npbr = st->cut.npbr;
    st->store[2].iclass[2] = 3;
    st->store[2].code[2] = QcCode("CS");
    st->store[2].t[2] = 99;
    st->store[2].npts = 10;
    toolkit::queueAnswer(toolkit::Answer::Ok);
    restart(*st);
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "This will lose all edits on this profile!");
    EXPECT_EQ(boxes[0].title, "Information!");
    EXPECT_EQ(boxes[0].buttons, 1);
    EXPECT_EQ(boxes[0].icon, 2);
    EXPECT_EQ(st->store[2].iclass[2], 0);
    EXPECT_EQ(st->store[2].code[2], QcCode());
    EXPECT_EQ(st->store[2].t[2], st->store[4].t[2]);
    EXPECT_EQ(st->store[2].npts, npbr);
    EXPECT_EQ(st->cut.npts4, st->store[4].npts);
    const auto trace = toolkit::takeTrace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front().op, "WindowClear");
    EXPECT_FALSE(exists("DEMO01q.001")) << "Restart writes nothing";
}

TEST_F(Commands, RestartDeclinedKeepsTheEditsButRedraws) {
    st->store[2].iclass[2] = 3;
    toolkit::queueAnswer(toolkit::Answer::Cancel);
    restart(*st);
    EXPECT_EQ(st->store[2].iclass[2], 3);
    const auto trace = toolkit::takeTrace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front().op, "WindowClear");
}

TEST_F(Commands, ExitRewriteKeepsStationLinesAppendedDuringTheRun) {
    ASSERT_FALSE(tp(*st).ends());
    // Another program adds two drops to the list while the editor runs.
    std::string list = file("stations.dat");
    const std::string end = "ENDDATA\n";
    ASSERT_EQ(list.substr(list.size() - end.size()), end);
    const std::string extra =
        " 021     7        11/03/26 02:00:00  -24.000  160.000        0        \n"
        " 022     7        11/03/26 08:00:00  -23.900  160.500        0";
    list.replace(list.size() - end.size(), end.size(), extra + "\n" + end);
    write(cruise / "stations.dat", list);

    const Outcome o = exitrewrite(st->paths.astations, st->stations, st->mainLog, 0);
    EXPECT_TRUE(o.ends());
    // The appended line without its trailing blanks comes back padded to 70.
    std::string last = extra.substr(extra.rfind('\n') + 1);
    last.resize(70, ' ');
    std::string expected = list.substr(0, list.find(" 022")) + last + "\n" + end;
    expected.replace(57, 5, "   -4");
    EXPECT_EQ(file("stations.dat"), expected);
    EXPECT_NE(st->mainLog.text().find("stations.dat differs from begining of edit sesson\n20 22\n"),
              std::string::npos);
}

}  // namespace
