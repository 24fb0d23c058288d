#!/usr/bin/env bash
# One command: install what is missing, build the panel and the simulator
# (only them: the tests and benchmarks are built by scripts/test.sh), start
# the board simulator and the panel wired to it through COM1. Closing the
# panel stops the simulator.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
PRAMELOR_TARGETS="pramelor pramelor-board-sim" "$top/scripts/setup.sh"
build=${PRAMELOR_BUILD_DIR:-$top/build}
link=${PRAMELOR_SIM_LINK:-${XDG_RUNTIME_DIR:-/tmp}/pramelor-com1}

"$build/pramelor-board-sim" --link "$link" "$@" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

PRAMELOR_COM1="$link" "$build/pramelor"
