// The drop-loading step on the demo cruise: which drops come from which
// file, what slot 4 keeps, the break and its prompt, and the moves between
// drops.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/droploading.h"
#include "droploading_fixture.h"
#include "profile/edited_files.h"

namespace {

using DropLoading = CruiseTest;

int count(const std::vector<toolkit::TraceEntry>& trace, const std::string& op) {
    return static_cast<int>(
        std::count_if(trace.begin(), trace.end(), [&](const auto& e) { return e.op == op; }));
}

TEST(Mess0, CutDepthInColumns24To31) {
    EXPECT_EQ(composemess0(738.984f).str(), "<Enter>=Set class=4 at  738.984m and write");
    EXPECT_EQ(composemess0(0).str(), "<Enter>=Set class=4 at    0.000m and write");
    // A depth too wide for F8.3 shows as asterisks rather than spilling over "m".
    EXPECT_EQ(composemess0(123456.0f).str(), "<Enter>=Set class=4 at ********m and write");
}

TEST(Templates, EditSourceTwoNamesTwoMetreFiles) {
    DropFiles f;
    f.f1r = PathText("/d/");
    ASSERT_FALSE(buildTemplates(f, 3, FixedText<13>("C1"), 2));
    resettemplates(f, 2);
    putDropDigits(f, DropSlot::Current, "012");
    EXPECT_EQ(f.f2r.view().substr(0, 14), "/d/C1s.012    ");
    EXPECT_EQ(f.f2q.trimmed(), "/d/C1e.012");
    resettemplates(f, 1);
    EXPECT_EQ(f.f2r.trimmed(), "/d/C1r_000.KTD");
    EXPECT_EQ(f.f3q.trimmed(), "/d/C1q.000");
}

TEST_F(DropLoading, FirstDropHasNoPreviousAndIsCutAtItsBreak) {
    ASSERT_EQ(st->idropnum, 1);
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(digits(st->files.f1r), "000");
    EXPECT_EQ(st->inextok, 1);
    EXPECT_EQ(st->ftype[2], 'r');
    EXPECT_EQ(st->ftype[3], 'r');
    EXPECT_EQ(st->store[2].ainfo.str(), "r_001 -27.13 154.24T7");
    EXPECT_EQ(st->store[3].ainfo.str(), "r_002 -26.59 155.40T7");

    const SlotData& cur = st->store[2];
    const SlotData& kept = st->store[4];
    EXPECT_GT(kept.npts, 0);
    EXPECT_EQ(kept.npts, cur.nread);
    EXPECT_EQ(st->cut.npts4, kept.npts);
    EXPECT_EQ(cur.npts, st->cut.npbr);
    EXPECT_LT(cur.npts, kept.npts) << "drop 1 ends in a wire break";
    EXPECT_FLOAT_EQ(st->cut.xdbr, -cur.depth[static_cast<std::size_t>(cur.npts)]);
    EXPECT_EQ(st->cut.mess0, composemess0(st->cut.xdbr));
    EXPECT_EQ(st->ahdr.cols(3, 5), "001");

    const auto trace = toolkit::takeTrace();
    EXPECT_EQ(count(trace, "WindowClear"), 1);
    const auto prompt =
        std::find_if(trace.begin(), trace.end(), [](const auto& e) { return e.op == "WindowOutString"; });
    ASSERT_NE(prompt, trace.end());
    EXPECT_EQ(prompt->args, (std::vector<double>{100, 9850}));
    EXPECT_EQ(prompt->text, st->cut.mess0.str());
    // Captions of the current and the next drop, none for the absent previous one.
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                            [](const auto& e) {
                                return e.op == "IGrCharOut" && e.text.find("r_00") != std::string::npos;
                            }),
              2);
}

TEST_F(DropLoading, AfterAWriteTheNextDropComesUpAndEditedDropsShowTheirFile) {
    // Drop 3 as written, and an edited file of drop 4 that must not be used
    // for the current drop.
    ASSERT_FALSE(droploading(*st).ends());
    SlotData edited = st->store[2];
    edited.iclass[1] = 4;
    edited.code[1] = QcCode("NG");
    ASSERT_TRUE(writeqfile(st->files.f2q, edited, st->store[4], st->store[4].npts, st->ahdr));
    std::filesystem::copy_file(cruise / "DEMO01q.001", cruise / "DEMO01q.003");
    std::filesystem::copy_file(cruise / "DEMO01q.001", cruise / "DEMO01q.004");

    st->idropnum = 3;
    putDropDigits(st->files, DropSlot::Current, "003");
    putDropDigits(st->files, DropSlot::Previous, "003");
    st->i9 = 1;
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->idropnum, 4);
    EXPECT_EQ(st->inext, 5);
    EXPECT_EQ(digits(st->files.f1r), "003");
    EXPECT_EQ(digits(st->files.f2r), "004");
    EXPECT_EQ(digits(st->files.f3r), "005");
    EXPECT_EQ(st->ftype[1], 'q');
    EXPECT_EQ(st->store[1].code[1], QcCode("NG"));
    EXPECT_EQ(st->store[1].iclass[1], 4);
    EXPECT_EQ(st->store[1].ainfo.str(), "q.003 -26.14 156.61T7");
    EXPECT_EQ(st->ftype[2], 'r');
    EXPECT_EQ(st->store[2].ainfo.cols(1, 5), "r_004");
    EXPECT_EQ(st->store[2].iclass[1], 0);
    EXPECT_EQ(st->store[2].code[1], QcCode());
}

// The next drop's raw file is read once more as the current drop only when
// it changed since; taken from the first read, it leaves the same log records.
TEST_F(DropLoading, TheNextDropComesUpFromItsReadUnlessItsFileChanged) {
    const auto records = [&](std::string_view what) {
        const std::string log = st->mainLog.text();
        int n = 0;
        for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
        return n;
    };
    // Drop 2 claims more points than a profile holds: each read logs it.
    std::string two = file("DEMO01r_002.KTD");
    two.replace(two.find("XBT: 1359"), 9, "XBT: 2400");
    write(cruise / "DEMO01r_002.KTD", two);
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(records("numtems > ndepmax"), 1);
    st->i9 = 1;
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->store[2].ainfo.cols(1, 5), "r_002");
    EXPECT_EQ(records("numtems > ndepmax"), 2);

    // Drop 3, read as the next drop, then changed before it comes up.
    const float before = st->store[3].t[1];
    std::string three = file("DEMO01r_003.KTD");
    const auto data = three.find('\n', three.find("XBT:")) + 1;
    three.replace(data, 5, "01000");
    write(cruise / "DEMO01r_003.KTD", three);
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->store[2].ainfo.cols(1, 5), "r_003");
    EXPECT_NE(st->store[2].t[1], before);
    EXPECT_FLOAT_EQ(st->store[2].t[1], 1.0f);
}

TEST_F(DropLoading, ANumberAboveTheListStartsAtDropOneWithItsNextDrop) {
    st->idropnum = 25;
    st->inext = 26;
    putDropDigits(st->files, DropSlot::Current, "025");
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->idropnum, 1);
    EXPECT_EQ(digits(st->files.f1r), "000");
    EXPECT_EQ(digits(st->files.f2r), "001");
    EXPECT_EQ(st->inextok, 1);
    EXPECT_EQ(st->store[3].ainfo.cols(1, 5), "r_002");
}

TEST_F(DropLoading, LastDropHasNoNextAndAMissingNextFileIsNoError) {
    st->idropnum = 20;
    st->inext = 21;
    putDropDigits(st->files, DropSlot::Previous, "019");
    putDropDigits(st->files, DropSlot::Current, "020");
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->inextok, 0);

    std::filesystem::remove(cruise / "DEMO01r_011.KTD");
    pointat(10);
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->inextok, 0);
    EXPECT_TRUE(toolkit::takeBoxes().empty());
}

TEST_F(DropLoading, AnUnreadableCurrentDropKeepsNothingOfTheDropBefore) {
    ASSERT_FALSE(droploading(*st).ends());
    ASSERT_GT(st->store[2].nread, 0);
    std::filesystem::remove(cruise / "DEMO01r_002.KTD");
    pointat(2);
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->store[2].ainfo.cols(1, 5), "no002");
    EXPECT_EQ(st->store[2].npts, 0);
    EXPECT_EQ(st->store[4].npts, 0);
    EXPECT_EQ(st->store[1].ainfo.cols(1, 5), "r_001");
}

TEST_F(DropLoading, ReloadKeepsTheDropsEvenAfterAWrite) {
    ASSERT_FALSE(droploading(*st).ends());
    st->i9 = 1;
    st->store[2].iclass[5] = 3;
    ASSERT_FALSE(droploading(*st, LoadEntry::Reload).ends());
    EXPECT_EQ(st->idropnum, 1);
    EXPECT_EQ(digits(st->files.f2r), "001");
    EXPECT_EQ(st->store[2].iclass[5], 0);
}

TEST_F(DropLoading, HiddenNeighboursAreLoadedButNotDrawn) {
    pointat(5);
    st->plot.ihideprev = 1;
    st->plot.ihidenext = 1;
    toolkit::takeTrace();
    ASSERT_FALSE(droploading(*st).ends());
    EXPECT_EQ(st->store[1].ainfo.cols(1, 5), "r_004");
    EXPECT_EQ(st->inextok, 1);
    const auto trace = toolkit::takeTrace();
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                            [](const auto& e) {
                                return e.op == "IGrCharOut" && e.text.find("r_00") != std::string::npos;
                            }),
              1);
}

}  // namespace
