// The pre-screen of one 2000-point drop, with one reference and with two,
// beside what loading that drop costs already: reading its raw file and
// the wire-break search. The checks run on every drop that is loaded and
// on every drop of a cruise for the command-line report.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "bench/scratch_dir.h"
#include "profile/rawdrop.h"
#include "qc/cut.h"
#include "qc/prescreen.h"

namespace fs = std::filesystem;

namespace {

constexpr int npoints = 2000;

// Thousandths of a degree of a warm-water drop with a little noise, as a
// raw file stores them: a mixed layer over a thermocline and a wire that
// breaks near 900 m.
int sample(int i, int drop) {
    const double tau = 0.1 * i;
    const double z = 6.472 * tau - 0.00216 * tau * tau;
    const double mld = 60.0 + 7.0 * drop;
    double t = z <= mld ? 27.0 - 0.002 * z : 4.0 + (27.0 - 0.002 * mld - 4.0) * std::exp(-(z - mld) / 200.0);
    if (z > 900.0) t += 6.0;
    return static_cast<int>(std::lround(1000.0 * t)) + (i * 7919 + drop) % 13 - 6;
}

std::string rawfile(int drop) {
    std::string s = " Probe Code: 052\nXBT: " + std::to_string(npoints) + "\n";
    char v[16];
    for (int i = 1; i <= npoints; ++i) {
        std::snprintf(v, sizeof v, "%5d", sample(i, drop));
        s += v;
        if (i % 20 == 0) s += '\n';
    }
    return s;
}

const fs::path& scratch() {
    static const fs::path dir = [] {
        const fs::path d = bench::makeScratchDir("dropfix-bench-prescreen");
        for (int k = 1; k <= 3; ++k) {
            char name[24];
            std::snprintf(name, sizeof name, "PRES01r_%03d.KTD", k);
            if (!replaceFileAtomically((d / name).string(), rawfile(k)).ok) std::abort();
        }
        return d;
    }();
    return dir;
}

RawDrop readdrop(int k) {
    char name[24];
    std::snprintf(name, sizeof name, "PRES01r_%03d.KTD", k);
    const std::string path = (scratch() / name).string();
    return rddropfix(FileName(path), static_cast<int>(path.size()) - 9, fallrateA, fallrateB, {});
}

// The three drops in store slots, as the editor holds them: older
// reference, reference and the drop.
struct Drops {
    SlotData slot[3]{};
    int npbr[3]{};
    Drops() {
        for (int k = 0; k < 3; ++k) {
            const RawDrop r = readdrop(k + 1);
            for (int i = 1; i <= r.n; ++i) {
                slot[k].depth[static_cast<std::size_t>(i)] = r.depth[static_cast<std::size_t>(i - 1)];
                slot[k].t[static_cast<std::size_t>(i)] = r.t[static_cast<std::size_t>(i - 1)];
            }
            npbr[k] = fndbrk(slot[k], r.n, 1).npbr;
        }
    }
    DropProfile profile(int k) const { return dropprofile(slot[k], npbr[k]); }
};

const Drops& drops() {
    static const Drops d;
    return d;
}

void BM_Rddropfix(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readdrop(3));
}
BENCHMARK(BM_Rddropfix)->Unit(benchmark::kMicrosecond);

void BM_Fndbrk(benchmark::State& state) {
    const Drops& d = drops();
    for (auto _ : state) benchmark::DoNotOptimize(fndbrk(d.slot[2], npoints, 1));
}
BENCHMARK(BM_Fndbrk)->Unit(benchmark::kMicrosecond);

void BM_PrescreenAlone(benchmark::State& state) {
    const Drops& d = drops();
    const DropProfile drop = d.profile(2);
    for (auto _ : state) benchmark::DoNotOptimize(prescreen(drop, nullptr, Thresholds{}));
}
BENCHMARK(BM_PrescreenAlone)->Unit(benchmark::kMicrosecond);

void BM_PrescreenOneReference(benchmark::State& state) {
    const Drops& d = drops();
    const DropProfile drop = d.profile(2), ref = d.profile(1);
    for (auto _ : state) benchmark::DoNotOptimize(prescreen(drop, &ref, Thresholds{}));
}
BENCHMARK(BM_PrescreenOneReference)->Unit(benchmark::kMicrosecond);

// The drop differs from both references (its thermocline lies 7 and 14 m
// deeper, past the limits set low here), so the older one is read too.
void BM_PrescreenTwoReferences(benchmark::State& state) {
    const Drops& d = drops();
    const DropProfile drop = d.profile(2), ref = d.profile(1), older = d.profile(0);
    Thresholds th;
    th.tdzrms = 5.0f;
    if (prescreen(drop, &ref, &older, th).empty())
        state.SkipWithError("no difference to read the older drop for");
    for (auto _ : state) benchmark::DoNotOptimize(prescreen(drop, &ref, &older, th));
}
BENCHMARK(BM_PrescreenTwoReferences)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
