#!/usr/bin/env bash
# Installs the Debian packages the build needs, and any named as arguments,
# when they are missing.
#   scripts/setup.sh [PAKET...]
set -euo pipefail
# poppler-utils: the tests read the configuration sheet's PDF with pdftotext.
# libclang-rt-14-dev: the fuzz seed replay needs its FuzzedDataProvider.h.
# at-spi2-core, python3-pyatspi, dbus-daemon, xvfb, xdotool: the screen reader's
# test reaches the window through AT-SPI on a virtual display of its own.
pakete=(cmake g++ make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
        qt6-translations-l10n qt6-qpa-plugins fonts-dejavu-core poppler-utils
        libclang-rt-14-dev at-spi2-core python3-pyatspi dbus-daemon xvfb xdotool "$@")
fehlend=()
for p in "${pakete[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || fehlend+=("$p")
done
if ((${#fehlend[@]})); then
  echo "Installiere: ${fehlend[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${fehlend[@]}" >/dev/null
fi
