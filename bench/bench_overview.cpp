// The cruise overview of a full cruise, 999 drops of 2000 points each, in
// the real main window on Qt's offscreen platform: opened with nothing read
// yet (every raw file read), and opened again with every raw file known.
// Beside them, the drop loading of the same window (three drops read and
// drawn), which the operator already waits for at every advance.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/check_command.h"
#include "app/cruise_check.h"
#include "app/droploading.h"
#include "app/mainloop.h"
#include "app/overview.h"
#include "app/startup.h"
#include "bench/scratch_dir.h"
#include "toolkit/panel.h"
#include "toolkit/session.h"

namespace fs = std::filesystem;

namespace {

constexpr int ndrops = 999;
constexpr int npoints = 2000;

// A plain profile cooling with depth; the overview reads it whole whatever it holds.
std::string rawfile(int drop) {
    std::string s = " Probe Code: 052\nXBT: " + std::to_string(npoints) + "\n";
    char sample[8];
    for (int i = 1; i <= npoints; ++i) {
        std::snprintf(sample, sizeof sample, "%5d", 25000 - 10 * i + drop % 50);
        s += sample;
        if (i % 20 == 0) s += '\n';
    }
    return s;
}

std::string stationline(int k) {
    char line[80];
    std::snprintf(line, sizeof line,
                  " %03d     7        09/03/26 02:25:44  -27.%03d  154.%03d    %5d        ", k, k % 1000,
                  (7 * k) % 1000, k % 4 == 0 ? 1 : 0);
    return line;
}

const fs::path& cruise() {
    static const fs::path dir =
        bench::makeCruise("dropfix-bench-overview", "OVER01", ndrops, stationline, rawfile);
    return dir;
}

State& editor() {
    static const std::unique_ptr<State> st = [] {
        toolkit::useOffscreenPlatform();
        ::unsetenv("DROPFIX_DRIVE_C");
        fs::current_path(cruise());
        auto s = std::make_unique<State>();
        if (startup(*s).ends() || openmain(*s).ends()) std::abort();
        return s;
    }();
    return *st;
}

void BM_OverviewOpenCold(benchmark::State& state) {
    State& st = editor();
    for (auto _ : state) {
        state.PauseTiming();
        WPanelHide();
        st.overview = Overview{};
        st.check = CruiseCheck{};
        state.ResumeTiming();
        showoverview(st);
    }
    state.counters["raw_reads_per_open"] = double(st.overview.rawreads);
}
BENCHMARK(BM_OverviewOpenCold)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_OverviewOpenWarm(benchmark::State& state) {
    State& st = editor();
    showoverview(st);
    const int reads = st.overview.rawreads;
    for (auto _ : state) {
        state.PauseTiming();
        WPanelHide();
        state.ResumeTiming();
        showoverview(st);
    }
    state.counters["raw_reads_per_open"] = double(st.overview.rawreads - reads);
}
BENCHMARK(BM_OverviewOpenWarm)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The baseline: loading and drawing the three drops shown, as at every advance.
void BM_DropLoading(benchmark::State& state) {
    State& st = editor();
    for (auto _ : state)
        if (droploading(st, LoadEntry::Reload).ends()) std::abort();
}
BENCHMARK(BM_DropLoading)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The pre-screen of the current drop as a drop loading runs it, its
// reference already read (as at every advance after the first).
void BM_CheckCurrentDrop(benchmark::State& state) {
    State& st = editor();
    checkcurrent(st);
    for (auto _ : state) benchmark::DoNotOptimize(checkcurrent(st).size());
}
BENCHMARK(BM_CheckCurrentDrop)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// dropfix --check on the whole cruise: every raw file read and checked.
void BM_CheckCruise(benchmark::State& state) {
    fs::current_path(cruise());
    std::size_t lines = 0;
    for (auto _ : state) {
        const auto st = std::make_unique<State>();
        std::string why;
        if (!readcruise(*st, why)) std::abort();
        lines = cruisereport(checkparts(*st), st->acruise.cols(1, std::size_t(st->len_acruise))).size();
    }
    state.counters["report_lines"] = double(lines);
}
BENCHMARK(BM_CheckCruise)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
