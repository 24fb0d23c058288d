#!/usr/bin/env bash
# One command: install what is missing, build, and run the whole test suite
# headless. Ends with CTest's summary. Two at a time: the soak test runs
# beside the others, which take turns (tests/CMakeLists.txt).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
build=${PRAMELOR_BUILD_DIR:-$top/build}
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2 "$@"
