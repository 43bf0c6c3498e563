// The pre-screen's checks one by one: for each, a profile that fires it, one
// just short of its threshold and a clean one; the thresholds that a cruise
// sets; and inputs that no reader should hand in but that must not hurt.
#include "qc/prescreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "qc/qccode.h"

namespace {

struct Prof {
    std::vector<float> depth, t;  // depths negative, as the store keeps them
    DropProfile view() const { return {depth, t}; }
    float z(std::size_t i) const { return -depth[i]; }
    // The first point at or below z metres, 0-based.
    std::size_t at(float zm) const {
        std::size_t i = 0;
        while (i + 1 < depth.size() && -depth[i] < zm) ++i;
        return i;
    }
};

double depthof(int i) {
    const double tau = 0.1 * i;
    return 6.472 * tau - 0.00216 * tau * tau;
}

// A warm-water drop of n samples: a mixed layer to mld over a thermocline
// that reaches about 5 degrees at 700 m, with 0.01 degrees of noise.
Prof ocean(int n = 1200, double mld = 70.0, std::uint64_t seed = 1) {
    Prof p;
    std::uint64_t x = seed;
    for (int i = 1; i <= n; ++i) {
        const double z = depthof(i);
        double t = 27.0 - 0.002 * z;
        if (z > mld) t = 4.0 + (27.0 - 0.002 * mld - 4.0) * std::exp(-(z - mld) / 200.0);
        x = 6364136223846793005ULL * x + 1442695040888963407ULL;
        t += 0.01 * (static_cast<double>(x >> 11) / 4503599627370496.0 - 1.0);
        p.depth.push_back(static_cast<float>(-z));
        p.t.push_back(static_cast<float>(t));
    }
    return p;
}

// Adds dt to every point from z0 down to (not including) z1.
Prof offset(Prof p, float z0, float z1, float dt) {
    for (std::size_t i = 0; i < p.t.size(); ++i)
        if (p.z(i) >= z0 && p.z(i) < z1) p.t[i] += dt;
    return p;
}

// A drop that ends on the sea floor at zb and goes on to zend, reading
// the floor with a little noise, or rocking on it by up to `rock` degrees.
Prof bottom(float zb, float zend, float rock = 0) {
    Prof p = ocean();
    const std::size_t b = p.at(zb);
    p.depth.resize(p.at(zend));
    p.t.resize(p.depth.size());
    const float floor = p.t[b];
    for (std::size_t i = b; i < p.t.size(); ++i)
        p.t[i] = floor + 0.004f * static_cast<float>(i % 3) + rock * std::sin(1.7f * static_cast<float>(i));
    return p;
}

Prof flat(int n, float t0, float range) {
    Prof p = ocean(n);
    for (std::size_t i = 0; i < p.t.size(); ++i)
        p.t[i] = t0 + range * static_cast<float>(i) / static_cast<float>(p.t.size() - 1);
    return p;
}

Prof top(Prof p, int points, float dt) {
    for (int i = 0; i < points; ++i) p.t[static_cast<std::size_t>(i)] += dt;
    return p;
}

// A premature launch: `early` samples on deck, then the drop from its start.
Prof launch(int early, float deck) {
    const Prof w = ocean();
    Prof p = w;
    for (std::size_t i = 0; i < p.t.size(); ++i)
        p.t[i] = i < static_cast<std::size_t>(early) ? deck : w.t[i - static_cast<std::size_t>(early)];
    return p;
}

Prof at(Prof p, float zm, std::vector<float> dts) {
    const std::size_t i = p.at(zm);
    for (std::size_t k = 0; k < dts.size(); ++k) p.t[i + k] += dts[k];
    return p;
}

// Every finding carries its catalogue entry, a point of the drop and its
// depth, a sentence, and they come in depth order.
void wellformed(const std::vector<Finding>& f, const DropProfile& d) {
    for (std::size_t k = 0; k < f.size(); ++k) {
        const auto& x = f[k];
        ASSERT_TRUE(x.index >= 1 && x.index <= nqccodes) << x.index;
        const auto& e = qccatalogue[static_cast<std::size_t>(x.index - 1)];
        EXPECT_EQ(x.code, e.code);
        EXPECT_EQ(x.iqc, e.iclass);
        ASSERT_TRUE(x.point >= 1 && static_cast<std::size_t>(x.point) <= d.size()) << x.point;
        EXPECT_TRUE(std::isfinite(x.depth));
        if (e.isurface == 0) {
            EXPECT_EQ(x.point, 1) << x.sentence;
        }
        EXPECT_FALSE(x.sentence.empty());
        if (k > 0) {
            EXPECT_LE(f[k - 1].depth, x.depth);
        }
    }
}

std::string describe(const std::vector<Finding>& f) {
    std::string s;
    for (const auto& x : f)
        s += "\n  " + std::string(x.code.view()) + " " + std::to_string(x.depth) + " " + x.sentence;
    return s;
}

struct Expect {
    int index;    // catalogue index
    float depth;  // metres, within 2 m (three points)
};

struct Case {
    const char* name;
    std::function<Prof()> drop;
    std::vector<Expect> want;  // exactly these findings, in depth order
};

void check(const Case& c, const Prof* ref = nullptr, const Prof* older = nullptr,
           const Thresholds& th = Thresholds{}) {
    SCOPED_TRACE(c.name);
    const Prof d = c.drop();
    const DropProfile r = ref ? ref->view() : DropProfile{};
    const DropProfile o = older ? older->view() : DropProfile{};
    const auto f = prescreen(d.view(), ref ? &r : nullptr, older ? &o : nullptr, th);
    wellformed(f, d.view());
    ASSERT_EQ(f.size(), c.want.size()) << describe(f);
    for (std::size_t k = 0; k < f.size(); ++k) {
        EXPECT_EQ(f[k].index, c.want[k].index) << describe(f);
        EXPECT_NEAR(f[k].depth, c.want[k].depth, 2.0f) << describe(f);
    }
}

TEST(Prescreen, ChecksOfTheDropAlone) {
    const float z300 = ocean().z(ocean().at(300));
    const float z1 = static_cast<float>(depthof(1));
    const std::vector<Case> cases = {
        {"clean", [] { return ocean(); }, {}},
        // Spikes: one point, two points, and a departure just under spmin;
        // a step of the same size is no spike.
        {"spike", [] { return at(ocean(), 300, {0.8f}); }, {{21, z300}}},
        {"spike below", [] { return at(ocean(), 300, {-0.8f}); }, {{21, z300}}},
        {"spike of two points",
         [] {
             return at(ocean(), 300, {1.5f, 1.0f});
         },
         {{21, z300}}},
        {"spike under spmin", [] { return at(ocean(), 300, {0.45f}); }, {}},
        {"step", [] { return offset(ocean(), 300, 1e9f, 0.8f); }, {}},
        // More spikes than hfcount are one high-frequency finding.
        {"five spikes",
         [] {
             return at(ocean(), 300, {0.8f, 0, 0.8f, 0, 0.8f, 0, 0.8f, 0, 0.8f});
         },
         {{21, z300}, {21, z300 + 1.3f}, {21, z300 + 2.6f}, {21, z300 + 3.9f}, {21, z300 + 5.2f}}},
        {"six spikes",
         [] {
             return at(ocean(), 300, {0.8f, 0, 0.8f, 0, 0.8f, 0, 0.8f, 0, 0.8f, 0, 0.8f});
         },
         {{20, z300}}},
        {"four points are structure",
         [] {
             return at(ocean(), 300, {0.8f, 0.8f, 0.8f, 0.8f});
         },
         {}},
        // Test probe: within the band over the whole profile; a band just
        // wider, or a flat drop too short to be told from a mixed layer.
        {"test probe", [] { return flat(1200, 22.0f, 0.25f); }, {{23, z1}}},
        {"band too wide", [] { return flat(1200, 22.0f, 0.35f); }, {}},
        {"warm top held, then a drift",
         [] {
             Prof p = flat(1200, 28.0f, 0.1f);
             for (std::size_t i = p.at(500); i < p.t.size(); ++i) p.t[i] -= 0.01f * (p.z(i) - 500.0f);
             return p;
         },
         {{23, z1}}},
        {"flat and short", [] { return flat(120, 22.0f, 0.0f); }, {{22, 77.6f}}},
        // Hit bottom: the flat tail after a thermocline; one too short, and a
        // drop that ends in its mixed layer, are short profiles only.
        {"hit bottom", [] { return bottom(250, 400); }, {{15, 250}}},
        // Under water that cools only 0.013 degrees per metre the noise
        // places the bottom a little high.
        {"hit bottom deep", [] { return bottom(520, 600); }, {{15, 518.5f}}},
        {"rocking on the floor", [] { return bottom(250, 400, 0.15f); }, {{15, 250}}},
        {"struck with a spike", [] { return at(bottom(250, 400), 250, {0.7f}); }, {{15, 250}}},
        {"tail too short", [] { return bottom(390, 400); }, {{22, 400}}},
        {"ends in the mixed layer", [] { return bottom(400, 60); }, {{22, 60}}},
        // The top: spoiled within csdepth (CS at the first good point), on
        // deck for longer (PL there), a smaller step (SA at point 1), and
        // a step under sastep or in the first reading alone.
        {"spoiled surface", [] { return top(ocean(), 4, 2.0f); }, {{5, static_cast<float>(depthof(5))}}},
        {"premature launch", [] { return launch(25, 30.0f); }, {{10, static_cast<float>(depthof(26))}}},
        {"surface anomaly", [] { return top(ocean(), 5, 0.6f); }, {{12, z1}}},
        {"deck close to the sea", [] { return launch(25, 27.6f); }, {{12, z1}}},
        {"step under sastep", [] { return top(ocean(), 5, 0.25f); }, {}},
        {"only the first reading off", [] { return top(ocean(), 1, -0.45f); }, {}},
        // Out of range: a short run is a spike, a lasting one ends the data.
        {"one point too warm", [] { return at(ocean(), 300, {15.0f}); }, {{21, z300}}},
        {"no number",
         [] { return at(ocean(), 300, {std::numeric_limits<float>::quiet_NaN()}); },
         {{21, z300}}},
        {"too cold from 300 m", [] { return offset(ocean(), 300, 1e9f, -20.0f); }, {{22, z300}}},
        {"warm but in range", [] { return offset(ocean(), 0, 1e9f, 8.4f); }, {}},
        // At the recorder's limit from 300 m: the record ends there.
        {"saturated from 300 m",
         [] {
             Prof p = ocean();
             for (std::size_t i = p.at(300); i < p.t.size(); ++i) p.t[i] = 35.5f;
             return p;
         },
         {{22, z300 - 0.6f}}},
        // Short profile: ending above ichkprofdepth, and just below it.
        {"short", [] { return ocean(1000); }, {{22, static_cast<float>(depthof(1000))}}},
        {"reaches 700 m", [] { return ocean(1130); }, {}},
    };
    for (const auto& c : cases) check(c);
}

// A smooth inversion is a prompt: PIA, probable, on its own, and IVA,
// confirmed, where the reference drop has it too.
TEST(Prescreen, AnInversionTheReferenceSharesIsConfirmed) {
    const auto warmlayer = [](std::uint64_t seed) {
        Prof p = ocean(1200, 70.0, seed);
        for (std::size_t i = 0; i < p.t.size(); ++i)
            if (p.z(i) >= 300.0f && p.z(i) < 340.0f)
                p.t[i] += 3.0f * std::sin(3.14159f * (p.z(i) - 300.0f) / 40.0f);
        return p;
    };
    const float z300 = ocean().z(ocean().at(300));
    const Prof shared = warmlayer(7), plain = ocean(1200, 70.0, 7);
    check({"alone", [&] { return warmlayer(1); }, {{9, z300}}});
    check({"the reference has it too", [&] { return warmlayer(1); }, {{2, z300}}}, &shared);
    check({"the reference has none", [&] { return warmlayer(1); }, {{9, z300}}}, &plain);
}

TEST(Prescreen, ChecksAgainstTheReference) {
    const Prof ref = ocean(1200, 70, 7);
    const float z1 = static_cast<float>(depthof(1));
    const float z300 = ocean().z(ocean().at(300));
    const float z700 = ocean().z(ocean().at(700));
    // A thermocline 130 m deeper differs in temperature and at 700 m too;
    // one 40 m deeper stays within every limit.
    const std::vector<Case> cases = {
        {"same water", [] { return ocean(); }, {}},
        {"difference", [] { return offset(ocean(), 300, 450, 4.8f); }, {{13, z300}}},
        {"difference under dtmx", [] { return offset(ocean(), 300, 450, 4.4f); }, {}},
        {"offset at 700 m", [] { return offset(ocean(), 650, 1e9f, 0.9f); }, {{18, z700}}},
        {"offset under dtmx700", [] { return offset(ocean(), 650, 1e9f, 0.7f); }, {}},
        // Water that parts from the reference over the thermocline is a
        // front, not the probe's offset.
        {"front",
         [] {
             Prof p = ocean();
             for (std::size_t i = 0; i < p.t.size(); ++i)
                 p.t[i] += 0.9f * std::clamp((p.z(i) - 200.0f) / 400.0f, 0.0f, 1.0f);
             return p;
         },
         {}},
        {"displaced", [] { return ocean(1200, 200); }, {{1, z1}, {13, 116.4f}, {18, z700}}},
        {"displaced under tdzrms", [] { return ocean(1200, 110); }, {}},
    };
    for (const auto& c : cases) check(c, &ref);
}

TEST(Prescreen, TheReferenceIsReadAsADrop) {
    const Prof clean = ocean(1200, 70, 7);
    const Prof odd = offset(ocean(), 300, 450, 4.8f);
    const float z300 = ocean().z(ocean().at(300));
    struct Row {
        const char* name;
        Prof drop, ref;
        const Prof* older;
        std::vector<Expect> want;
    };
    const std::vector<Row> rows = {
        // A reference that is a test probe, hit bottom or has a spike
        // lends none of it to the drop.
        {"test probe", ocean(), flat(1200, 22.0f, 0.0f), nullptr, {}},
        {"hit bottom", ocean(), bottom(250, 400), nullptr, {}},
        {"spike", ocean(), at(clean, 300, {6.0f}), nullptr, {}},
        // With an older reference, a difference counts only when the drop
        // differs from both.
        {"odd reference", ocean(), odd, &clean, {}},
        {"odd drop", odd, clean, &clean, {{13, z300}}},
    };
    for (const auto& r : rows) check(Case{r.name, [&r] { return r.drop; }, r.want}, &r.ref, r.older);
}

TEST(Prescreen, ThresholdsComeFromTheirFields) {
    const Prof ref = ocean(1200, 70, 7);
    const float z300 = ocean().z(ocean().at(300));
    const float z700 = ocean().z(ocean().at(700));
    struct Row {
        const char* name;
        std::function<void(Thresholds&)> set;
        std::function<Prof()> drop;
        std::vector<Expect> want;
    };
    const std::vector<Row> rows = {
        {"dtmx raised",
         [](Thresholds& t) { t.dtmx = 5.0f; },
         [] { return offset(ocean(), 300, 450, 4.8f); },
         {}},
        {"dtmx lowered",
         [](Thresholds& t) { t.dtmx = 4.0f; },
         [] { return offset(ocean(), 300, 450, 4.4f); },
         {{13, z300}}},
        {"dtmx700 raised",
         [](Thresholds& t) { t.dtmx700 = 1.0f; },
         [] { return offset(ocean(), 650, 1e9f, 0.9f); },
         {}},
        {"dtmx700 lowered",
         [](Thresholds& t) { t.dtmx700 = 0.5f; },
         [] { return offset(ocean(), 650, 1e9f, 0.7f); },
         {{18, z700}}},
        {"ichkprofdepth lowered",
         [](Thresholds& t) { t.ichkprofdepth = 600; },
         [] { return ocean(1000); },
         {}},
        {"ichkprofdepth off", [](Thresholds& t) { t.ichkprofdepth = 0; }, [] { return ocean(1000); }, {}},
        {"tdzrms lowered",
         [](Thresholds& t) { t.tdzrms = 25.0f; },
         [] { return ocean(1200, 110); },
         {{1, static_cast<float>(depthof(1))}}},
        {"tdzmx lowered",
         [](Thresholds& t) { t.tdzmx = 30.0f; },
         [] { return ocean(1200, 110); },
         {{1, static_cast<float>(depthof(1))}}},
        {"dtdzmn steeper than any water",
         [](Thresholds& t) { t.dtdzmn = -1.0f; },
         [] { return ocean(1200, 200); },
         {{13, 116.4f}, {18, z700}}},
        {"spmin raised", [](Thresholds& t) { t.spmin = 1.0f; }, [] { return at(ocean(), 300, {0.8f}); }, {}},
        // Against the reference, a premature launch is seen as the PL edit
        // leaves it: 25 points higher, where it matches within 1 degree.
        {"dtmx lowered, launched late",
         [](Thresholds& t) { t.dtmx = 1.0f; },
         [] { return launch(25, 30.0f); },
         {{10, static_cast<float>(depthof(26))}}},
    };
    for (const auto& r : rows) {
        Thresholds th;
        r.set(th);
        check(Case{r.name, r.drop, r.want}, &ref, nullptr, th);
    }
}

TEST(Prescreen, ThresholdTableNamesEveryFieldWithItsValue) {
    Thresholds th;
    th.dtmx = 3.5f;
    th.ichkprofdepth = 650;
    th.dtdzmn = -0.02f;
    const auto rows = thresholdtable(th);
    auto value = [&rows](std::string_view name) {
        for (const auto& r : rows)
            if (r.name == name) return r.value;
        return std::numeric_limits<float>::quiet_NaN();
    };
    EXPECT_FLOAT_EQ(value("dtmx"), 3.5f);
    EXPECT_FLOAT_EQ(value("ichkprofdepth"), 650.0f);
    EXPECT_FLOAT_EQ(value("dtdzmn"), -0.02f);
    for (const char* name :
         {"dtmx700", "tdzmx", "tdzrms", "dtdzth", "tmin", "tmax", "spmin", "hbband", "surfstep"})
        EXPECT_TRUE(std::isfinite(value(name))) << name;
    for (const auto& r : rows) EXPECT_FALSE(r.meaning.empty()) << r.name;
}

// Inputs that no reader hands in today: nothing may crash, read outside
// the drop or give a finding that points outside it, as drop or reference.
TEST(Prescreen, OddInputsAreHarmless) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<Prof> odd;
    odd.push_back(Prof{});
    odd.push_back(Prof{{-1.0f}, {20.0f}});
    odd.push_back(Prof{{-1.0f, -2.0f}, {nan, inf}});
    Prof p = ocean(2000);
    for (std::size_t i = 0; i < p.t.size(); i += 7) p.t[i] = nan;
    odd.push_back(p);
    p = ocean(2000);
    for (std::size_t i = 0; i < p.depth.size(); ++i) p.depth[i] = i % 2 ? p.depth[i - 1] : -p.depth[i];
    odd.push_back(p);  // repeated and upside-down depths
    p = ocean(2000);
    for (std::size_t i = 0; i < p.t.size(); ++i) p.t[i] = i % 2 ? 30.0f : -1.0f;
    odd.push_back(p);
    p = ocean(2000);
    p.depth.resize(10);  // fewer depths than temperatures
    odd.push_back(p);
    p = ocean(300);
    for (auto& z : p.depth) z = nan;
    odd.push_back(p);
    const Prof clean = ocean();
    for (const auto& a : odd) {
        for (const Prof* r : {&clean, &a}) {
            const DropProfile rv = r->view();
            const auto f = prescreen(a.view(), &rv, &rv, Thresholds{});
            wellformed(f, a.view());
            const auto g = prescreen(clean.view(), &rv, Thresholds{});
            wellformed(g, clean.view());
        }
    }
}

TEST(Prescreen, SameTemperatures) {
    const Prof a = ocean(600);
    Prof b = a;
    for (auto& z : b.depth) z -= 1.0f;  // depths do not matter
    Prof c = a;
    c.t[599] += 0.001f;
    Prof shorter = a;
    shorter.t.pop_back();
    shorter.depth.pop_back();
    const Prof empty;
    Prof withnan = a;
    withnan.t[5] = std::numeric_limits<float>::quiet_NaN();
    Prof fewdepths = a;  // compared over the points that have both
    fewdepths.depth.resize(10);
    const Prof fewdepthsOther = [&] {
        Prof q = fewdepths;
        q.t.resize(10);
        return q;
    }();
    struct Row {
        const char* name;
        const Prof& x;
        const Prof& y;
        bool same;
    } rows[] = {
        {"copy", a, b, true},
        {"one thousandth apart", a, c, false},
        {"one point fewer", a, shorter, false},
        {"empty", empty, empty, false},
        {"not a number", withnan, withnan, false},
        {"more temperatures than depths", fewdepths, fewdepthsOther, true},
    };
    for (const auto& r : rows) EXPECT_EQ(sametemperatures(r.x.view(), r.y.view()), r.same) << r.name;
}

TEST(Prescreen, GoodReference) {
    auto with = [](int index) {
        Finding f;
        f.index = index;
        f.iqc = qccatalogue[static_cast<std::size_t>(index - 1)].iclass;
        return std::vector<Finding>{f};
    };
    EXPECT_TRUE(goodreference({}));
    EXPECT_TRUE(goodreference(with(13)));   // a difference (class 2)
    EXPECT_TRUE(goodreference(with(18)));   // the 700 m offset is the reference's as much
    EXPECT_FALSE(goodreference(with(15)));  // hit bottom
    EXPECT_FALSE(goodreference(with(23)));  // test probe
    EXPECT_FALSE(goodreference(with(10)));  // premature launch (class 5)
}

}  // namespace

// The track: a drop the ship could only reach at more than 40 knots, and a
// latitude whose sign flips for one drop, are findings with no dialog code;
// a real crossing of the equator or a ship at 15 knots is none.
TEST(Prescreen, TrackFindings) {
    const auto fix = [](double lat, double lon, double minutes) { return Fix{true, lat, lon, minutes}; };
    struct Row {
        const char* name;
        std::vector<Fix> fixes;
        std::vector<std::size_t> flagged;  // drops (0-based) with a finding
        const char* word;                  // in the sentence
    };
    const std::vector<Row> rows = {
        {"15 knots", {fix(30.0, -80.0, 0), fix(30.25, -80.0, 60), fix(30.5, -80.0, 120)}, {}, ""},
        // 1 degree of latitude (60 nautical miles) in an hour.
        {"60 knots", {fix(30.0, -80.0, 0), fix(30.25, -80.0, 60), fix(31.25, -80.0, 120)}, {2}, "60 knots"},
        {"latitude flips",
         {fix(30.0, -80.0, 0), fix(-30.1, -80.0, 60), fix(30.2, -80.0, 120)},
         {1},
         "latitude"},
        {"crossing the equator", {fix(0.5, -30.0, 0), fix(-0.5, -30.0, 240), fix(-1.5, -30.0, 480)}, {}, ""},
        {"a field that does not read", {fix(30.0, -80.0, 0), Fix{}, fix(35.0, -80.0, 60)}, {}, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto f = trackfindings(r.fixes);
        ASSERT_EQ(f.size(), r.fixes.size());
        for (std::size_t i = 0; i < f.size(); ++i) {
            const bool want = std::find(r.flagged.begin(), r.flagged.end(), i) != r.flagged.end();
            ASSERT_EQ(f[i].size(), want ? 1u : 0u) << i;
            if (!want) continue;
            EXPECT_EQ(f[i][0].index, 0);
            EXPECT_NE(f[i][0].sentence.find(r.word), std::string::npos) << f[i][0].sentence;
        }
    }
}
