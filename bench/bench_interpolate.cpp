// The Interpolate dialog as the operator feels it, with three 2000-point
// drops and the backup of the current one in a client area of 1600 x 1000:
// one mouse move of a drag (snap to the nearest point, the fields, the
// dialog re-shown) and OK up to the picture updated (the loaded trace and
// the repaired one drawn), beside the full redraw measured in the same run.
// Argument 0 runs headless (no window: the editor's own work), 1 on Qt's
// offscreen platform with the traces painted into the window's image.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/drops.h"
#include "plot/redisplay.h"
#include "qc/interpolate.h"
#include "toolkit/session.h"

namespace {

using bench::fillDrop;

// The editor as a drop leaves it: window open at 1600 x 1000, dialogs
// loaded, the plot drawn.
struct Editor {
    ProfileStore store;
    CutState cut;
    PlotSettings settings;
    PlotColours colours = buildColourTable();
    EditContext ctx{store, cut, colours, 1, [this] { redraw(); }};

    explicit Editor(bool windowed) {
        static bool offscreen = false;  // Qt's application object is made once
        if (windowed && !offscreen) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            offscreen = true;
        }
        toolkit::setHeadless(!windowed);
        toolkit::setTrace(false);
        WInitialise(" ");
        WindowOpen(WindowRecord{39, -1, -1, 1600, 1000, 0, "bench"});
        WMessageEnable(EventType::FieldChanged, 1);
        for (int id : {105, 103}) WDialogLoad(id);
        fillDrop(store[1], 0.0f, "r_011  prev          ");
        fillDrop(store[2], 0.5f, "r_012  current       ");
        fillDrop(store[3], 1.0f, "r_013  next          ");
        store[4] = store[2];
        cut.npts4 = ndepmax;
        cut.mess0 = composemess0(870.2f);
        redraw();
    }
    ~Editor() { WindowClose(); }
    void redraw() { redisplay(settings, "/data/cruise1/r_011.KTD", 14, store, cut.mess0.view(), 1, colours); }
};

EventRecord pointerAt(float metres) {
    EventRecord e;
    e.data1 = 1;
    e.x = 400, e.y = 800;
    e.unitY = -metres;
    return e;
}

void mode(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "headless" : "offscreen window");
    state.counters["client_px"] = toolkit::clientWidth() * 10000.0 + toolkit::clientHeight();
}

// Deep in the drop, where the snap walks furthest from the surface.
void BM_DragMove(benchmark::State& state) {
    auto ed = std::make_unique<Editor>(state.range(0) == 1);
    InterpolateDialog dialog(ed->ctx);
    dialog.handle(EventType::MouseButDown, pointerAt(850.0f));
    bool odd = false;
    for (auto _ : state) {
        dialog.handle(EventType::MouseMove, pointerAt(odd ? 860.3f : 861.2f));
        odd = !odd;
    }
    mode(state);
}
BENCHMARK(BM_DragMove)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OkToPicture(benchmark::State& state) {
    auto ed = std::make_unique<Editor>(state.range(0) == 1);
    const SlotData loaded = ed->store[2];
    EventRecord ok;
    ok.source = interpolatedialog;
    ok.data1 = 1;
    for (auto _ : state) {
        state.PauseTiming();
        ed->store[2] = loaded;
        InterpolateDialog dialog(ed->ctx);
        for (float m : {300.0f, 420.0f}) {
            dialog.handle(EventType::MouseButDown, pointerAt(m));
            dialog.handle(EventType::MouseButUp, pointerAt(m));
        }
        state.ResumeTiming();
        if (!dialog.handle(EventType::PushButton, ok)) std::abort();
    }
    mode(state);
}
BENCHMARK(BM_OkToPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FullRedraw(benchmark::State& state) {
    auto ed = std::make_unique<Editor>(state.range(0) == 1);
    for (auto _ : state) ed->redraw();
    mode(state);
}
BENCHMARK(BM_FullRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
