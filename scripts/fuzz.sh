#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (60 by default) from a scratch copy of its seed corpus, after
# replaying every input kept in fuzz/regressions/<target>/. A crash, a hang
# over 1 s, memory above 512 MB or a sanitizer report fails the run; the
# failing input is left in a scratch folder whose path is printed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
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
}
rows=()
for t in "${targets[@]}"; do
  exe="$build/fuzz/fuzz_$t"
  work="$scratch/$t"
  mkdir -p "$work/corpus" "$work/artifacts"
  # Inputs that once failed must pass before anything new is tried.
  mapfile -t kept < <(find "$top/fuzz/regressions/$t" -type f ! -name .keep 2>/dev/null | sort)
  if [ ${#kept[@]} -gt 0 ]; then
    if ! "$exe" -timeout=1 -rss_limit_mb=512 -artifact_prefix="$work/artifacts/" "${kept[@]}" \
          >"$work/regressions.log" 2>&1; then
      fail "$t" "$work/regressions.log" "$work/artifacts"
      rows+=("$(printf '%-24s %14s' "fuzz_$t" "régression")")
      continue
    fi
  fi
  cp "$top/fuzz/corpus/$t/"* "$work/corpus/"
  if "$exe" "$work/corpus" -max_total_time="$secs" -timeout=1 -rss_limit_mb=512 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$work/log" | tail -1)
    rows+=("$(printf '%-24s %14s' "fuzz_$t" "${runs:-?}")")
  else
    fail "$t" "$work/log" "$work/artifacts"
    rows+=("$(printf '%-24s %14s' "fuzz_$t" "ÉCHEC")")
  fi
done

printf '%-24s %14s\n' "target" "executions"
printf '%s\n' "${rows[@]}"
if [ "$failed" -ne 0 ]; then
  echo "Dossier de travail gardé : $scratch" >&2
  exit 1
fi
rm -rf "$scratch"
