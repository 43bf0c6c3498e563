// The station list: ch2real, reading with its warnings and failures, the
// choice of the drop, the status update, the label, and the exit rewrite.
#include "app/stations.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <random>

#include "app_fixture.h"
#include "base/atomic_file.h"

namespace fs = std::filesystem;

namespace {

// A drop line with the columns of the list: drop digits in 2-4, flag in 10,
// date in 19-26, time in 28-35, latitude 38-44, longitude 47-53, status 58-62.
std::string stationLine(int drop, std::string_view status, std::string_view date = "09/12/26") {
    FixedText<70> l;
    l.put(1, " " + dropDigits(drop));
    l.put(10, "A");
    l.put(19, date);
    l.put(28, "12:34:56");
    l.put(38, "-33.500");
    l.put(47, "151.250");
    l.putField(58, 62, status);
    l.put(63, "tail");
    return std::string(l.trimmed());
}

std::string listOf(std::initializer_list<int> statuses, std::string_view end = "ENDDATA\n") {
    std::string s;
    int d = 0;
    for (int st : statuses) s += stationLine(++d, writeI(st, 5)) + "\n";
    return s + std::string(end);
}

std::vector<std::string> warnings(const StationRead& r) {
    std::vector<std::string> w;
    for (const auto& e : r.events) {
        if (e.kind == StationEvent::Kind::Warning) w.push_back(e.text);
    }
    return w;
}

TEST(Ch2real, ReadsDigitsSignsAndFractionsAsTheListWritesThem) {
    EXPECT_FLOAT_EQ(ch2real("012", 1, 3), 12.0f);
    EXPECT_FLOAT_EQ(ch2real(" 12", 1, 3), 12.0f);
    EXPECT_FLOAT_EQ(ch2real("-1.5", 1, 4), -1.5f);
    EXPECT_FLOAT_EQ(ch2real("  12 ", 1, 5), 0.0f);  // the trailing blank ends the digits early
    EXPECT_FLOAT_EQ(ch2real("  12", 1, 4), 12.0f);
    EXPECT_FLOAT_EQ(ch2real(" 007", 2, 3), 7.0f);
    EXPECT_FLOAT_EQ(ch2real("   ", 1, 3), 0.0f);
    EXPECT_GT(ch2real("ABC", 1, 3), 999.0f);    // letters fall outside the range
    EXPECT_FLOAT_EQ(ch2real("7", 1, 3), 7.0f);  // past the text reads as blanks
}

TEST(ParseStations, FilesEachLineUnderItsDropWithItsFields) {
    StationTable t;
    const auto r = parseStations(
        stationLine(1, "    1") + "\r\n" + stationLine(2, "", " 9/ 1/26") + "\n END\njunk\n", t);
    EXPECT_EQ(r.failure, StationFailure::None);
    EXPECT_TRUE(warnings(r).empty());
    ASSERT_EQ(t.nlines, 2);
    EXPECT_EQ(t[1].istatus, 1);
    EXPECT_EQ(t[2].istatus, 0);  // a blank status reads as 0
    EXPECT_EQ(t[2].adate.view(), "09/01/26");
    EXPECT_EQ(t[2].alines.cols(19, 26), " 9/ 1/26");  // the line keeps its blanks
    EXPECT_EQ(t[1].alat.view(), "-33.500");
    EXPECT_EQ(t[1].alon.view(), "151.250");
    EXPECT_EQ(t[1].aflag.view(), "A");
    EXPECT_EQ(t[1].atime.view(), "12:34:56");
    EXPECT_EQ(t[1].atail.view(), "tail    ");
    EXPECT_EQ(t[1].adropno.view(), "001");
}

TEST(ParseStations, BadDropNumbersAreWarnedAboutAndSkipped) {
    StationTable t;
    const auto r = parseStations(
        stationLine(1, "0") + "\n\n" + "x000 zero\n" + "xABC garbage\n" + stationLine(2, "0") + "\nENDDATA\n",
        t);
    EXPECT_EQ(r.failure, StationFailure::None);
    EXPECT_EQ(t.nlines, 2);
    EXPECT_EQ(warnings(r), (std::vector<std::string>{
                               "Edit (wordpad!) stations.dat to remove blank lines!",
                               "Edit (wordpad!) stations.dat to remove garbage characters!",
                               "Edit (wordpad!) stations.dat to remove garbage characters!",
                               "Edit (wordpad!) stations.dat to remove garbage characters!",
                               "Maximum number of lines reached in stations.dat!",
                           }));
    int skipped = 0;
    for (const auto& e : r.events) skipped += e.text.find("skipped") != std::string::npos;
    EXPECT_EQ(skipped, 3);
}

TEST(ParseStations, DropsOutOfOrderOrBadStatusesOrNoDropsAreFailures) {
    StationTable t;
    auto r = parseStations(stationLine(1, "0") + "\n" + stationLine(3, "0") + "\n", t);
    EXPECT_EQ(r.failure, StationFailure::Order);
    EXPECT_EQ(r.orderLine, 2);
    EXPECT_EQ(r.orderDrop, 3);
    r = parseStations(stationLine(1, "0") + "\n" + stationLine(1, "0") + "\n", t);
    EXPECT_EQ(r.failure, StationFailure::Order);

    r = parseStations(stationLine(1, "  1.5") + "\n", t);
    EXPECT_EQ(r.failure, StationFailure::Read);
    r = parseStations(stationLine(1, "   x1") + "\n", t);
    EXPECT_EQ(r.failure, StationFailure::Read);

    for (std::string list : {"ENDDATA\n", " END\n", "", "\n\n"}) {
        r = parseStations(list, t);
        EXPECT_EQ(r.failure, StationFailure::EndOfFile) << list;
        EXPECT_EQ(t.nlines, 0);
    }
}

struct Choice {
    int idropnum, inext;
    std::string previous, current, next;
};

Choice choose(std::initializer_list<int> statuses) {
    StationTable t;
    EXPECT_EQ(parseStations(listOf(statuses), t).failure, StationFailure::None);
    DropFiles f;
    f.f1r = PathText("/c/");
    EXPECT_FALSE(buildTemplates(f, 3, FixedText<13>("V1"), 2));
    Choice c{};
    choosedrop(t, f, c.idropnum, c.inext);
    c.previous = std::string(f.f1r.cols(8, 10));
    c.current = std::string(f.f2r.cols(8, 10));
    c.next = std::string(f.f3r.cols(8, 10));
    EXPECT_EQ(f.f1q.cols(8, 10), c.previous);
    EXPECT_EQ(f.f2q.cols(8, 10), c.current);
    EXPECT_EQ(f.f3q.cols(8, 10), c.next);
    return c;
}

TEST(Choosedrop, EditsTheFirstUneditedDropWithTheLastAcceptedBeforeIt) {
    auto c = choose({1, 1, 0, 0, 0});
    EXPECT_EQ(c.idropnum, 3);
    EXPECT_EQ(c.inext, 4);
    EXPECT_EQ(c.previous, "002");
    EXPECT_EQ(c.current, "003");
    EXPECT_EQ(c.next, "004");

    c = choose({1, -1, 0});
    EXPECT_EQ(c.idropnum, 3);
    EXPECT_EQ(c.previous, "001");  // the bad drop is passed over

    c = choose({-1, 0});
    EXPECT_EQ(c.idropnum, 2);
    EXPECT_EQ(c.previous, "001");  // from the templates

    c = choose({1, -4, 1});
    EXPECT_EQ(c.idropnum, 1);
    EXPECT_EQ(c.previous, "000");
    EXPECT_EQ(c.current, "001");
    EXPECT_EQ(c.next, "002");

    c = choose({1, 0});
    EXPECT_EQ(c.idropnum, 2);
    EXPECT_EQ(c.inext, 3);
    EXPECT_EQ(c.next, "001");  // past the last drop the template stays
}

TEST(Stations, StatusUpdateChangesOnlyItsColumnsAndLabelTakesTheStationFields) {
    StationTable t;
    ASSERT_EQ(parseStations(listOf({0, 0}), t).failure, StationFailure::None);
    const auto before = t[2].alines;
    updatestatus(t, 2, -4);
    EXPECT_EQ(t[2].istatus, -4);
    EXPECT_EQ(t[2].alines.cols(58, 62), "   -4");
    EXPECT_EQ(t[2].alines.cols(1, 57), before.cols(1, 57));
    EXPECT_EQ(t[2].alines.cols(63, 70), before.cols(63, 70));
    updatestatus(t, 1000, 1);  // outside the table: nothing happens

    SlotLabel ainfo("12345xxxxxxxxxxxxxxxx");
    writeinfoesedit(ainfo, t, 2);
    EXPECT_EQ(ainfo.view(), "12345 -33.50 151.25TA");
}

TEST(Stations, RewriteKeepsLinesTheFileGainedAndPadsEveryLine) {
    StationTable t;
    ASSERT_EQ(parseStations(listOf({0, 0, 0, 0, 0}), t).failure, StationFailure::None);
    updatestatus(t, 1, 1);
    int nlinesnow = 0;
    const std::string atExit = listOf({0, 0, 0, 0, 0, 0, 0}, " END\n");
    const std::string out = stationsBytes(t, atExit, nlinesnow);
    EXPECT_EQ(nlinesnow, 7);
    LineReader lines(out);
    std::string_view l;
    std::vector<std::string> got;
    while (lines.next(l)) got.emplace_back(l);
    ASSERT_EQ(got.size(), 8u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(got[static_cast<std::size_t>(i)].size(), 70u);
    EXPECT_EQ(got[0].substr(57, 5), "    1");
    EXPECT_EQ(got[6].substr(1, 3), "007");
    EXPECT_EQ(got[7], "ENDDATA");

    // Fewer lines at exit: the table is written whole, no line comes back.
    const std::string shorter = stationsBytes(t, listOf({0, 0}, ""), nlinesnow);
    EXPECT_EQ(nlinesnow, 2);
    EXPECT_EQ(shorter.size(), 5u * 71 + 8);
}

TEST(ParseStations, AnEndLineBeforeTheFirstDropIsPassedOverNotTheEnd) {
    StationTable t;
    const auto r = parseStations(" END\n" + listOf({1, 0}), t);
    EXPECT_EQ(r.failure, StationFailure::None);
    EXPECT_EQ(t.nlines, 2) << "the drops after it are read, so the rewrite keeps them";
    EXPECT_EQ(warnings(r), (std::vector<std::string>{
                               "Edit (wordpad!) stations.dat to remove garbage characters!",
                               "Maximum number of lines reached in stations.dat!",
                           }));
    EXPECT_EQ(parseStations("ENDDATA\n" + listOf({0}), t).failure, StationFailure::EndOfFile);
}

TEST(Stations, RewriteAfterPassedOverLinesWritesNoDropTwice) {
    const std::string list = "\n" + stationLine(1, "0") + "\nxABC\n" + stationLine(2, "0") + "\n";
    StationTable t;
    ASSERT_EQ(parseStations(list + "ENDDATA\n", t).failure, StationFailure::None);
    ASSERT_EQ(t.nlines, 2);
    int nlinesnow = 0;
    std::string out = stationsBytes(t, list + "ENDDATA\n", nlinesnow);
    EXPECT_EQ(nlinesnow, 2) << "an unchanged file has not grown";
    // The passed-over lines stay where they stood.
    EXPECT_EQ(out, std::string(70, ' ') + "\n" + std::string(t[1].alines.view()) + "\n" +
                       std::string(FixedText<70>("xABC").view()) + "\n" + std::string(t[2].alines.view()) +
                       "\nENDDATA\n");

    // Lines gained at exit still follow, whatever they hold.
    out = stationsBytes(t, list + stationLine(3, "0") + "\n\n", nlinesnow);
    EXPECT_EQ(nlinesnow, 4);
    LineReader lines(out);
    std::string_view l;
    std::vector<std::string> got;
    while (lines.next(l)) got.emplace_back(l);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[4].substr(1, 3), "003");
    EXPECT_EQ(got[5], std::string(70, ' '));
    EXPECT_EQ(got[6], "ENDDATA");
}

// Lists as operators and other programs leave them: any line ends, blank
// and garbage lines among the drops, lines appended while the editor ran.
// Every line before the terminator comes back once, in its place, as 70
// columns; only the status columns of the drop lines change.
TEST(Stations, RewriteKeepsEveryLineInItsPlaceWhateverTheLineEnds) {
    std::mt19937 rng(9);
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const auto garbage = [&] {
        // Three letters at least: "#T" would read as drop 36 ('T' - '0').
        std::string g = "#";
        for (int i = 3 + pick(73); i > 0; --i) g += static_cast<char>('A' + pick(26));
        return g;
    };
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> lines;
        int drops = 0;
        for (int i = pick(25); i > 0; --i) {
            const int kind = pick(8);
            if (kind < 5) lines.push_back(stationLine(++drops, writeI(pick(2), 5)));
            if (kind == 5) lines.push_back(pick(2) ? "" : "   ");
            if (kind == 6) lines.push_back(garbage());
            if (kind == 7 && drops == 0) lines.push_back(" END");
        }
        if (drops == 0) continue;
        std::vector<std::string> atExit = lines;
        for (int i = pick(4); i > 0; --i) atExit.push_back(pick(2) ? stationLine(++drops, "0") : garbage());
        static constexpr const char* ends[] = {"\n", "\r\n", "\r"};
        const auto join = [&](const std::vector<std::string>& ls) {
            std::string b;
            for (const auto& l : ls) {
                // A lone CR, then an empty line ended by LF, reads as one CRLF.
                const bool afterCr = !b.empty() && b.back() == '\r';
                b += l + (afterCr && l.empty() ? "\r" : ends[pick(3)]);
            }
            return b + (pick(2) ? "ENDDATA" : " END") + ends[pick(3)];
        };
        StationTable t;
        ASSERT_EQ(parseStations(join(lines), t).failure, StationFailure::None);
        for (int d = 1; d <= t.nlines; ++d) {
            if (pick(2)) updatestatus(t, d, std::array{1, -1, -4}[static_cast<std::size_t>(pick(3))]);
        }
        int nlinesnow = 0;
        const std::string out = stationsBytes(t, join(atExit), nlinesnow);
        ASSERT_EQ(out.size(), atExit.size() * 71 + 8) << "no line missing or doubled";
        int drop = 0;
        for (std::size_t i = 0; i < atExit.size(); ++i) {
            FixedText<70> want(atExit[i]);
            if (atExit[i].rfind(" ", 0) == 0 && atExit[i].size() > 60 && ++drop <= t.nlines)
                want.putField(58, 62, writeI(t[drop].istatus, 5));
            EXPECT_EQ(out.substr(i * 71, 71), std::string(want.view()) + "\n") << "round " << round;
        }
        EXPECT_EQ(out.substr(atExit.size() * 71), "ENDDATA\n");
    }
}

TEST(Stations, RestoredDropsAreNamedAsTheOperatorReadsThem) {
    StationTable t;
    ASSERT_EQ(parseStations(listOf({0, 0, 0, 0, 0}), t).failure, StationFailure::None);
    const std::string head = "The last session ended before stations.dat was written; ";
    EXPECT_EQ(restoredMessage(t, {3}), head + "the status of drop 003 is restored from its journal");
    EXPECT_EQ(restoredMessage(t, {1, 4}),
              head + "the statuses of drops 001 and 004 are restored from its journal");
    EXPECT_EQ(restoredMessage(t, {3, 4, 5}),
              head + "the statuses of drops 003, 004 and 005 are restored from its journal");
}

// Only lines of this list's drops count: a line of another list, of a drop
// the list does not hold, one cut short by a kill, or one that sets the
// status the list already has restores nothing.
TEST(Stations, TheJournalRestoresOnlyWhatItHoldsForThisList) {
    StationTable t;
    ASSERT_EQ(parseStations(listOf({1, 0, 0, 0}), t).failure, StationFailure::None);
    StationTable other;
    ASSERT_EQ(parseStations(listOf({0, 0, 0, 0, 0, 0}), other).failure, StationFailure::None);
    const auto lineOf = [](StationTable& table, int drop, int status) {
        updatestatus(table, drop, status);
        return std::string(table[drop].alines.view()) + "\n";
    };
    std::string foreign = lineOf(other, 3, 1);
    foreign.replace(40, 3, "999");
    const std::string journal = lineOf(other, 2, 1) + lineOf(other, 2, -4) + lineOf(other, 1, 1) + foreign +
                                lineOf(other, 6, 1) + lineOf(other, 4, -1).substr(0, 50);
    EXPECT_EQ(applyjournal(journal, t), std::vector<int>{2});
    EXPECT_EQ(t[2].istatus, -4) << "the last line of a drop holds its status";
    EXPECT_EQ(t[2].alines.cols(58, 62), "   -4");
    EXPECT_EQ(t[3].istatus, 0);
    EXPECT_EQ(t[4].istatus, 0);
}

class StationFileTest : public AppTest {
protected:
    PathText path() const { return PathText((root / "stations.dat").string()); }
    StationTable t;
    Log startLog = Log::memory();
    Log mainLog = Log::memory();
};

TEST_F(StationFileTest, ExitRewriteReportsAGrownFileAndWritesItAtomically) {
    write(root / "stations.dat", listOf({0, 0, 0, 0, 0}));
    ASSERT_FALSE(readStations(path(), t, startLog, mainLog).ends());
    EXPECT_NE(startLog.text().find("read: "), std::string::npos);
    EXPECT_NE(startLog.text().find(stationLine(5, "    0")), std::string::npos);
    updatestatus(t, 1, -1);
    write(root / "stations.dat", listOf({0, 0, 0, 0, 0, 0, 0}));
    const Outcome o = exitrewrite(path(), t, mainLog, 0);
    EXPECT_TRUE(o.ends());
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(mainLog.text().find("stations.dat differs from begining of edit sesson\n5 7\n"),
              std::string::npos);
    const std::string after = read(root / "stations.dat");
    EXPECT_EQ(after.size(), 7u * 71 + 8);
    EXPECT_EQ(after.substr(57, 5), "   -1");
}

TEST_F(StationFileTest, AJournalOfARunWithoutItsRewriteIsAppliedAndTheNextRewriteRemovesIt) {
    write(root / "stations.dat", listOf({0, 0, 0, 0, 0}));
    ASSERT_FALSE(readStations(path(), t, startLog, mainLog).ends());
    for (auto [drop, status] : {std::pair{3, 1}, {4, -1}, {5, -4}}) {
        updatestatus(t, drop, status);
        journalstatus(path(), t, drop, mainLog);
    }
    const fs::path journal = root / ".stations.dat.journal";
    EXPECT_EQ(read(journal).size(), 3u * 71);
    EXPECT_EQ(journalPath(path()), journal.string());

    // The run is killed here; the next one reads the list and its journal.
    StationTable next;
    Log nextStart = Log::memory();
    ASSERT_FALSE(readStations(path(), next, nextStart, mainLog).ends());
    const std::string message =
        "The last session ended before stations.dat was written; the statuses of drops 003, 004 and 005 are "
        "restored from its journal";
    auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Statuses restored");
    EXPECT_EQ(boxes[0].message, message);
    EXPECT_EQ(boxes[0].buttons, 0);
    EXPECT_EQ(boxes[0].icon, 4);
    EXPECT_NE(nextStart.text().find(message + "\n"), std::string::npos);
    EXPECT_EQ(next[4].istatus, -1);

    EXPECT_EQ(exitrewrite(path(), next, mainLog, 0).status, 0);
    const std::string after = read(root / "stations.dat");
    EXPECT_EQ(after.size(), 5u * 71 + 8);
    StationTable written;
    ASSERT_EQ(parseStations(after, written).failure, StationFailure::None);
    for (auto [drop, status] : {std::pair{1, 0}, {2, 0}, {3, 1}, {4, -1}, {5, -4}})
        EXPECT_EQ(written[drop].istatus, status) << drop;
    EXPECT_FALSE(fs::exists(journal)) << "a clean exit leaves no journal";
}

TEST_F(StationFileTest, AJournalThatCannotBeWrittenIsToldAsAFailedWrite) {
    write(root / "stations.dat", listOf({0, 0}));
    ASSERT_FALSE(readStations(path(), t, startLog, mainLog).ends());
    fs::create_directory(root / ".stations.dat.journal");
    updatestatus(t, 1, 1);
    journalstatus(path(), t, 1, mainLog);
    const std::string journal = (root / ".stations.dat.journal").string();
    const std::string message =
        "Error writing " + journal + ": " + journal + " is a directory, not a regular file";
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Error Info");
    EXPECT_EQ(boxes[0].message.rfind(message, 0), 0u) << boxes[0].message;
    EXPECT_NE(mainLog.text().find(message), std::string::npos);
}

TEST_F(StationFileTest, AListWithoutDropsIsRewrittenToJustTheTerminator) {
    write(root / "stations.dat", "ENDDATA\n");
    const Outcome o = readStations(path(), t, startLog, mainLog);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(mainLog.text().find(" OMQA: end of file in stations.dat \n"), std::string::npos);
    const auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message,
              (root / "stations.dat").string() + " lists no drop before its end; there is nothing to edit");
    EXPECT_EQ(read(root / "stations.dat"), "ENDDATA\n");
}

TEST_F(StationFileTest, OpenReadAndOrderFailuresShowTheirMessageAndLeaveTheFile) {
    Outcome o = readStations(path(), t, startLog, mainLog);
    EXPECT_EQ(o.status, 1);
    auto boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "Error opening stations.dat, are you in correct dir?");
    EXPECT_NE(mainLog.text().find(" OMQA: error opening stations.dat \n"), std::string::npos);

    const std::string unordered = stationLine(2, "0") + "\n";
    write(root / "stations.dat", unordered);
    o = readStations(path(), t, startLog, mainLog);
    EXPECT_EQ(o.status, 1);
    boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.back().message,
              "stations.dat must list drops 1, 2, 3, ... in order: line 1 holds drop 2");
    EXPECT_EQ(read(root / "stations.dat"), unordered);

    // A status that is no number names its line.
    const std::string garbage = stationLine(1, "  abc");
    write(root / "stations.dat", garbage + "\n");
    o = readStations(path(), t, startLog, mainLog);
    EXPECT_EQ(o.status, 1);
    boxes = toolkit::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "Error reading stations.dat, is it corrupted? Line 1 of " +
                                    (root / "stations.dat").string() +
                                    " has no whole number as its status (columns 58-62): \"" +
                                    FixedText<70>(garbage).str() + "\"");
}

}  // namespace
