#!/usr/bin/env bash
# The bash completion of gsmbv, run by bash itself: for each command line the
# completion function is called as bash calls it (COMP_WORDS, COMP_CWORD) and
# COMPREPLY is compared, sorted, with the expected words.
# Usage: test_completion.sh SCRIPT
set -u
skript=$(realpath "$1")
export LC_ALL=C
baum=$(mktemp -d)
trap 'rm -rf "$baum"' EXIT

# A /dev of its own with two adapters and a stable name, and a folder with files.
mkdir -p "$baum/dev/serial/by-id" "$baum/arbeit/alt"
touch "$baum/dev/ttyUSB0" "$baum/dev/ttyACM1" "$baum/dev/ttyS0"
ln -s ../../ttyUSB0 "$baum/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0"
touch "$baum/arbeit/anlage.cfg" "$baum/arbeit/anlage.txt" "$baum/arbeit/LOG.TXT"
cd "$baum/arbeit" || exit 1

# shellcheck source=/dev/null
source "$skript"
_GSMBV_DEV=$baum/dev
usb=$baum/dev/ttyUSB0 acm=$baum/dev/ttyACM1 byid=$baum/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0

fehler=0
# pruefe "EXPECTED WORDS" WORD... (the last word is the one being completed)
pruefe()
{
    local erwartet=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _gsmbv
    local ist
    ist=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    erwartet=$(printf '%s\n' $erwartet | sort | xargs)
    if [[ $ist != "$erwartet" ]]; then
        echo "FEHLER: $* -> \"$ist\", erwartet \"$erwartet\"" >&2
        fehler=1
    fi
}

pruefe "read write log clock show ports diff restore -h --help --version" gsmbv ""
pruefe "read restore" gsmbv re
pruefe "--help --version" gsmbv --
geraet="-v --verbose -q --quiet --transcript"
pruefe "-p --port -o --output -t --timeout $geraet -h --help" gsmbv read -
pruefe "-p --port -t --timeout --force --no-backup --no-verify $geraet -h --help" gsmbv write -
pruefe "--no-backup --no-verify" gsmbv write --no-
pruefe "--set" gsmbv clock --port COM1 --s
pruefe "--force -h --help" gsmbv show -
pruefe "-h --help" gsmbv ports -
pruefe "-p --port -t --timeout --no-backup --no-verify $geraet -h --help" gsmbv restore -
pruefe "alt anlage.cfg" gsmbv restore -p COM1 ""
pruefe "" gsmbv backup -
pruefe "COM1 COM2 COM3 COM4 $usb $acm $byid" gsmbv read --port ""
pruefe "COM2" gsmbv log -p COM2
pruefe "$byid" gsmbv clock --port "$baum/dev/serial/"
pruefe "$usb" gsmbv write --port = "$baum/dev/ttyU"
pruefe "COM1 COM2 COM3 COM4 $usb $acm $byid" gsmbv write --port =
pruefe "" gsmbv read --timeout ""
pruefe "alt anlage.cfg" gsmbv write --port COM1 ""
pruefe "anlage.cfg" gsmbv show an
pruefe "alt anlage.cfg anlage.txt LOG.TXT" gsmbv read -p COM1 -o ""
pruefe "LOG.TXT" gsmbv log --output L
pruefe "alt anlage.cfg anlage.txt LOG.TXT" gsmbv clock --transcript ""
pruefe "" gsmbv clock ""

exit $fehler
