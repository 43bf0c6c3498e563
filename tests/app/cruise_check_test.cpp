// The pre-screen of a cruise in the editor: which drop stands as the
// reference, the current drop's findings and marks, the A, E and S keys, and
// the envelope of the accepted drops.
#include <gtest/gtest.h>

#include "app/cruise_check.h"
#include "app/droploading.h"
#include "app/mainloop.h"
#include "droploading_fixture.h"
#include "toolkit/panel.h"

namespace {

class CruiseCheckTest : public CruiseTest {
protected:
    void setstatus(int drop, int status) { st->stations[drop].istatus = status; }
    bool key(char c) {
        EventRecord e;
        e.data1 = c;
        return prescreenevent(*st, EventType::KeyDown, e);
    }
    static int count(const std::vector<toolkit::TraceEntry>& trace, const std::string& op) {
        return int(std::count_if(trace.begin(), trace.end(), [&](const auto& t) { return t.op == op; }));
    }
};

TEST_F(CruiseCheckTest, ReferenceSkipsBadProbesAndDropsThatTheirOwnChecksReject) {
    struct Case {
        int drop;
        std::vector<std::pair<int, int>> statuses;
        int reference;
    } cases[] = {
        {5, {}, 3},                  // a spike is a reject of its own: drop 4 is passed over
        {12, {}, 10},                // so is drop 11's hit bottom
        {15, {}, 13},                // and drop 14's test probe
        {5, {{4, 1}}, 4},            // the operator's acceptance stands
        {4, {{3, -1}, {2, -4}}, 1},  // bad and test probe never stand
        {1, {}, 0},
    };
    for (const Case& c : cases) {
        for (int d = 1; d <= st->stations.nlines; ++d) setstatus(d, 0);
        for (auto [d, s] : c.statuses) setstatus(d, s);
        EXPECT_EQ(referencedrop(checkparts(*st), c.drop), c.reference) << "drop " << c.drop;
    }
}

// A zero or wrong-signed limit is not given, except "Check Profile Depth",
// whose zero or less switches the short-profile check off.
TEST(Thresholdsof, TakesTheCruisesLimitsAndCountsZeroOrAWrongSignAsNotGiven) {
    const Thresholds d;
    const auto settings = [](float tdzmx, float tdzrms, float dtdzmn, float dtdzth, float dtmx, float dtmx700,
                             int ichkprofdepth) {
        ControlSettings cs;
        cs.tdzmx = tdzmx, cs.tdzrms = tdzrms, cs.dtdzmn = dtdzmn, cs.dtdzth = dtdzth;
        cs.dtmx = dtmx, cs.dtmx700 = dtmx700, cs.ichkprofdepth = ichkprofdepth;
        return cs;
    };
    const Thresholds given = thresholdsof(settings(300, 90, -0.02f, 0.001f, 3.5f, 0.5f, 650));
    EXPECT_EQ(std::vector<float>({given.tdzmx, given.tdzrms, given.dtdzmn, given.dtdzth, given.dtmx,
                                  given.dtmx700, float(given.ichkprofdepth)}),
              std::vector<float>({300, 90, -0.02f, 0.001f, 3.5f, 0.5f, 650}));
    const Thresholds blank = thresholdsof(settings(0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(std::vector<float>({blank.tdzmx, blank.tdzrms, blank.dtdzmn, blank.dtdzth, blank.dtmx,
                                  blank.dtmx700, float(blank.ichkprofdepth)}),
              std::vector<float>({d.tdzmx, d.tdzrms, d.dtdzmn, d.dtdzth, d.dtmx, d.dtmx700, 0.0f}));
    EXPECT_EQ(thresholdsof(settings(450, 110, 0.011f, -1, -4.6f, 0.8f, -700)).dtdzmn, d.dtdzmn);
    EXPECT_EQ(thresholdsof(settings(450, 110, 0.011f, -1, -4.6f, 0.8f, -700)).ichkprofdepth, 0);
}

TEST_F(CruiseCheckTest, LoadedDropIsCheckedMarkedAndOffersItsSuggestionToA) {
    pointat(4);
    ASSERT_FALSE(droploading(*st, LoadEntry::Reload).ends());
    // The spike, and the wire break where the load's cut search stops too.
    ASSERT_EQ(st->findings.size(), 2u);
    const Finding& f = st->findings[0];
    EXPECT_EQ(std::string(f.code.view()), "SP");
    EXPECT_NEAR(f.depth, 310.0f, 5.0f);
    const Finding& w = st->findings[1];
    EXPECT_EQ(std::string(w.code.view()), "WB");
    EXPECT_NEAR(w.depth, st->cut.xdbr, 1.0f) << "at the last good point, where the cut stands";
    const auto trace = toolkit::takeTrace();
    EXPECT_EQ(count(trace, "IGrMarker"), 2 + 0) << "two diamonds, no coded point yet";
    EXPECT_EQ(findingtag(f).substr(0, 4), "SPR ");
    EXPECT_EQ(dropfindings(checkparts(*st), 4).size(), 2u) << "the overview sees what the load saw";

    // A takes the first suggestion not yet carried by its point.
    EXPECT_EQ(nextfinding(st->findings, st->store[2]), &st->findings[0]);
    st->store[2].code[static_cast<std::size_t>(f.point)] = f.code;
    EXPECT_EQ(nextfinding(st->findings, st->store[2]), &st->findings[1]);
    st->store[2].code[static_cast<std::size_t>(w.point)] = w.code;
    EXPECT_EQ(nextfinding(st->findings, st->store[2]), nullptr);
    EXPECT_TRUE(key('A'));
    EXPECT_EQ(toolkit::statusText(), "Drop 004: no suggestion left to apply");
}

TEST_F(CruiseCheckTest, EnvelopeNeedsThreeAcceptedDropsAndSortPutsTheWorstFirst) {
    pointat(5);
    ASSERT_FALSE(droploading(*st, LoadEntry::Reload).ends());
    setstatus(1, 1);
    setstatus(2, 1);
    EXPECT_TRUE(key('E'));
    EXPECT_TRUE(st->check.envelopeon);
    EXPECT_TRUE(st->check.envelope.empty());
    EXPECT_EQ(toolkit::statusText(), "No envelope yet: it needs 3 accepted drops");
    setstatus(3, 1);
    toolkit::takeTrace();
    EXPECT_TRUE(key('E'));
    EXPECT_TRUE(key('E'));
    ASSERT_FALSE(st->check.envelope.empty());
    // Bins from the surface down past 700 m, the band around the drops.
    EXPECT_EQ(st->check.envelope.front().top, 0.0f);
    EXPECT_GT(st->check.envelope.back().bottom, 700.0f);
    for (const auto& b : st->check.envelope) EXPECT_LE(b.tlo, b.thi);
    const auto trace = toolkit::takeTrace();
    EXPECT_GE(count(trace, "IGrPolygonFill"), 1);

    EXPECT_TRUE(key('S'));
    const std::vector<int> order = overvieworder(checkparts(*st));
    EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 5), (std::vector<int>{4, 14, 17, 11, 7}))
        << "rejects first, class 4 before 3, then repairs (PL); drops in their order among equals";
    setstatus(4, 1);
    EXPECT_EQ(overvieworder(checkparts(*st))[3], 7) << "an edited drop comes after those not yet edited";
    EXPECT_FALSE(key('Z'));
}

}  // namespace

// The list writes the day first ("24/04/23"): a drop a degree of latitude
// (60 nautical miles) from the one before within half an hour is a race
// on any day of the month and across the end of one, and a day apart it is
// none.
TEST_F(CruiseCheckTest, TrackReadsTheListsDateDayFirst) {
    const auto place = [this](int drop, const char* date, const char* time, const char* lat) {
        StationLine& l = st->stations[drop];
        l.adate = FixedText<8>(date);
        l.atime = FixedText<8>(time);
        l.alat = FixedText<7>(lat);
        l.alon = FixedText<7>("-80.000");
    };
    struct Case {
        const char *date1, *time1, *date2, *time2;
        bool race;
    } cases[] = {
        {"24/04/23", "01:00:00", "24/04/23", "01:30:00", true},
        {"30/04/23", "23:45:00", "01/05/23", "00:15:00", true},
        {"24/04/23", "01:00:00", "25/04/23", "01:30:00", false},
    };
    for (const Case& c : cases) {
        place(1, c.date1, c.time1, " 30.000");
        place(2, c.date2, c.time2, " 31.000");
        place(3, "28/05/23", "00:00:00", " 31.000");
        const auto& f = dropfindings(checkparts(*st), 2);
        const bool race = std::any_of(f.begin(), f.end(), [](const Finding& x) {
            return x.code == "TK" && x.sentence.rfind("Track: ", 0) == 0;
        });
        EXPECT_EQ(race, c.race) << c.date1 << " " << c.time1 << " to " << c.date2 << " " << c.time2;
    }
}
