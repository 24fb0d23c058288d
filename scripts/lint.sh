#!/usr/bin/env bash
# Static checks, each of which fails the run:
#  - the whole build (panel, simulator, tests, benchmarks) with every warning
#    of -Wall -Wextra -Wpedantic turned into an error, in build-lint/;
#  - clang-tidy with the checked-in .clang-tidy on src/ (any finding fails);
#  - cppcheck on src/;
#  - every C++ file follows the checked-in .clang-format.
# With --reuse-build DIR, DIR is a build already compiled with every warning
# as an error (-DCMAKE_COMPILE_WARNING_AS_ERROR=ON, as CI's test build is):
# its compile commands serve clang-tidy and nothing is compiled again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PRAMELOR_LINT_BUILD_DIR:-$top/build-lint}
reuse=""
if [ "${1:-}" = "--reuse-build" ]; then
  reuse=$(cd "${2:?--reuse-build demande un dossier de compilation}" && pwd)
  build=$reuse
fi

packages=(clang-tidy-14 clang-format-14 cppcheck)
. "$top/scripts/packages.sh"
install_missing "${packages[@]}"
compgen -G "/usr/lib/*/cmake/Qt6" >/dev/null || "$top/scripts/setup.sh"
tidy=clang-tidy-14
command -v "$tidy" >/dev/null || tidy=clang-tidy
format=clang-format-14
command -v "$format" >/dev/null || format=clang-format

failed=()
cd "$top"

if [ -n "$reuse" ]; then
  echo "== Compilation sans avertissement (-Werror) : celle de $reuse"
  if ! grep -qE '^CMAKE_COMPILE_WARNING_AS_ERROR(:[A-Z]+)?=(ON|TRUE|1)$' "$reuse/CMakeCache.txt" 2>/dev/null ||
     [ ! -f "$reuse/compile_commands.json" ]; then
    echo "$reuse n'a pas été compilé avec -DCMAKE_COMPILE_WARNING_AS_ERROR=ON" >&2
    failed+=("compilation")
  fi
else
  echo "== Compilation sans avertissement (-Werror)"
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${launcher[@]}" >/dev/null
  cmake --build "$build" --parallel "${PRAMELOR_JOBS:-2}" || failed+=("compilation")
fi

mapfile -t sources < <(git ls-files 'src/*.cpp')
mapfile -t code < <(git ls-files '*.cpp' '*.h')

echo "== clang-tidy (${#sources[@]} fichiers de src/)"
tidy_log=$(mktemp)
# Two at a time: the machines have few cores and each run parses Qt whole.
printf '%s\0' "${sources[@]}" |
  xargs -0 -P "${PRAMELOR_JOBS:-2}" -n 4 "$tidy" -p "$build" --quiet --warnings-as-errors='*' \
    >"$tidy_log" 2>/dev/null || true
if grep -qE "(warning|error):" "$tidy_log"; then
  grep -E -A3 "(warning|error):" "$tidy_log"
  failed+=("clang-tidy")
fi
rm -f "$tidy_log"

echo "== cppcheck"
cppcheck --enable=warning,performance,portability --library=qt --inline-suppr --std=c++20 -q \
  --error-exitcode=1 -I src src || failed+=("cppcheck")

echo "== clang-format (${#code[@]} fichiers)"
"$format" --dry-run -Werror "${code[@]}" || failed+=("clang-format")

if [ ${#failed[@]} -gt 0 ]; then
  echo "Vérifications en échec : ${failed[*]}" >&2
  exit 1
fi
echo "Vérifications statiques : rien à signaler."
