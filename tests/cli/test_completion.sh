#!/usr/bin/env bash
# The bash completion of gsmbv, run by bash itself: for each command line the
# completion function is called as bash calls it (COMP_WORDS, COMP_CWORD) and
# COMPREPLY is compared, sorted, with the expected words. The commands and the
# options of each come from the program's own help, so that the completion
# cannot fall behind it; the values after them are literal cases.
# Usage: test_completion.sh SCRIPT GSMBV
set -u
skript=$(realpath "$1")
gsmbv=$(realpath "$2")
export LC_ALL=C
baum=$(mktemp -d)
trap 'rm -rf "$baum"' EXIT

# A /dev of its own with two adapters and a stable name, and a folder with files.
mkdir -p "$baum/dev/serial/by-id" "$baum/arbeit/alt"
touch "$baum/dev/ttyUSB0" "$baum/dev/ttyACM1" "$baum/dev/ttyS0"
ln -s ../../ttyUSB0 "$baum/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0"
touch "$baum/arbeit/anlage.cfg" "$baum/arbeit/anlage.txt" "$baum/arbeit/LOG.TXT" "$baum/arbeit/blatt.pdf" "$baum/arbeit/nummern.csv" "$baum/arbeit/werte.json"
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

# The commands of the general help; the options of each command's help, each
# line "-x|--name|META" (META, after one blank: the value it takes, if any).
befehle=$("$gsmbv" --help | sed -n '/^Befehle:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p')
optionen()
{
    "$gsmbv" "$1" --help |
        sed -n 's/^  \(-[a-z]\)\{0,1\}\(, \)\{0,1\}\(--[a-z-]\{1,\}\)\( \([^ ]\{1,\}\)\)\{0,1\}\( .*\)\{0,1\}$/\1|\3|\5/p'
}
[[ -n $befehle ]] || { echo "FEHLER: keine Befehle in gsmbv --help" >&2; exit 1; }
pruefe "$befehle -h --help --version" gsmbv ""
for befehl in $befehle; do
    liste=$(optionen "$befehl")
    alle=$(cut -d'|' -f1,2 <<<"$liste" | tr '|' ' ' | xargs)
    pruefe "$alle -h --help" gsmbv "$befehl" -
    # After an option that takes a value comes its value, after a switch the options again.
    while IFS='|' read -r _ lang wert; do
        [[ -n $lang ]] || continue
        if [[ -n $wert ]]; then
            pruefe "" gsmbv "$befehl" "$lang" -
        else
            pruefe "$alle -h --help" gsmbv "$befehl" "$lang" -
        fi
    done <<<"$liste"
done

pruefe "read restore" gsmbv re
pruefe "diff" gsmbv di
pruefe "serie set show" gsmbv s
pruefe "--help --version" gsmbv --
pruefe "--no-backup --no-verify" gsmbv write --no-
pruefe "--set" gsmbv clock --port COM1 --s
pruefe "alt anlage.cfg" gsmbv restore -p COM1 ""
pruefe "" gsmbv backup -
pruefe "mains_failure.recipients" gsmbv show --empfaenger m
pruefe "alt nummern.csv" gsmbv set anlage.cfg --empfaenger "lines[0].recipients" = ""
pruefe "alt werte.json" gsmbv set anlage.cfg --from ""
pruefe "COM1 COM2 COM3 COM4 $usb $acm $byid" gsmbv read --port ""
pruefe "COM2" gsmbv log -p COM2
pruefe "$byid" gsmbv clock --port "$baum/dev/serial/"
pruefe "$usb" gsmbv write --port = "$baum/dev/ttyU"
pruefe "COM1 COM2 COM3 COM4 $usb $acm $byid" gsmbv write --port =
pruefe "" gsmbv read --timeout ""
pruefe "alt anlage.cfg" gsmbv write --port COM1 ""
pruefe "anlage.cfg" gsmbv show an
pruefe "alt blatt.pdf" gsmbv show --pdf ""
pruefe "alt blatt.pdf" gsmbv show --pdf = ""
pruefe "alt anlage.cfg" gsmbv show --pdf blatt.pdf ""
pruefe "alt anlage.cfg" gsmbv diff anlage.cfg ""
pruefe "alt nummern.csv" gsmbv serie -p COM1 anlage.cfg ""
pruefe "alt anlage.cfg anlage.txt blatt.pdf LOG.TXT nummern.csv werte.json" gsmbv read -p COM1 -o ""
pruefe "LOG.TXT" gsmbv log --output L
pruefe "alt anlage.cfg anlage.txt blatt.pdf LOG.TXT nummern.csv werte.json" gsmbv clock --transcript ""
pruefe "" gsmbv clock ""

exit $fehler
