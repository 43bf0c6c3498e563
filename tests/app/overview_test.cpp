// The cruise overview on a cruise of five drops with every status: its rows
// and heading, the raw files read once per change, and its share of the main
// loop (O, a row activated, a write).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/droploading.h"
#include "app/mainloop.h"
#include "app/overview.h"
#include "droploading_fixture.h"
#include "toolkit/panel.h"

namespace {

class OverviewTest : public CruiseTest {
protected:
    void SetUp() override {
        CruiseTest::SetUp();
        const int statuses[] = {1, -1, -4, 0, 0};
        std::string list;
        for (int d = 1; d <= 5; ++d) {
            std::string line = file("stations.dat").substr(std::size_t(d - 1) * 71, 70);
            const std::string s = std::to_string(statuses[d - 1]);
            line.replace(57, 5, std::string(5 - s.size(), ' ') + s);
            list += line + "\n";
        }
        write(cruise / "stations.dat", list + "ENDDATA\n");
        st->stations = StationTable{};
        ASSERT_EQ(parseStations(file("stations.dat"), st->stations).failure, StationFailure::None);
        choosedrop(st->stations, st->files, st->idropnum, st->inext);
        const int samples[] = {40, 100, 1000, 2000};
        for (int d = 1; d <= 4; ++d) raw(d, samples[d - 1]);
        std::filesystem::remove(cruise / "DEMO01r_005.KTD");
        const std::string hdr = "header line one\nheader line two\n";
        write(cruise / "DEMO01q.001", hdr + "   1000 20000 1   \n");
        write(cruise / "DEMO01e.001", hdr + "  1 20000 1   \n");
        write(cruise / "DEMO01q.002", hdr + "   1000 20000 4 NG\n");
        write(cruise / "DEMO01e.002", hdr + "  1 20000 4 NG\n");
        write(cruise / "DEMO01e.003", hdr + "  1 20000 4 TP\n");  // edited from the two-metre files
    }
    // A raw file of n samples; the deepest lies at 6.472 t - 0.00216 t^2 for t = n / 10 s.
    void raw(int drop, int n) {
        std::string s = "XBT: " + std::to_string(n) + "\n";
        for (int i = 1; i <= n; ++i) s += i % 20 == 0 ? "15000\n" : "15000";
        write(cruise / ("DEMO01r_00" + std::to_string(drop) + ".KTD"), s + "\n");
    }
    static std::vector<std::string> column(OverviewColumn c) {
        std::vector<std::string> v;
        for (const auto& r : toolkit::panelView().rows) v.push_back(r[std::size_t(c)]);
        return v;
    }
    std::optional<Outcome> send(int type, int data1) {
        EventRecord e;
        e.data1 = data1;
        const auto a = overviewevent(*st, type, e);
        return a ? std::optional<Outcome>(carryout(*st, *a)) : std::nullopt;
    }
};

using V = std::vector<std::string>;

TEST_F(OverviewTest, RowsAndHeadingShowEveryStatusAndFile) {
    showoverview(*st);
    const auto& p = toolkit::panelView();
    EXPECT_TRUE(p.shown);
    EXPECT_EQ(p.heading, "3 of 5 edited: 1 accepted, 1 bad, 1 test probe");
    ASSERT_EQ(p.rows.size(), 5u);
    EXPECT_EQ(p.rows[0], (V{"001", "09/03/26", "02:25:44", "-27.136", "154.249", "accepted", "yes", "yes", "",
                            "25.9", "WBR 25.9 m"}));
    EXPECT_EQ(column(OverviewColumn::Status),
              (V{"accepted", "bad", "test probe", "not edited", "not edited"}));
    EXPECT_EQ(column(OverviewColumn::QFile), (V{"yes", "yes", "no", "no", "no"}));
    EXPECT_EQ(column(OverviewColumn::EFile), (V{"yes", "yes", "yes", "no", "no"}));
    EXPECT_EQ(column(OverviewColumn::Code), (V{"", "NG", "TP", "", ""}));
    EXPECT_EQ(column(OverviewColumn::Deepest), (V{"25.9", "64.5", "625.6", "1208.0", ""}));
    EXPECT_EQ(p.marked, 4) << "the first drop not edited is the current one";
    EXPECT_TRUE(p.focused);
}

TEST_F(OverviewTest, RawFilesAreReadOnceAndAgainWhenTheyChangeAndLeaveNoLogRecord) {
    showoverview(*st);
    WPanelHide();
    showoverview(*st);
    EXPECT_EQ(st->overview.rawreads, 4);
    raw(1, 100);
    showoverview(*st);
    EXPECT_EQ(st->overview.rawreads, 5);
    EXPECT_EQ(column(OverviewColumn::Deepest)[0], "64.5");
    EXPECT_EQ(st->mainLog.text(), "");
}

TEST_F(OverviewTest, OGoesToARowAndAWriteUpdatesItsRowAndTheMark) {
    ASSERT_TRUE(send(EventType::KeyDown, 'o'));
    EXPECT_TRUE(WPanelShown());
    // A row beyond the list, or none, goes nowhere.
    for (int row : {0, 6}) {
        ASSERT_TRUE(send(EventType::PanelRow, row));
        EXPECT_EQ(st->idropnum, 4);
    }
    ASSERT_TRUE(send(EventType::PanelRow, 2));
    EXPECT_EQ(st->idropnum, 2);
    EXPECT_EQ(digits(st->files.f1r) + digits(st->files.f2r) + digits(st->files.f3r), "001002003");
    EXPECT_FALSE(toolkit::panelView().focused) << "the keyboard is back on the plot";
    followoverview(*st);
    EXPECT_EQ(toolkit::panelView().marked, 2);

    ASSERT_FALSE(bad(*st).ends());
    EXPECT_EQ(toolkit::panelView().heading, "3 of 5 edited: 1 accepted, 1 bad, 1 test probe");
    ASSERT_FALSE(cutwrite(*st).ends());  // drop 3, the test probe, now accepted
    EXPECT_EQ(toolkit::panelView().heading, "3 of 5 edited: 2 accepted, 1 bad, 0 test probe");
    EXPECT_EQ(toolkit::panelView().rows[2][std::size_t(OverviewColumn::QFile)], "yes");
    followoverview(*st);
    EXPECT_EQ(toolkit::panelView().marked, 4);

    EXPECT_FALSE(send(EventType::KeyDown, 'W')) << "other keys are not the overview's";
    ASSERT_TRUE(send(EventType::KeyDown, 'O'));
    EXPECT_FALSE(WPanelShown());
}

}  // namespace
