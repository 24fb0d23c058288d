#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds the panel, the
# board simulator, the tests and the benchmarks into build/; only the given
# targets when PRAMELOR_TARGETS names some (scripts/run.sh: the panel and the
# simulator).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# xvfb: an X server of their own for the tests in which the display goes away.
# libsystemd-dev: pramelord's sd_notify; systemd: systemd-analyze checks its unit.
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          libbenchmark-dev fonts-liberation2 xvfb qt6-translations-l10n libsystemd-dev systemd
          ${PRAMELOR_EXTRA_PACKAGES:-})
. "$top/scripts/packages.sh"
install_missing "${packages[@]}"

build=${PRAMELOR_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${PRAMELOR_BUILD_TYPE:-RelWithDebInfo} ${PRAMELOR_CMAKE_ARGS:-} >/dev/null
targets=()
for t in ${PRAMELOR_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build" --parallel "${targets[@]}"
