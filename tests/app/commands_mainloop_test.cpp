// The commands of the main loop that need no file written: New with its
// dialog, Help with the page present and missing, and the dispatch table.
#include <gtest/gtest.h>

#include <deque>

#include "app/droploading.h"
#include "app/mainloop.h"
#include "droploading_fixture.h"
#include "toolkit/toolkit.h"

namespace {

class MainLoopCommands : public CruiseTest {
protected:
    void SetUp() override {
        CruiseTest::SetUp();
        loaddialogs();
        ASSERT_FALSE(droploading(*st).ends());
        toolkit::takeTrace();
    }
    // An event source that plays the given events, then Cancel forever.
    EventWait events(std::deque<std::pair<int, int>> list) {
        return [list](int& type, EventRecord& e) mutable {
            e = EventRecord{};
            if (list.empty()) {
                type = EventType::PushButton;
                e.data1 = 2;
                return;
            }
            type = list.front().first;
            e.data1 = list.front().second;
            list.pop_front();
        };
    }
    void choose(int drop, int source) {
        WDialogSelect(newdropdialog);
        WDialogPutInteger(NewDropField::dropnumber, drop);
        WDialogPutRadioButton(source == 2 ? 1059 : 1058);
    }
};

TEST(NewDropCount, TwentySixCharacters) {
    EXPECT_EQ(newdropcount(20), "stations.dat has  20 drops");
    EXPECT_EQ(newdropcount(999).size(), 26u);
}

TEST_F(MainLoopCommands, NewToDropTwelveLoadsElevenTwelveThirteen) {
    choose(12, 1);
    ASSERT_FALSE(
        newdrop(*st,
                events({{EventType::Expose, 0}, {EventType::MenuSelect, 40009}, {EventType::PushButton, 1}}))
            .ends());
    EXPECT_EQ(st->idropnum, 12);
    EXPECT_EQ(st->inext, 13);
    EXPECT_EQ(st->i9, 0);
    const auto len = static_cast<std::size_t>(st->files.len_f1);
    EXPECT_EQ(st->files.f1r.trimmed().substr(len), "r_011.KTD");
    EXPECT_EQ(st->files.f2r.trimmed().substr(len), "r_012.KTD");
    EXPECT_EQ(st->files.f3r.trimmed().substr(len), "r_013.KTD");
    EXPECT_EQ(st->files.f1q.trimmed().substr(len), "q.011");
    EXPECT_EQ(st->files.f3q.trimmed().substr(len), "q.013");
    EXPECT_EQ(st->store[1].ainfo.cols(1, 5), "r_011");
    EXPECT_EQ(st->store[2].ainfo.cols(1, 5), "r_012");
    EXPECT_FALSE(exists("DEMO01q.001")) << "the Cut sent while the dialog was up is dropped";
    // The Expose while the dialog was up redrew the plot, then the loading drew it anew.
    const auto trace = toolkit::takeTrace();
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(), [](const auto& e) { return e.op == "WindowClear"; }),
              2);
}

TEST_F(MainLoopCommands, NewCancelledChangesNothing) {
    st->store[2].iclass[3] = 3;
    choose(7, 2);
    const PathText before = st->files.f2r;
    ASSERT_FALSE(newdrop(*st, events({{EventType::PushButton, 2}})).ends());
    EXPECT_EQ(st->files.f2r, before);
    EXPECT_EQ(st->files.ieditktd, 1);
    EXPECT_EQ(st->idropnum, 1);
    EXPECT_EQ(st->store[2].iclass[3], 3);
    EXPECT_TRUE(toolkit::takeTrace().empty()) << "the plot stays as it was";
}

TEST_F(MainLoopCommands, NewWithTheOldTwoMetreSourceRenamesTheFiles) {
    choose(3, 2);
    ASSERT_FALSE(newdrop(*st, events({{EventType::PushButton, 1}})).ends());
    EXPECT_EQ(st->files.ieditktd, 2);
    const auto len = static_cast<std::size_t>(st->files.len_f1);
    EXPECT_EQ(st->files.f2r.view().substr(len, 9), "s.003    ");
    EXPECT_EQ(st->files.f2q.trimmed().substr(len), "e.003");
    // The demo cruise has no two-metre files: every slot reports it cannot read.
    EXPECT_EQ(st->store[2].ainfo.cols(1, 2), "no");
}

TEST_F(MainLoopCommands, HelpMissingTellsTheOperator) {
    helpcommand();
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "Error opening c:\\\\xbt-archive\\qcref.htm.");
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_EQ(boxes[0].buttons, 0);
    EXPECT_EQ(boxes[0].icon, 3);

    write(drive / "xbt-archive" / "qcref.htm", "<html></html>\n");
    helpcommand();
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(MainLoopCommands, DispatchIgnoresUnknownCommandsAndStubbedDialogs) {
    for (int id : {39999, 40000, 40013, Command::QcCodes}) {
        EXPECT_FALSE(dispatch(*st, id).ends()) << id;
    }
    EXPECT_EQ(st->idropnum, 1);
    EXPECT_FALSE(exists("DEMO01q.001"));
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

}  // namespace
