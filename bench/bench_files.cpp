// What the data safety of one written file costs on this disk: the atomic
// replacement (temporary file, flush, rename, directory flush) beside the
// same write and rename without any flush. A drop advance writes two files.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "bench/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// About the size of the q file of a 2000-point drop.
const std::string& payload() {
    static const std::string bytes = [] {
        std::string s;
        char line[32];
        for (int i = 1; i <= 2000; ++i) {
            std::snprintf(line, sizeof line, "%8.2f%8.3f  1  \n", 0.65 * i, 4.0 + 20.0 / i);
            s += line;
        }
        return s;
    }();
    return bytes;
}

const fs::path& scratch() {
    static const fs::path dir = bench::makeScratchDir("dropfix-bench-files");
    return dir;
}

void BM_ReplaceFileAtomically(benchmark::State& state) {
    const std::string target = (scratch() / "BENCH1q_001.KTD").string();
    for (auto _ : state)
        if (!replaceFileAtomically(target, payload()).ok) std::abort();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload().size()));
}
BENCHMARK(BM_ReplaceFileAtomically)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The lower bound: the same bytes and rename, nothing waits for the disk.
void BM_WriteAndRenameWithoutFlush(benchmark::State& state) {
    const std::string target = (scratch() / "BENCH1q_002.KTD").string();
    const std::string temp = target + ".tmp";
    for (auto _ : state) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const auto n = static_cast<ssize_t>(payload().size());
        if (fd < 0 || ::write(fd, payload().data(), payload().size()) != n) std::abort();
        ::close(fd);
        if (::rename(temp.c_str(), target.c_str()) != 0) std::abort();
    }
}
BENCHMARK(BM_WriteAndRenameWithoutFlush)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
