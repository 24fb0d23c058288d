#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (60 by default) from a scratch copy of its seed corpus, after
# replaying every input that once failed. A crash, a hang over 1 s, a
# sanitizer report or memory above 512 MB fails the run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
secs=${1:-60}
build=${PRAMELOR_FUZZ_BUILD_DIR:-$top/build-fuzz}
targets=(analog_decode logic_decode numbers acquisition_file profile)

packages=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
ls /usr/lib/*/cmake/Qt6/Qt6Config.cmake >/dev/null 2>&1 || PRAMELOR_BUILD_DIR="$top/build" "$top/scripts/setup.sh"

CXX=clang++-14 cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPRAMELOR_FUZZ=ON -DPRAMELOR_BENCH=OFF ${PRAMELOR_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
summary=""
for t in "${targets[@]}"; do
  exe="$build/fuzz/fuzz_$t"
  reg="$top/fuzz/regressions/$t"
  if compgen -G "$reg/*" >/dev/null && [ -n "$(find "$reg" -type f ! -name .keep)" ]; then
    find "$reg" -type f ! -name .keep -print0 | xargs -0 "$exe" -timeout=1 -rss_limit_mb=512
  fi
  mkdir -p "$scratch/$t/corpus" "$scratch/$t/artifacts"
  cp "$top/fuzz/corpus/$t/"* "$scratch/$t/corpus/"
  if ! "$exe" "$scratch/$t/corpus" -max_total_time="$secs" -timeout=1 -rss_limit_mb=512 \
        -print_final_stats=1 -artifact_prefix="$scratch/$t/artifacts/" >"$scratch/$t/log" 2>&1; then
    tail -50 "$scratch/$t/log"
    kept="$top/fuzz-failures/$t"; mkdir -p "$kept"; cp "$scratch/$t/artifacts/"* "$kept/" 2>/dev/null || true
    echo "fuzz_$t a échoué ; entrée gardée dans $kept (à copier dans fuzz/regressions/$t/ une fois corrigé)" >&2
    exit 1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$t/log" | grep -o '[0-9]*$' || echo "?")
  summary+=$(printf '%-22s %12s exécutions en %s s' "fuzz_$t" "$runs" "$secs")$'\n'
done
printf '%s' "$summary"
