// The export of a full cruise, 999 accepted drops of 2000 points each, in
// each format, from reading the q and raw files to the last output file
// flushed and renamed. Beside it, in the same run, the reading of the same
// q files alone: by the editor's reader, and by the export's strict reader.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/check_command.h"
#include "app/export_command.h"
#include "app/state.h"
#include "base/atomic_file.h"
#include "bench/drops.h"
#include "bench/scratch_dir.h"
#include "exchange/exported_drop.h"
#include "profile/edited_files.h"
#include "toolkit/session.h"

namespace fs = std::filesystem;

namespace {

constexpr int ndrops = 999;

std::string stationline(int k) {
    char line[80];
    std::snprintf(line, sizeof line,
                  " %03d     7        09/03/26 02:25:44  -27.%03d  154.%03d        1        ", k, k % 1000,
                  (7 * k) % 1000);
    return line;
}

std::string rawfile(int) {
    return " Probe Code: 052\n Recorder Code: 6 \nCall Sign:  VMCS\nXBT:    0\n";
}

const fs::path& cruise() {
    static const fs::path dir = [] {
        const fs::path d = bench::makeCruise("dropfix-bench-export", "EXPO01", ndrops, stationline, rawfile);
        auto s = std::make_unique<SlotData>();
        bench::fillDrop(*s, 2.0f, "q.001");
        // A repaired stretch, with the temperatures as loaded beside it.
        for (int i = 600; i < 640; ++i) s->iclass[std::size_t(i)] = 5, s->code[std::size_t(i)] = QcCode("SP");
        const Ahdr ahdr(
            "  001 052 60 VMCS    -27.136 154.249 7 09-03-2026  02:25:44 SEAS9.6  1187037 11-04-2025");
        const std::string q = qfilebytes(*s, *s, ndepmax, ahdr);
        for (int k = 1; k <= ndrops; ++k) {
            char name[24];
            std::snprintf(name, sizeof name, "EXPO01q.%03d", k);
            replaceFileAtomically((d / name).string(), q);
        }
        return d;
    }();
    return dir;
}

// The cruise is made before the first measurement starts.
[[maybe_unused]] const bool made = !cruise().empty();

State& readstate() {
    static const std::unique_ptr<State> st = [] {
        toolkit::setHeadless(true);
        fs::current_path(cruise());
        auto s = std::make_unique<State>();
        std::string why;
        if (!readcruise(*s, why)) std::abort();
        return s;
    }();
    return *st;
}

std::string qname(int k) {
    char name[24];
    std::snprintf(name, sizeof name, "EXPO01q.%03d", k);
    return (cruise() / name).string();
}

void BM_ReadQFilesEditorReader(benchmark::State& state) {
    auto s = std::make_unique<SlotData>();
    std::string bytes;
    for (auto _ : state) {
        for (int k = 1; k <= ndrops; ++k) {
            if (!readFileBytes(qname(k), bytes)) std::abort();
            benchmark::DoNotOptimize(parserdq(bytes, *s, SlotLabel("q.001")));
        }
    }
}
BENCHMARK(BM_ReadQFilesEditorReader)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ReadQFilesStrictReader(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) {
        for (int k = 1; k <= ndrops; ++k) {
            if (!readFileBytes(qname(k), bytes)) std::abort();
            benchmark::DoNotOptimize(readqstrict(bytes));
        }
    }
}
BENCHMARK(BM_ReadQFilesStrictReader)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Export(benchmark::State& state) {
    const State& st = readstate();
    const ExportFormat formats[] = {static_cast<ExportFormat>(state.range(0))};
    state.SetLabel(std::string(formatword(formats[0])));
    for (auto _ : state) {
        const ExportResult r = exportcruise(st, formats, std::nullopt);
        if (!r.ok || r.counts.exported != ndrops) std::abort();
    }
}
BENCHMARK(BM_Export)
    ->Arg(int(ExportFormat::netcdf))
    ->Arg(int(ExportFormat::bufr))
    ->Arg(int(ExportFormat::odv))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
