// The Plot range settings and the command's wait for OK or Cancel.
#include <gtest/gtest.h>

#include <deque>

#include "picture.h"
#include "plot/plot_options.h"

TEST(PlotRange, TakesValuesInRangeAndKeepsTheRest) {
    PlotSettings s;
    PlotRangeFields f;
    f.tmin = 40.0f, f.tmax = 10.0f;  // the minimum may lie above the maximum
    f.idepgrid = 0, f.itempgrid = 1, f.igridstep = 5, f.ilinewidth = 3, f.ihideprev = 1, f.ihidenext = 0;
    applyplotrange(s, f);
    EXPECT_EQ(std::vector<float>({s.tmin, s.tmax}), std::vector<float>({40, 10}));
    EXPECT_EQ(
        std::vector<int>({s.idepgrid, s.itempgrid, s.igridstep, s.ilinewidth, s.ihideprev, s.ihidenext}),
        std::vector<int>({0, 1, 5, 3, 1, 0}));

    // A field left empty reads back as -999; nothing read at all changes nothing.
    const PlotSettings before = s;
    f.tmin = -999.0f, f.tmax = 50.5f, f.igridstep = -999, f.ilinewidth = 4, f.idepgrid = 2, f.ihideprev = {};
    applyplotrange(s, f);
    EXPECT_EQ(std::vector<float>({s.tmin, s.tmax}), std::vector<float>({before.tmin, before.tmax}));
    EXPECT_EQ(std::vector<int>({s.idepgrid, s.igridstep, s.ilinewidth, s.ihideprev}),
              std::vector<int>({before.idepgrid, before.igridstep, before.ilinewidth, before.ihideprev}));
}

TEST(PlotRange, RedrawsOnExposeAndOkOnlyAndCancelChangesNothing) {
    startTracing();
    // The given events, then OK for ever, so that a faulty loop cannot hang.
    const auto events = [](std::deque<std::pair<int, int>> queue) -> MessageWait {
        return [queue](int& type, EventRecord& e) mutable {
            e = {};
            type = EventType::PushButton, e.source = plotrangedialog, e.data1 = 1;
            if (queue.empty()) return;
            type = queue.front().first, e.data1 = queue.front().second;
            queue.pop_front();
        };
    };
    PlotSettings s;
    int redraws = 0;
    EXPECT_TRUE(plotoptions(
        s, [&] { ++redraws; },
        events({{EventType::Expose, 0},
                {EventType::MenuSelect, 40011},
                {EventType::Resize, 0},
                {EventType::KeyDown, 13},
                {EventType::PushButton, 1}})));
    EXPECT_EQ(redraws, 3);

    s.tmin = 3, s.igridstep = 4;
    redraws = 0;
    EXPECT_FALSE(plotoptions(
        s, [&] { ++redraws; }, events({{EventType::PushButton, 2}})));
    EXPECT_EQ(redraws, 0);
    EXPECT_EQ(s.tmin, 3);
    EXPECT_EQ(s.igridstep, 4);
}
