// The full redraw of the plot with three 2000-point drops and the backup of
// the current one, in headless mode (no window; the drawing calls do not
// reach a screen), so this measures the editor's own drawing work.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "bench/drops.h"
#include "plot/redisplay.h"
#include "toolkit/session.h"

namespace {

using bench::fillDrop;

void BM_redisplay(benchmark::State& state) {
    toolkit::setHeadless(true);
    toolkit::setTrace(false);
    static ProfileStore store;  // too large for the stack of a benchmark thread
    fillDrop(store[1], 0.0f, "r_011  prev          ");
    fillDrop(store[2], 0.5f, "r_012  current       ");
    fillDrop(store[3], 1.0f, "r_013  next          ");
    store[4] = store[2];
    const PlotSettings settings;
    PlotColours colours = buildColourTable();
    const std::string f1r = "/data/cruise1/r_011.KTD";
    const std::string mess0 = "<Enter>=Set class=4 at   870.2 m and write";
    for (auto _ : state) redisplay(settings, f1r, 14, store, mess0, 1, colours);
}
BENCHMARK(BM_redisplay)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
