#!/usr/bin/env bash
# Desktop packaging check, quick (the build is reused): installs the panel
# into a temporary prefix with cmake --install, validates the menu entry,
# asks the installed program for --help and --version without a display,
# builds the Debian package with CPack, checks what it holds and has lintian
# judge it by Debian's rules (any error or warning fails). The package is
# left in the build folder (pramelor_<version>_<arch>.deb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PRAMELOR_BUILD_DIR:-$top/build}

packages=(desktop-file-utils dpkg-dev lintian man-db file)
. "$top/scripts/packages.sh"
install_missing "${packages[@]}"
[ -f "$build/CMakeCache.txt" ] || "$top/scripts/setup.sh"
cmake -S "$top" -B "$build" >/dev/null  # picks up the install rules
cmake --build "$build" --parallel "${PRAMELOR_JOBS:-2}" --target pramelor pramelor-board-sim pramelord
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

stage=$(mktemp -d "${TMPDIR:-/tmp}/pramelor-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
failed=()

echo "== cmake --install (préfixe temporaire)"
cmake --install "$build" --prefix "$stage/usr" >/dev/null
installed=(bin/pramelor bin/pramelor-board-sim bin/pramelord lib/systemd/system/pramelor@.service
           share/applications/pramelor.desktop
           share/icons/hicolor/scalable/apps/pramelor.svg
           share/doc/pramelor/README.md share/doc/pramelor/copyright share/doc/pramelor/changelog.gz)
for size in 16 32 48 64 128 256; do
  installed+=("share/icons/hicolor/${size}x$size/apps/pramelor.png")
done
for page in pramelor pramelor-board-sim pramelord; do
  installed+=("share/man/man1/$page.1.gz" "share/man/fr/man1/$page.1.gz")
done
for f in "${installed[@]}"; do
  [ -e "$stage/usr/$f" ] || failed+=("installé : $f")
done
for size in 16 32 48 64 128 256; do
  icon="$stage/usr/share/icons/hicolor/${size}x$size/apps/pramelor.png"
  if [ -e "$icon" ] && ! file "$icon" | grep -q ", $size x $size,"; then
    failed+=("icône de ${size}x$size : $(file -b "$icon")")
  fi
done

echo "== pages de manuel"
# As lintian reads them (UTF-8), and as a terminal without UTF-8 shows them.
for page in "$stage"/usr/share/man/man1/*.1.gz "$stage"/usr/share/man/fr/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null &&
             LC_ALL=C MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) &&
    [ -z "$warnings" ] || failed+=("man ${page#"$stage"} : $warnings")
done
top_version=$(zcat "$stage/usr/share/doc/pramelor/changelog.gz" 2>/dev/null | sed -n '1s/^pramelor (\([^)]*\)).*/\1/p' || true)
[ "$top_version" = "$version" ] || failed+=("changelog : version $top_version au lieu de $version")

echo "== desktop-file-validate"
desktop-file-validate "$stage/usr/share/applications/pramelor.desktop" || failed+=("desktop-file-validate")

echo "== --help / --version sans affichage"
for option in --help --version; do
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$stage/usr/bin/pramelor" "$option" >/dev/null ||
    failed+=("pramelor $option")
  "$stage/usr/bin/pramelord" "$option" >/dev/null || failed+=("pramelord $option")
done

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$stage/deb" >/dev/null) || failed+=("cpack")
deb=$(find "$stage/deb" -maxdepth 1 -name 'pramelor_*.deb' | head -1)
if [ -n "$deb" ]; then
  contents=$(dpkg-deb -c "$deb")
  for f in "${installed[@]}"; do
    grep -q " ./usr/$f\$" <<<"$contents" || failed+=("paquet : $f")
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  for p in libqt6widgets6 libqt6serialport6 qt6-translations-l10n; do
    grep -q "$p" <<<"$depends" || failed+=("dépendance : $p")
  done
  echo "Depends: $depends"
  echo "== lintian"
  # lintian minds being run as root (CI is); that remark is no finding.
  verdict=0
  findings=$(lintian --fail-on error,warning "$deb" 2>&1) || verdict=$?
  findings=$(grep -v 'running with root privileges' <<<"$findings" || true)
  [ -n "$findings" ] && echo "$findings"
  [ "$verdict" -eq 0 ] || failed+=("lintian")
  cp "$deb" "$build/"
  echo "Paquet : $build/$(basename "$deb")"
else
  failed+=("paquet .deb absent")
fi

if [ ${#failed[@]} -gt 0 ]; then
  printf 'Empaquetage en échec : %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "Empaquetage : rien à signaler."
