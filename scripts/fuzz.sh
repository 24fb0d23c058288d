#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (60 by default), two at a time, from a scratch copy of its seed
# corpus, after replaying every input kept in fuzz/regressions/<target>/. A crash, a hang
# over 1 s, memory above 512 MB or a sanitizer report fails the run; the
# failing input is left in a scratch folder whose path is printed.
# With --build-only it stops once the targets are built (CI builds them
# while the sanitized suite runs).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_only=""
if [ "${1:-}" = "--build-only" ]; then build_only=1; shift; fi
secs=${1:-60}
build=${PRAMELOR_FUZZ_BUILD_DIR:-$top/build-fuzz}
targets=(analog_decode logic_decode numbers acquisition_file profile)

packages=(clang-14 libclang-rt-14-dev)
. "$top/scripts/packages.sh"
install_missing "${packages[@]}"
# Qt and the rest of the build tools come from the ordinary setup.
compgen -G "/usr/lib/*/cmake/Qt6" >/dev/null || "$top/scripts/setup.sh"

cxx=clang++
command -v "$cxx" >/dev/null || cxx=clang++-14
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=$cxx cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPRAMELOR_FUZZ=ON -DPRAMELOR_BENCH=OFF "${launcher[@]}" ${PRAMELOR_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel "${PRAMELOR_JOBS:-2}" --target "${targets[@]/#/fuzz_}"
[ -z "$build_only" ] || exit 0

export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM=offscreen

scratch=$(mktemp -d "${TMPDIR:-/tmp}/pramelor-fuzz.XXXXXX")
failed=0
fail() {  # target, log, artifact folder
  failed=1
  tail -40 "$2" >&2
  echo >&2
  echo "fuzz_$1 a échoué ; journal : $2" >&2
  local a
  for a in "$3"/*; do
    [ -e "$a" ] && echo "  entrée fautive : $a (à copier dans fuzz/regressions/$1/ une fois corrigé)" >&2
  done
  return 0
}
# One target: the kept inputs, then secs of fuzzing. What it did goes in
# its folder: "row" (executions, or what failed) and "failed" (the log).
run_target() {
  local t=$1 exe="$build/fuzz/fuzz_$1" work="$scratch/$1"
  mkdir -p "$work/corpus" "$work/artifacts"
  # Inputs that once failed must pass before anything new is tried.
  mapfile -t kept < <(find "$top/fuzz/regressions/$t" -type f ! -name .keep 2>/dev/null | sort)
  if [ ${#kept[@]} -gt 0 ]; then
    if ! "$exe" -timeout=1 -rss_limit_mb=512 -artifact_prefix="$work/artifacts/" "${kept[@]}" \
          >"$work/regressions.log" 2>&1; then
      echo "régression" >"$work/row"
      echo "$work/regressions.log" >"$work/failed"
      return
    fi
  fi
  cp "$top/fuzz/corpus/$t/"* "$work/corpus/"
  if "$exe" "$work/corpus" -max_total_time="$secs" -timeout=1 -rss_limit_mb=512 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$work/log" | tail -1)
    echo "${runs:-?}" >"$work/row"
  else
    echo "ÉCHEC" >"$work/row"
    echo "$work/log" >"$work/failed"
  fi
}

# Each target keeps one core: as many at a time as there are jobs (2).
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "${PRAMELOR_JOBS:-2}" ]; do wait -n || true; done
  run_target "$t" &
done
wait
rows=()
for t in "${targets[@]}"; do
  work="$scratch/$t"
  row=$(cat "$work/row" 2>/dev/null || echo "ÉCHEC")
  rows+=("$(printf '%-24s %14s' "fuzz_$t" "$row")")
  if [ -f "$work/failed" ]; then
    fail "$t" "$(cat "$work/failed")" "$work/artifacts"
  elif [ ! -f "$work/row" ]; then
    failed=1
  fi
done

printf '%-24s %14s\n' "target" "executions"
printf '%s\n' "${rows[@]}"
if [ "$failed" -ne 0 ]; then
  echo "Dossier de travail gardé : $scratch" >&2
  exit 1
fi
rm -rf "$scratch"
