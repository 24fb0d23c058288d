#!/usr/bin/env bash
# Desktop packaging check, quick (the build is reused): installs the panel
# into a temporary prefix with cmake --install, validates the menu entry,
# asks the installed program for --help and --version without a display,
# builds the Debian package with CPack and checks what it holds. The package
# is left in the build folder (pramelor_<version>_<arch>.deb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PRAMELOR_BUILD_DIR:-$top/build}

packages=(desktop-file-utils dpkg-dev)
. "$top/scripts/packages.sh"
install_missing "${packages[@]}"
[ -f "$build/CMakeCache.txt" ] || "$top/scripts/setup.sh"
cmake -S "$top" -B "$build" >/dev/null  # picks up the install rules
cmake --build "$build" --parallel "${PRAMELOR_JOBS:-2}" --target pramelor pramelor-board-sim

stage=$(mktemp -d "${TMPDIR:-/tmp}/pramelor-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
failed=()

echo "== cmake --install (préfixe temporaire)"
cmake --install "$build" --prefix "$stage/usr" >/dev/null
for f in bin/pramelor bin/pramelor-board-sim share/applications/pramelor.desktop \
         share/icons/hicolor/scalable/apps/pramelor.svg share/icons/hicolor/256x256/apps/pramelor.png \
         share/doc/pramelor/README.md; do
  [ -e "$stage/usr/$f" ] || failed+=("installé : $f")
done

echo "== desktop-file-validate"
desktop-file-validate "$stage/usr/share/applications/pramelor.desktop" || failed+=("desktop-file-validate")

echo "== --help / --version sans affichage"
for option in --help --version; do
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$stage/usr/bin/pramelor" "$option" >/dev/null ||
    failed+=("pramelor $option")
done

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$stage/deb" >/dev/null) || failed+=("cpack")
deb=$(find "$stage/deb" -maxdepth 1 -name 'pramelor_*.deb' | head -1)
if [ -n "$deb" ]; then
  contents=$(dpkg-deb -c "$deb")
  for f in ./usr/bin/pramelor ./usr/bin/pramelor-board-sim ./usr/share/applications/pramelor.desktop \
           ./usr/share/icons/hicolor/scalable/apps/pramelor.svg ./usr/share/icons/hicolor/256x256/apps/pramelor.png; do
    grep -q " $f\$" <<<"$contents" || failed+=("paquet : $f")
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  for p in libqt6widgets6 libqt6serialport6 qt6-translations-l10n; do
    grep -q "$p" <<<"$depends" || failed+=("dépendance : $p")
  done
  echo "Depends: $depends"
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
