#!/usr/bin/env bash
# Prepares a fresh machine and builds the editor into build/: installs the
# Debian packages that are missing, then configures and builds the dropfix
# program. Afterwards: build/dropfix --demo
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
cmake -S . -B build "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-$(nproc)}" --target dropfix
echo "built: build/dropfix  (try: build/dropfix --demo)"
