#!/usr/bin/env bash
# Installs the Debian packages that building and testing Dropfix need and
# that this machine lacks. Does nothing when everything is there.
set -euo pipefail
need=()
for p in qt6-base-dev cmake g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev ninja-build \
         xvfb xauth fonts-dejavu-core libgl-dev python3 \
         libnetcdf-dev netcdf-bin libeccodes-dev libeccodes-data libeccodes-tools pkg-config; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done
[ ${#need[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${need[@]}"
