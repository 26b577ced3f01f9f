#!/usr/bin/env bash
# Builds the Debian package in build/ and checks what it holds: the executables
# that were built, each with its manual page, the menu entry and icon with the
# window, the copyright file and the changelog; validates the menu entry,
# renders every manual page with every groff warning switched on, and runs
# lintian, whose whole output is shown: any error (E:) or warning (W:) fails
# the check. Installs the check's own tools when missing, never the package.
set -euo pipefail
cd "$(dirname "$0")/.."
quelle=$PWD
build=$quelle/build

fehler=0
fehlt() { echo "FEHLT: $*" >&2; fehler=1; }

# Every warning of groff counts as a failure; the page must render at all.
man_pruefen() {
  local seite=$1 ausgabe
  ausgabe=$(groff -man -Tutf8 -ww -z "$seite" 2>&1) || { echo "$ausgabe" >&2; fehlt "groff scheitert an $seite"; return; }
  [ -z "$ausgabe" ] || { echo "$ausgabe" >&2; fehlt "groff warnt bei $seite"; }
  ausgabe=$(MANWIDTH=80 man --warnings=w -l "$seite" 2>&1 >/dev/null) || { echo "$ausgabe" >&2; fehlt "man -l scheitert an $seite"; return; }
  [ -z "$ausgabe" ] || { echo "$ausgabe" >&2; fehlt "man -l warnt bei $seite"; }
}

# The tools of the check, from their Debian packages when missing.
"$quelle/scripts/setup.sh" desktop-file-utils groff-base man-db lintian

[ -f "$build/CMakeCache.txt" ] || cmake -S "$quelle" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

gebaut=()
for exe in gsmbv-konfig gsmbv gsmbv-sim; do
  [ -x "$build/bin/$exe" ] && gebaut+=("$exe")
done
if ((${#gebaut[@]} == 0)); then
  echo "Keines der Programme gsmbv-konfig, gsmbv, gsmbv-sim ist gebaut: nichts zu verpacken." >&2
  exit 1
fi
echo "Gebaut: ${gebaut[*]}"

rm -f "$build"/gsmbv_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
paket=$(ls "$build"/gsmbv_*.deb)
echo "Paket: $paket"
dpkg-deb -f "$paket" Package Version Architecture Depends

inhalt=$(dpkg-deb -c "$paket" | awk '{print $6}')
hat() { grep -qx "$1" <<<"$inhalt" || fehlt "$1 im Paket"; }
abh=$(dpkg-deb -f "$paket" Depends)
braucht() { grep -qE "(^|, )$1( |,|$)" <<<"$abh" || fehlt "Abhängigkeit $1"; }

for p in libqt6core6 qt6-qpa-plugins qt6-translations-l10n; do braucht "$p"; done
for exe in "${gebaut[@]}"; do
  hat "./usr/bin/$exe"
  hat "./usr/share/man/man1/$exe.1.gz"
  case $exe in
    gsmbv-konfig)
      hat ./usr/share/applications/gsmbv-konfig.desktop
      hat ./usr/share/icons/hicolor/scalable/apps/gsmbv-konfig.svg
      # libqt6widgets6 brings libqt6gui6 along; dpkg-shlibdeps may name only it.
      for p in libqt6widgets6 libqt6serialport6; do braucht "$p"; done
      ;;
    gsmbv)
      hat ./usr/share/bash-completion/completions/gsmbv
      ;;
  esac
done
hat ./usr/share/doc/gsmbv/copyright
hat ./usr/share/doc/gsmbv/changelog.Debian.gz

# The files as shipped: menu entry, icon and manual pages.
auspack=$(mktemp -d)
trap 'rm -rf "$auspack"' EXIT
dpkg-deb -x "$paket" "$auspack"
desktop=$auspack/usr/share/applications/gsmbv-konfig.desktop
[ -f "$desktop" ] || desktop=$quelle/packaging/gsmbv-konfig.desktop
desktop-file-validate "$desktop" || fehlt "gültiger Menüeintrag"
[ -z "$(desktop-file-validate "$desktop")" ] || fehlt "Menüeintrag ohne Hinweise"
grep -qx 'Exec=gsmbv-konfig %f' "$desktop" || fehlt "Exec=gsmbv-konfig %f im Menüeintrag"
grep -qx 'Icon=gsmbv-konfig' "$desktop" || fehlt "Icon=gsmbv-konfig im Menüeintrag"
if command -v xmllint >/dev/null; then
  xmllint --noout "$quelle/packaging/gsmbv-konfig.svg" || fehlt "wohlgeformtes Symbol"
fi
for exe in "${gebaut[@]}"; do
  seite=$auspack/$exe.1
  gzip -dc "$auspack/usr/share/man/man1/$exe.1.gz" >"$seite" 2>/dev/null || seite=$quelle/packaging/$exe.1
  man_pruefen "$seite"
done

# The copyright file carries the license of LICENSE; the changelog's newest
# entry is this very version.
grep -qF 'Permission is hereby granted' "$auspack/usr/share/doc/gsmbv/copyright" 2>/dev/null \
  || fehlt "Lizenztext in der copyright-Datei"
version=$(dpkg-deb -f "$paket" Version)
eintrag=$(gzip -dc "$auspack/usr/share/doc/gsmbv/changelog.Debian.gz" 2>/dev/null | head -1)
[[ $eintrag == "gsmbv ($version) "* ]] || fehlt "Eintrag für $version oben im Changelog (steht: $eintrag)"

# lintian: errors, warnings, information and pedantic notes, all shown.
echo "lintian $(lintian --version | awk '{print $2}'):"
befund=$(lintian --display-info --pedantic "$paket" 2>&1 | grep -v '^running with root privileges' || true)
[ -n "$befund" ] && echo "$befund" || echo "(keine Hinweise)"
if grep -qE '^[EW]: ' <<<"$befund"; then
  fehlt "lintian ohne Fehler und Warnungen"
fi

if ((fehler)); then
  echo "Paketprüfung fehlgeschlagen." >&2
  exit 1
fi
echo "Paketprüfung bestanden: $(basename "$paket")"
