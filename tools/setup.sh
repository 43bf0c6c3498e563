#!/usr/bin/env bash
# Prepares a fresh machine and builds the editor into build/: installs the
# Debian packages that are missing (as .ci/run does), then configures and
# builds the dropfix program. Afterwards: build/dropfix --demo
set -euo pipefail
cd "$(dirname "$0")/.."
need=()
for p in qt6-base-dev cmake g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev ninja-build \
         xvfb xauth fonts-dejavu-core libgl-dev; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq "${need[@]}"
fi
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
cmake -S . -B build "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-$(nproc)}" --target dropfix
echo "built: build/dropfix  (try: build/dropfix --demo)"
