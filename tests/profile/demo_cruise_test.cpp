// The bundled demo cruise reads cleanly and looks like real XBT drops, so
// that a first run of the editor shows what operators meet.
#include <gtest/gtest.h>

#include <string>

#include "profile/rawdrop.h"
#include "test_util.h"

namespace {

const std::string kDir = std::string(DROPFIX_SOURCE_DIR) + "/examples/demo-cruise/";

RawDrop readDemo(int drop, std::vector<std::string>* log = nullptr) {
    const std::string prefix = kDir + "DEMO01";
    const std::string digits = std::string(drop < 10 ? "00" : "0") + std::to_string(drop);
    return rddropfix(FileName(prefix + "r_" + digits + ".KTD"), static_cast<int>(prefix.size()), fallrateA,
                     fallrateB, [log](std::string_view l, std::string_view v) {
                         if (log) log->push_back(std::string(l) + std::string(v));
                     });
}

// The temperature at the first sample at or below depth metres.
float temperatureAt(const RawDrop& r, float depth) {
    for (int i = 0; i < r.n; ++i)
        if (-r.depth[static_cast<std::size_t>(i)] >= depth) return r.t[static_cast<std::size_t>(i)];
    return -99.0f;
}

// A jump of more than half a degree below 699 m, as the break search sees it.
bool hasWireBreak(const RawDrop& r) {
    float tref = 0;
    for (int i = 0; i < r.n; ++i) {
        const float z = -r.depth[static_cast<std::size_t>(i)];
        const float t = r.t[static_cast<std::size_t>(i)];
        if (z <= 699.0f) {
            tref = t;
            continue;
        }
        if (t < tref - 0.5f || t > tref + 0.5f) return true;
        if (t < tref) tref = t;
    }
    return false;
}

TEST(DemoCruise, EveryDropReadsCleanlyWithItsHeader) {
    int breaks = 0;
    for (int drop = 1; drop <= 20; ++drop) {
        std::vector<std::string> log;
        const RawDrop r = readDemo(drop, &log);
        SCOPED_TRACE(drop);
        ASSERT_EQ(r.ierr, 0);
        EXPECT_GT(r.n, 400);
        EXPECT_LE(r.n, ndepmax);
        EXPECT_EQ(r.hdr.probecode, "051");
        EXPECT_EQ(r.hdr.recorder, "60");
        EXPECT_EQ(r.hdr.callsign, "VMCS");
        EXPECT_EQ(r.hdr.manufdate, "11-04-2025");
        EXPECT_EQ(r.hdr.seasid, "SEAS9 6");
        for (const auto& rec : log) EXPECT_EQ(rec.rfind("try reading last line", 0), 0u) << rec;
        if (hasWireBreak(r)) ++breaks;
    }
    EXPECT_GE(breaks, 12) << "most drops end in a wire break";
}

TEST(DemoCruise, ProfilesLookLikeAWarmOcean) {
    for (int drop : {1, 5, 10, 20}) {
        SCOPED_TRACE(drop);
        const RawDrop r = readDemo(drop);
        EXPECT_NEAR(temperatureAt(r, 5.0f), 27.5f, 1.5f);
        EXPECT_LT(temperatureAt(r, 250.0f), 14.0f);
        EXPECT_NEAR(temperatureAt(r, 700.0f), 5.0f, 0.8f);
    }
    EXPECT_LT(readDemo(17).depth[static_cast<std::size_t>(readDemo(17).n - 1)], 0.0f);
    EXPECT_GT(readDemo(17).depth[static_cast<std::size_t>(readDemo(17).n - 1)], -699.0f)
        << "one drop ends early";
    const RawDrop tp = readDemo(14);
    for (int i = 1; i < tp.n; ++i) ASSERT_EQ(tp.t[static_cast<std::size_t>(i)], tp.t[0]) << "the test probe";
}

}  // namespace
