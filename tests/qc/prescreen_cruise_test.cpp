// How well the pre-screen works on whole cruises: the bundled demo cruise
// and a cruise built here with one fault of every kind planted per drop.
// Each planted fault must be found with its code within 5 m of its depth,
// and the clean drops may carry at most one finding for every ten drops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/prescreen.h"

namespace {

// A drop as the editor checks it: its points down to the wire break.
struct Drop {
    std::vector<float> depth, t;  // depths negative, as the store keeps them
    DropProfile profile() const { return {depth, t}; }
};

// What was planted in a drop: a code (index into the catalogue, 0 for a
// duplicate) at a depth, or nothing for a clean drop.
struct Plant {
    int index = 0;
    float depth = 0;
    const char* what = "clean";
};

Drop cutatbreak(const std::vector<float>& depth, const std::vector<float>& t) {
    SlotData s{};
    const int n = clampPoints(static_cast<long long>(depth.size()));
    for (int i = 1; i <= n; ++i) {
        s.depth[static_cast<std::size_t>(i)] = depth[static_cast<std::size_t>(i - 1)];
        s.t[static_cast<std::size_t>(i)] = t[static_cast<std::size_t>(i - 1)];
    }
    const int npbr = fndbrk(s, n, 1).npbr;
    return {std::vector<float>(depth.begin(), depth.begin() + npbr),
            std::vector<float>(t.begin(), t.begin() + npbr)};
}

struct Score {
    int planted = 0, found = 0, clean = 0, falsefindings = 0;
    std::vector<std::string> misses, falses;
};

// Runs the checks over a cruise as the editor's report does on a cruise not
// yet edited: the reference of a drop is the nearest earlier drop whose own
// checks, with no reference, suggest no reject, and the older reference the
// one before that.
Score evaluate(const std::vector<Drop>& drops, const std::vector<Plant>& plants, const Thresholds& th) {
    Score sc;
    std::optional<std::size_t> ref, older;
    for (std::size_t k = 0; k < drops.size(); ++k) {
        const DropProfile d = drops[k].profile();
        DropProfile r{}, o{};
        if (ref) r = drops[*ref].profile();
        if (older) o = drops[*older].profile();
        auto f = prescreen(d, ref ? &r : nullptr, older ? &o : nullptr, th);
        if (goodreference(prescreen(d, nullptr, th))) {
            older = ref;
            ref = k;
        }
        for (std::size_t j = 0; j < k; ++j) {
            if (sametemperatures(d, drops[j].profile())) {
                Finding dup;
                dup.sentence = "same temperatures as drop " + std::to_string(j + 1);
                f.push_back(dup);
            }
        }
        const Plant& p = plants[k];
        std::string list;
        for (const auto& x : f)
            list += "\n    " + std::string(x.code.view()) + " " + std::to_string(x.iqc) + " at " +
                    std::to_string(x.depth) + ": " + x.sentence;
        if (p.index < 0) {
            ++sc.clean;
            sc.falsefindings += static_cast<int>(f.size());
            if (!f.empty()) sc.falses.push_back("drop " + std::to_string(k + 1) + list);
            continue;
        }
        ++sc.planted;
        bool hit = false;
        for (const auto& x : f) hit = hit || (x.index == p.index && std::fabs(x.depth - p.depth) <= 5.0f);
        if (hit)
            ++sc.found;
        else
            sc.misses.push_back("drop " + std::to_string(k + 1) + " (" + p.what + " at " +
                                std::to_string(p.depth) + ")" + list);
    }
    return sc;
}

void report(const char* cruise, const Score& sc) {
    std::printf("%s: %d of %d planted faults found; %d false findings over %d clean drops (%.2f per ten)\n",
                cruise, sc.found, sc.planted, sc.falsefindings, sc.clean,
                10.0 * sc.falsefindings / std::max(sc.clean, 1));
    for (const auto& m : sc.misses) std::printf("  missed %s\n", m.c_str());
    for (const auto& m : sc.falses) std::printf("  false on %s\n", m.c_str());
}

// ---- The demo cruise, as tools/gen_demo_cruise.py planted it.

std::vector<Drop> demodrops() {
    const std::string prefix = std::string(DROPFIX_SOURCE_DIR) + "/examples/demo-cruise/DEMO01";
    std::vector<Drop> drops;
    for (int k = 1; k <= 20; ++k) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03d", k);
        const RawDrop rd = rddropfix(FileName(prefix + "r_" + digits + ".KTD"),
                                     static_cast<int>(prefix.size()), fallrateA, fallrateB, {});
        drops.push_back(cutatbreak(std::vector<float>(rd.depth.begin(), rd.depth.begin() + rd.n),
                                   std::vector<float>(rd.t.begin(), rd.t.begin() + rd.n)));
    }
    return drops;
}

TEST(PrescreenCruise, DemoCruise) {
    std::vector<Plant> plants(20, Plant{-1});
    // The generator's spike starts at sample 487, the deck readings end
    // with sample 28, the floor of drop 11 starts at sample 261 and drop 17
    // stops at sample 941.
    plants[3] = {21, 310.1f, "spike"};
    plants[6] = {10, 18.8f, "premature launch"};
    plants[10] = {15, 167.4f, "hit bottom"};
    plants[13] = {23, 0.6f, "test probe"};
    plants[16] = {22, 589.9f, "short profile"};
    const Score sc = evaluate(demodrops(), plants, Thresholds{});
    report("demo cruise", sc);
    EXPECT_EQ(sc.found, sc.planted);
    EXPECT_LE(10 * sc.falsefindings, sc.clean);
}

// ---- A cruise built here: realistic water with one fault per drop.

// A small fixed generator, so that the cruise is the same on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : x_(seed) {}
    double uniform() {
        x_ = 6364136223846793005ULL * x_ + 1442695040888963407ULL;
        return static_cast<double>(x_ >> 11) / 9007199254740992.0;
    }
    double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    double normal() {
        double s = 0;
        for (int i = 0; i < 12; ++i) s += uniform();
        return s - 6.0;
    }

private:
    std::uint64_t x_;
};

// The water of one station: a mixed layer of 26-28 degrees down to 50-100
// m, a thermocline that reaches about 5 degrees at 700 m, and internal waves.
struct Water {
    double sst, mld, scale, wave, wavelen, phase;
    Water(Rng& rng, double shift) {
        sst = rng.between(26.0, 28.0);
        mld = rng.between(50.0, 100.0) + shift;
        scale = rng.between(185.0, 215.0);
        wave = rng.between(0.02, 0.08);
        wavelen = rng.between(15.0, 40.0);
        phase = rng.between(0.0, 6.283);
    }
    double at(double z) const {
        double t = sst - 0.002 * z;
        if (z > mld) t = 4.0 + (sst - 0.002 * mld - 4.0) * std::exp(-(z - mld) / scale);
        return t + wave * std::sin(6.283 * z / wavelen + phase) * std::exp(-std::pow((z - 250.0) / 200.0, 2));
    }
};

double depthof(int i) {  // 1-based sample, 0.1 s apart
    const double tau = 0.1 * i;
    return 6.472 * tau - 0.00216 * tau * tau;
}
int sampleat(double z) {
    int i = 1;
    while (depthof(i) < z) ++i;
    return i;
}

struct Built {
    std::vector<Drop> drops;
    std::vector<Plant> plants;
};

// Fills n samples of water with noise, then a broken wire below breakz.
void ocean(Rng& rng, const Water& w, int n, double breakz, std::vector<float>& z, std::vector<float>& t) {
    const int ib = breakz > 0 ? sampleat(breakz) : n + 1;
    double level = 0;
    for (int i = 1; i <= n; ++i) {
        z.push_back(static_cast<float>(-depthof(i)));
        if (i < ib) {
            t.push_back(static_cast<float>(w.at(depthof(i)) + 0.01 * rng.normal()));
            continue;
        }
        if (i == ib) level = w.at(depthof(i)) + rng.between(2.0, 6.0);
        level = std::min(std::max(level + rng.between(-1.5, 2.5), 8.0), 35.0);
        t.push_back(static_cast<float>(level));
    }
}

Built plantedcruise(std::uint64_t seed = 20261210) {
    enum Kind {
        clean,
        spike,
        bottom,
        probe,
        launch,
        splash,
        skin,
        delta,
        offset700,
        shortend,
        displaced,
        range,
        dup
    };
    // Every fault once, each after a clean drop, and clean drops between
    // and after them.
    const std::vector<Kind> order = {clean, clean,  spike,     clean,  clean, bottom,   clean, probe,
                                     clean, launch, clean,     splash, clean, skin,     clean, delta,
                                     clean, clean,  offset700, clean,  clean, shortend, clean, displaced,
                                     clean, clean,  range,     clean,  dup,   clean,    clean, clean,
                                     clean, clean,  clean,     clean,  clean, clean,    clean, clean};
    Rng rng(seed);
    Built b;
    for (Kind k : order) {
        Water w(rng, k == displaced ? 200.0 : 0.0);
        const double breakz = rng.between(720.0, 900.0);
        const int n = sampleat(breakz) + static_cast<int>(rng.between(30, 120));
        std::vector<float> z, t;
        Plant p{-1};
        switch (k) {
            case clean: ocean(rng, w, n, breakz, z, t); break;
            case spike: {
                ocean(rng, w, n, breakz, z, t);
                const int i = sampleat(rng.between(150.0, 600.0));
                const float s = rng.uniform() < 0.5 ? 1.4f : -1.1f;
                t[static_cast<std::size_t>(i - 1)] += s;
                t[static_cast<std::size_t>(i)] += 0.6f * s;
                p = {21, -z[static_cast<std::size_t>(i - 1)], "spike"};
                break;
            }
            case bottom: {
                const double zb = rng.between(180.0, 450.0);
                const int ib = sampleat(zb);
                ocean(rng, w, sampleat(zb + 150.0), 0, z, t);
                // Every other cruise the probe rocks on the floor and reads noisy.
                const double floor = w.at(depthof(ib));
                const double noise = seed % 2 ? 0.01 : 0.08;
                for (std::size_t i = static_cast<std::size_t>(ib - 1); i < t.size(); ++i)
                    t[i] = static_cast<float>(floor + noise * rng.normal());
                t[static_cast<std::size_t>(ib - 1)] += 0.7f;  // the impact
                p = {15, static_cast<float>(depthof(ib)), "hit bottom"};
                break;
            }
            case probe:
                for (int i = 1; i <= 450; ++i) {
                    z.push_back(static_cast<float>(-depthof(i)));
                    t.push_back(static_cast<float>(21.3 + 0.01 * rng.normal()));
                }
                p = {23, static_cast<float>(depthof(1)), "test probe"};
                break;
            case launch: {
                const int early = static_cast<int>(rng.between(15, 35));
                const double deck = w.sst + rng.between(2.0, 4.0);
                std::vector<float> bz, bt;
                ocean(rng, w, n, breakz, bz, bt);
                for (int i = 1; i <= n; ++i) {
                    z.push_back(static_cast<float>(-depthof(i)));
                    t.push_back(i <= early ? static_cast<float>(deck - 0.01 * i + 0.01 * rng.normal())
                                           : bt[static_cast<std::size_t>(i - early - 1)]);
                }
                p = {10, static_cast<float>(depthof(early + 1)), "premature launch"};
                break;
            }
            case splash: {
                ocean(rng, w, n, breakz, z, t);
                const int top = static_cast<int>(rng.between(2, 6));
                const double warm = rng.between(1.5, 3.0);
                for (int i = 0; i < top; ++i) t[static_cast<std::size_t>(i)] += static_cast<float>(warm);
                p = {5, static_cast<float>(depthof(top + 1)), "spoiled surface"};
                break;
            }
            case skin: {
                ocean(rng, w, n, breakz, z, t);
                const int top = static_cast<int>(rng.between(3, 7));
                for (int i = 0; i < top; ++i) t[static_cast<std::size_t>(i)] += 0.55f;
                p = {12, static_cast<float>(depthof(1)), "surface anomaly"};
                break;
            }
            case delta: {
                ocean(rng, w, n, breakz, z, t);
                const double from = rng.between(250.0, 500.0);
                for (std::size_t i = 0; i < t.size(); ++i)
                    if (-z[i] >= from && -z[i] < breakz) t[i] += 7.0f;
                p = {13, static_cast<float>(depthof(sampleat(from))), "difference from the reference"};
                break;
            }
            case offset700: {
                ocean(rng, w, n, breakz, z, t);
                for (std::size_t i = 0; i < t.size(); ++i)
                    if (-z[i] >= 600.0f && -z[i] < breakz) t[i] += 1.3f;
                p = {18, 700.0f, "offset at 700 m"};
                break;
            }
            case shortend: {
                const double end = rng.between(350.0, 650.0);
                ocean(rng, w, sampleat(end), 0, z, t);
                p = {22, -z.back(), "short profile"};
                break;
            }
            case displaced:
                ocean(rng, w, n, breakz, z, t);
                p = {1, static_cast<float>(depthof(1)), "isotherms displaced"};
                break;
            case range: {
                ocean(rng, w, n, breakz, z, t);
                const int i = sampleat(rng.between(200.0, 600.0));
                for (std::size_t j = static_cast<std::size_t>(i - 1); j < t.size(); ++j) t[j] = 38.5f;
                p = {22, static_cast<float>(depthof(i)), "out of range"};
                break;
            }
            case dup:
                z = b.drops.back().depth;
                t = b.drops.back().t;
                p = {0, 0.0f, "duplicate"};
                break;
        }
        b.drops.push_back(k == dup ? Drop{z, t} : cutatbreak(z, t));
        b.plants.push_back(p);
    }
    return b;
}

// Twenty cruises of forty drops, each with every fault once, so that no
// figure rests on one lucky draw of the water.
TEST(PrescreenCruise, PlantedFaults) {
    Score all;
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const Built b = plantedcruise(seed);
        const Score sc = evaluate(b.drops, b.plants, Thresholds{});
        if (!sc.misses.empty() || sc.falsefindings > 0)
            report(("planted cruise " + std::to_string(seed)).c_str(), sc);
        EXPECT_EQ(sc.found, sc.planted) << "seed " << seed;
        all.planted += sc.planted;
        all.found += sc.found;
        all.clean += sc.clean;
        all.falsefindings += sc.falsefindings;
    }
    report("planted cruises", all);
    EXPECT_LE(10 * all.falsefindings, all.clean);
}

}  // namespace
