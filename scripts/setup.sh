#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds the panel, the
# board simulator, the tests and the benchmarks into build/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          libbenchmark-dev fonts-liberation2 ${PRAMELOR_EXTRA_PACKAGES:-})
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installation des paquets : ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${PRAMELOR_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${PRAMELOR_BUILD_TYPE:-RelWithDebInfo} ${PRAMELOR_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel
