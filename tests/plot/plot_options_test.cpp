// The Plot range settings and the command's wait for OK or Cancel.
#include <gtest/gtest.h>

#include <deque>

#include "picture.h"
#include "plot/plot_options.h"

namespace {

PlotRangeFields allFields() {
    PlotRangeFields f;
    f.tmin = -2.5f, f.tmax = 32.0f;
    f.idepgrid = 0, f.itempgrid = 1, f.igridstep = 5, f.ilinewidth = 3, f.ihideprev = 1, f.ihidenext = 0;
    return f;
}

// Hands out the given events, then OK, so that a faulty loop cannot hang.
MessageWait events(std::deque<std::pair<int, int>> queue) {
    return [queue](int& type, EventRecord& e) mutable {
        e = {};
        if (queue.empty()) {
            type = EventType::PushButton, e.source = 108, e.data1 = 1;
            return;
        }
        type = queue.front().first;
        e.source = type == EventType::PushButton ? 108 : 0;
        e.data1 = queue.front().second;
        queue.pop_front();
    };
}

}  // namespace

TEST(PlotRange, TakesEveryValueInItsRange) {
    PlotSettings s;
    applyplotrange(s, allFields());
    EXPECT_FLOAT_EQ(s.tmin, -2.5f);
    EXPECT_FLOAT_EQ(s.tmax, 32.0f);
    EXPECT_EQ(s.idepgrid, 0);
    EXPECT_EQ(s.itempgrid, 1);
    EXPECT_EQ(s.igridstep, 5);
    EXPECT_EQ(s.ilinewidth, 3);
    EXPECT_EQ(s.ihideprev, 1);
    EXPECT_EQ(s.ihidenext, 0);

    // The minimum may lie above the maximum; the plot copes.
    PlotRangeFields f;
    f.tmin = 40.0f, f.tmax = 10.0f;
    applyplotrange(s, f);
    EXPECT_FLOAT_EQ(s.tmin, 40.0f);
    EXPECT_FLOAT_EQ(s.tmax, 10.0f);
}

TEST(PlotRange, EmptyOrWildFieldsKeepTheSetting) {
    const PlotSettings before;
    PlotSettings s;
    applyplotrange(s, PlotRangeFields{});
    EXPECT_FLOAT_EQ(s.tmin, before.tmin);
    EXPECT_EQ(s.igridstep, before.igridstep);

    // An empty number field reads back as -999.
    PlotRangeFields f;
    f.tmin = -999.0f, f.tmax = 50.5f, f.igridstep = -999, f.ilinewidth = 4, f.idepgrid = 2,
    f.ihidenext = -999;
    f.itempgrid = 0;
    applyplotrange(s, f);
    EXPECT_FLOAT_EQ(s.tmin, before.tmin);
    EXPECT_FLOAT_EQ(s.tmax, before.tmax);
    EXPECT_EQ(s.igridstep, before.igridstep);
    EXPECT_EQ(s.ilinewidth, before.ilinewidth);
    EXPECT_EQ(s.idepgrid, before.idepgrid);
    EXPECT_EQ(s.ihidenext, before.ihidenext);
    EXPECT_EQ(s.itempgrid, 0);
}

TEST(PlotRange, RedrawsOnExposeAndOkButNotOnMenus) {
    startTracing();
    PlotSettings s;
    int redraws = 0;
    const bool ok = plotoptions(
        s, [&] { ++redraws; },
        events({{EventType::Expose, 0},
                {EventType::MenuSelect, 40011},
                {EventType::Resize, 0},
                {EventType::KeyDown, 13},
                {EventType::PushButton, 1}}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(redraws, 3);
}

TEST(PlotRange, CancelChangesNothing) {
    startTracing();
    PlotSettings s;
    s.tmin = 3, s.igridstep = 4, s.ihideprev = 1;
    const PlotSettings before = s;
    int redraws = 0;
    EXPECT_FALSE(plotoptions(
        s, [&] { ++redraws; }, events({{EventType::PushButton, 2}})));
    EXPECT_EQ(redraws, 0);
    EXPECT_FLOAT_EQ(s.tmin, before.tmin);
    EXPECT_EQ(s.igridstep, before.igridstep);
    EXPECT_EQ(s.ihideprev, before.ihideprev);
}
