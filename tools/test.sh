#!/usr/bin/env bash
# The whole test suite, on a fresh machine too (it installs what is
# missing first): layer rules, module cycles, the normal build with its tests, the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
# run of every fuzz target. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)

bash tools/install-deps.sh
bash tools/check_layers.sh .
bash tools/check_cycles.sh .

echo "== build and test"
cmake -S . -B build "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDROPFIX_BENCH=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitizer build and test"
cmake -S . -B build-asan "${gen[@]}" -DCMAKE_BUILD_TYPE=Debug -DDROPFIX_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1 && command -v clang++ >/dev/null; then
  echo "== fuzz targets (short runs)"
  cmake -S . -B build-fuzz "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DDROPFIX_FUZZ=ON -DDROPFIX_TESTS=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs" --target fuzz_all
  for f in build-fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus=fuzz/corpus/${name#fuzz_}
    mkdir -p build-fuzz/corpus-$name
    echo "-- $name"
    # The HDF5 library under libnetcdf leaks on damaged files; its leaks are
    # not ours to fix, and would end the run before it reaches our code.
    leaks=1
    [ "$name" = fuzz_netcdf ] && leaks=0
    ASAN_OPTIONS=detect_leaks=$leaks "$f" -max_total_time="${FUZZ_SECONDS:-15}" -max_len=80000 -print_final_stats=0 \
      build-fuzz/corpus-$name $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 3
  done
fi
echo "all tests passed"
