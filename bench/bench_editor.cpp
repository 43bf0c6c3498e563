// The editor's speed as the operator feels it, on Qt's offscreen platform
// with a client area of 1600 x 1000 pixels and drops of 2000 points: the
// advance from Enter to the next drop fully drawn, the full redraw, the
// start-up to the first drawn plot (in the process and as a whole program
// run), and the peak memory of both.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/commands.h"
#include "app/droploading.h"
#include "app/mainloop.h"
#include "app/startup.h"
#include "base/atomic_file.h"
#include "bench/scratch_dir.h"
#include "qc/qc_dialog.h"
#include "toolkit/session.h"

namespace fs = std::filesystem;

namespace {

constexpr int ndrops = 60;
constexpr int npoints = 2000;
constexpr int breakpoint = 1900;  // the wire breaks after this sample

std::string stationline(int drop) {
    char line[80];
    std::snprintf(line, sizeof line,
                  " %03d     7        09/03/26 02:25:44  -27.%03d  154.%03d        0        ", drop,
                  drop % 1000, (7 * drop) % 1000);
    return line;
}

// A raw drop file of 2000 samples: a warm mixed layer, a thermocline, and a
// jump of 20 degrees where the wire breaks.
std::string rawdrop(int drop) {
    std::string s =
        " Bench export\n Probe Code: 052\n Probe Manuf Date:       11/04/2025\n Probe Serial:    1187037\n"
        "SEAS ID:  SEAS9.6 \n Recorder Code: 6 \nCall Sign:  VMCS   \nDate      : 09/03/2026\n"
        "Time      : 02:25:44\nLatitude  : -27.136\nLongitude : 154.249\n";
    char buf[64];
    std::snprintf(buf, sizeof buf, "Drop No.  : %03d\nXBT: %4d\n", drop, npoints);
    s += buf;
    for (int i = 1; i <= npoints; ++i) {
        const double d = 0.6472 * i;
        double t = 4.0 + 22.0 / (1.0 + std::exp((d - 120.0 - drop % 7) / 40.0)) + 0.01 * std::sin(0.7 * i);
        if (i > breakpoint) t += 20.0;
        std::snprintf(buf, sizeof buf, "%5d", static_cast<int>(std::lround(t * 1000.0)));
        s += buf;
        if (i % 20 == 0) s += '\n';
    }
    return s;
}

// The cruise in a fresh temporary directory, made once.
const fs::path& cruise() {
    static const fs::path dir = bench::makeCruise("dropfix-bench", "BENCH1", ndrops, stationline, rawdrop);
    return dir;
}

// Qt's offscreen platform with one screen of 2000 x 1250 pixels, whose
// 80 per cent the main window takes: a client area of 1600 x 1000.
void offscreen() {
    static bool done = false;
    if (done) return;
    done = true;
    const fs::path config = cruise() / "bench-screen.json";
    replaceFileAtomically(
        config.string(),
        "{\"synchronousWindowSystemEvents\": false, \"windowFrameMargins\": false, \"screens\": "
        "[{\"name\": \"Bench\", \"x\": 0, \"y\": 0, \"width\": 2000, \"height\": 1250, "
        "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n");
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.string()).c_str(), 1);
    ::unsetenv("DROPFIX_DRIVE_C");
}

// The editor as the opening leaves it: main window open, first drop drawn.
std::unique_ptr<State> openeditor() {
    offscreen();
    fs::current_path(cruise());
    // An earlier opening in this program wrote statuses without the exit's
    // rewrite of the list; its journal would stop this opening at a box.
    fs::remove(cruise() / ".stations.dat.journal");
    auto st = std::make_unique<State>();
    if (startup(*st).ends() || openmain(*st).ends()) std::abort();
    // The first plot on the screen: the window's image read as its first
    // paint reads it, so that every later redraw paints.
    toolkit::clientPixel(0, 0);
    return st;
}

void peakmemory(benchmark::State& state) {
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// Back to drop 1 before the list runs out, outside the timing.
void rewind(State& st) {
    st.idropnum = 1;
    st.i9 = 0;
    if (droploading(st).ends()) std::abort();
}

void BM_DropAdvance(benchmark::State& state) {
    auto st = openeditor();
    for (auto _ : state) {
        if (st->idropnum >= ndrops - 1) {
            state.PauseTiming();
            rewind(*st);
            state.ResumeTiming();
        }
        if (cutwrite(*st).ends()) std::abort();
    }
    state.counters["client_px"] = toolkit::clientWidth() * 10000.0 + toolkit::clientHeight();
    peakmemory(state);
}
BENCHMARK(BM_DropAdvance)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The parts of one advance, to show where its time goes.
void BM_AdvanceWriteOnly(benchmark::State& state) {
    auto st = openeditor();
    for (auto _ : state) {
        if (!writecurrent(*st)) std::abort();
    }
}
BENCHMARK(BM_AdvanceWriteOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_AdvanceLoadOnly(benchmark::State& state) {
    auto st = openeditor();
    for (auto _ : state) {
        if (droploading(*st, LoadEntry::Reload).ends()) std::abort();
    }
}
BENCHMARK(BM_AdvanceLoadOnly)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Redisplay(benchmark::State& state) {
    auto st = openeditor();
    for (auto _ : state) redraw(*st);
    peakmemory(state);
}
BENCHMARK(BM_Redisplay)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// QC Apply from the button to the picture updated: the loaded drop and the
// edited one drawn over the plot, with a surface code so that every press
// applies again. Beside BM_Redisplay, the full redraw of the same window.
void BM_QcApply(benchmark::State& state) {
    auto st = openeditor();
    qcinit();
    WDialogSelect(qcdialog);
    WDialogPutRadioButton(1076);  // SAA=Surface Anomaly
    EditContext ctx{st->store, st->cut, st->colours, 1, [] {}, {}};
    for (auto _ : state) {
        st->store[2].code[1] = QcCode();  // else the next press is a second surface code
        int call = 0;
        std::chrono::steady_clock::time_point pressed;
        ctx.wait = [&](int& type, EventRecord& e) {
            e = {};
            e.source = qcdialog;
            if (call == 0) {
                type = EventType::FieldChanged, e.data1 = e.data2 = 1076;
            } else if (call == 1) {
                type = EventType::PushButton, e.data1 = QcField::apply;
                pressed = std::chrono::steady_clock::now();
            } else {
                state.SetIterationTime(
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count());
                type = EventType::PushButton, e.data1 = QcField::exitqc;
            }
            ++call;
        };
        qc(ctx, st->qcstate);
    }
}
BENCHMARK(BM_QcApply)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(1.0);

// Start-up in the running process: logs, control file, station list, main
// window, dialogs and the first drop loaded and drawn. The first run also
// creates Qt's application object.
void BM_StartToFirstPlotInProcess(benchmark::State& state) {
    for (auto _ : state) {
        auto st = openeditor();
        benchmark::DoNotOptimize(st->store[2].npts);
    }
    peakmemory(state);
}
BENCHMARK(BM_StartToFirstPlotInProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

// The whole program: process start, Qt, start-up, first drawn plot, Exit
// with the station list written, process end. An upper bound of the start
// to the first plot; the counter is the child's peak memory.
void BM_ProgramStartToExit(benchmark::State& state) {
    const fs::path script = cruise() / "bench-exit.txt";
    replaceFileAtomically(script.string(), "menu 40007\n");
    const std::string cmd = "'" DROPFIX_BINARY "' --script '" + script.string() + "' '" + cruise().string() +
                            "' > /dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) std::abort();
    }
    rusage ru{};
    ::getrusage(RUSAGE_CHILDREN, &ru);
    state.counters["child_peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ProgramStartToExit)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
