// What an import costs: the 24 real MK21 export files of ../shared/real-xbt
// (DROPFIX_REAL_EDF names another directory) and 999 generated ones, read,
// resampled and built into a cruise, in memory and installed on disk, beside
// the baseline of reading the same drops back from their raw files.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/scratch_dir.h"
#include "exchange/import_cruise.h"
#include "exchange/mk21_export.h"
#include "profile/rawdrop.h"

namespace fs = std::filesystem;

namespace {

const fs::path& scratch() {
    static const fs::path dir = bench::makeScratchDir("dropfix-bench-import");
    return dir;
}

std::vector<std::string> realfiles() {
    const char* env = std::getenv("DROPFIX_REAL_EDF");
    const fs::path dir =
        env ? fs::path(env) : fs::path(DROPFIX_SOURCE_DIR).parent_path() / "shared/real-xbt/edf";
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// An export of the newer layout (odd drops) or the older one (even drops),
// 1200 rows to about 760 m, each launched a minute after the one before.
std::string generated(int k) {
    std::string s;
    char b[160];
    const int minute = k % 60, hour = (k / 60) % 24, day = 1 + k / 1440;
    const bool newer = k % 2 == 1;
    s += newer ? "// MK21 EXPORT DATA FILE  (EDF)\r\n// Probe Information\r\n"
               : "// This is a MK21 EXPORT DATA FILE  (EDF)\r\n//\r\n";
    std::snprintf(
        b, sizeof b,
        "Date of Launch   :  03/%02d/2024\r\nTime of Launch   :  %02d:%02d:00\r\n"
        "Latitude         :  %d %.4fS\r\nLongitude        :  %d %.4fE\r\nSerial Number    :  %08d\r\n",
        day, hour, minute, 20 + k / 100, 0.06 * (k % 100), 150 + k / 200, 0.05 * (k % 200), 1000000 + k);
    s += b;
    s += "Probe Type       :  T-7\r\nDepth Coeff. 1   :  0.0\r\nDepth Coeff. 2   :  6.691\r\n"
         "Depth Coeff. 3   :  -0.00225\r\nDepth Coeff. 4   :  0.0\r\n";
    s += newer
             ? "// Data Fields\r\nField1 : Time (sec)\r\nField2 : Resistance (ohms)\r\nField3 : Depth (m)\r\n"
               "Field4 : Temperature (\xB0"
               "C)\r\nField5 : Sound Velocity (m/s)\r\n// Data\r\n"
             : "Depth (m) - Temperature (\xB0"
               "C) - Sound Velocity (m/s)\r\n";
    for (int i = 0; i < 1200; ++i) {
        const double t = 0.1 * i, z = 6.691 * t - 0.00225 * t * t;
        const double temp = 4.0 + 22.0 * std::exp(-z / 250.0) + 0.03 * std::sin(0.7 * i + k);
        if (newer)
            std::snprintf(b, sizeof b, "%.1f\t%.3f\t%.2f\t%.2f\t1500.00\r\n", t, 5000.0 + 10 * temp, z, temp);
        else
            std::snprintf(b, sizeof b, "%.1f\t%.2f\t1500.00\r\n", z, temp);
        s += b;
    }
    return s;
}

const std::vector<std::string>& generatedfiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> f;
        fs::create_directories(scratch() / "edf");
        for (int k = 0; k < 999; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "G_%05d.EDF", k);
            f.push_back((scratch() / "edf" / name).string());
            if (!replaceFileAtomically(f.back(), generated(k))) std::abort();
        }
        return f;
    }();
    return files;
}

// The import as the command runs it, without the installation: every file
// read from disk and parsed, the files of a new cruise built.
ImportBuild build(const std::vector<std::string>& files, int& refused) {
    std::vector<IncomingDrop> drops;
    refused = 0;
    for (const std::string& f : files) {
        std::string bytes;
        if (!readFileBytes(f, bytes)) std::abort();
        Mk21Read r = readmk21(bytes, f);
        if (r.drop)
            drops.push_back(std::move(*r.drop));
        else
            ++refused;
    }
    CruiseSoFar c;
    c.cruise = "BENCH";
    c.newcontrol = true;
    return buildimport(std::move(drops), c);
}

void importbench(benchmark::State& state, const std::vector<std::string>& files, bool install) {
    if (files.empty()) {
        state.SkipWithError("no export files");
        return;
    }
    int refused = 0, n = 0;
    for (auto _ : state) {
        const ImportBuild b = build(files, refused);
        n = b.imported;
        if (install) {
            const fs::path dir = scratch() / "cruise";
            if (!installimport(dir.string(), b)) std::abort();
            state.PauseTiming();
            fs::remove_all(dir);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(b.files.data());
    }
    state.counters["imported"] = n;
    state.counters["refused"] = refused;
}

// The baseline: the same drops read from the raw files the import wrote.
void rawbench(benchmark::State& state, const std::vector<std::string>& files) {
    if (files.empty()) {
        state.SkipWithError("no export files");
        return;
    }
    int refused = 0;
    const fs::path dir = scratch() / ("raw" + std::to_string(files.size()));
    std::vector<FileName> names;
    if (!fs::exists(dir)) {
        if (!installimport(dir.string(), build(files, refused))) std::abort();
    }
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".KTD") names.emplace_back(e.path().string());
    const LogRecord quiet = [](std::string_view, std::string_view) {};
    for (auto _ : state)
        for (const FileName& f : names)
            benchmark::DoNotOptimize(rddropfix(f, 0, fallrateA, fallrateB, quiet).n);
    state.counters["drops"] = static_cast<double>(names.size());
}

void BM_ImportShared(benchmark::State& s) {
    importbench(s, realfiles(), false);
}
void BM_ImportSharedInstalled(benchmark::State& s) {
    importbench(s, realfiles(), true);
}
void BM_ReadRawShared(benchmark::State& s) {
    rawbench(s, realfiles());
}
void BM_Import999(benchmark::State& s) {
    importbench(s, generatedfiles(), false);
}
void BM_Import999Installed(benchmark::State& s) {
    importbench(s, generatedfiles(), true);
}
void BM_ReadRaw999(benchmark::State& s) {
    rawbench(s, generatedfiles());
}

}  // namespace

BENCHMARK(BM_ImportShared)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportSharedInstalled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRawShared)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import999Installed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRaw999)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
