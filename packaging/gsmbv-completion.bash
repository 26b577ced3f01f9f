# Bash completion for gsmbv, the command-line tool of the GSM Boravilon
# configuration: the commands, the options of each command, the ports after
# -p/--port (COM1 to COM4, USB adapters, their stable names), the recipient
# lists after --empfaenger and files: any after -o/--output and --transcript,
# PDFs after --pdf, JSON after --from, CSV after LISTE=, configuration files
# for write, show, diff, restore and set (serie: the template, then the CSV).
# tests/cli/test_completion.sh checks the commands and options against the program's own help.

# Ports beginning with $1. _GSMBV_DEV stands for /dev (tests give a tree of their own).
_gsmbv_ports()
{
    local dev=${_GSMBV_DEV:-/dev} p
    local -a ports=(COM1 COM2 COM3 COM4)
    for p in "$dev"/ttyUSB* "$dev"/ttyACM* "$dev"/serial/by-id/*; do
        [[ -e $p || -L $p ]] && ports+=("$p")
    done
    COMPREPLY=()
    for p in "${ports[@]}"; do
        [[ $p == "$1"* ]] && COMPREPLY+=("$p")
    done
}

# Files beginning with $1; with $2 only those ending in $2 (and folders).
_gsmbv_dateien()
{
    compopt -o filenames 2>/dev/null
    local IFS=$'\n'
    if [[ -n ${2-} ]]; then
        COMPREPLY=($(compgen -d -- "$1") $(compgen -f -X "!*${2-}" -- "$1"))
    else
        COMPREPLY=($(compgen -f -- "$1"))
    fi
}

_gsmbv()
{
    local cur=${COMP_WORDS[COMP_CWORD]} vorher= gleich=
    ((COMP_CWORD > 0)) && vorher=${COMP_WORDS[COMP_CWORD-1]}
    # Bash splits "--port=x" (and "LISTE=DATEI.csv") into "--port", "=", "x".
    if [[ $cur == = ]]; then
        cur= gleich=1
    elif [[ $vorher == = ]] && ((COMP_CWORD > 1)); then
        vorher=${COMP_WORDS[COMP_CWORD-2]} gleich=1
    fi

    local listen="mains_failure.recipients analog.recipients" i
    for i in 0 1 2 3 4 5 6 7; do listen+=" lines[$i].recipients"; done
    case $vorher in
        -p | --port) _gsmbv_ports "$cur"; return ;;
        -o | --output | --transcript) _gsmbv_dateien "$cur"; return ;;
        --pdf) _gsmbv_dateien "$cur" .pdf; return ;;
        -t | --timeout) COMPREPLY=(); return ;;
        --set) [[ ${COMP_WORDS[1]} != clock ]] && { COMPREPLY=(); return; } ;;
        --from) _gsmbv_dateien "$cur" .json; return ;;
        --empfaenger) COMPREPLY=($(compgen -W "$listen" -- "$cur")); return ;;
        *.recipients) [[ -n $gleich ]] && { _gsmbv_dateien "$cur" .csv; return; } ;;
    esac

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "read write log clock show ports diff restore set serie -h --help --version" -- "$cur"))
        return
    fi
    local optionen geraet="-v --verbose -q --quiet --transcript"
    case ${COMP_WORDS[1]} in
        read | log) optionen="-p --port -o --output -t --timeout $geraet -h --help" ;;
        write) optionen="-p --port -t --timeout --force --strict --no-backup --no-verify --force-name --dry-run --set $geraet
               -h --help" ;;
        clock) optionen="-p --port -t --timeout --set $geraet -h --help" ;;
        restore) optionen="-p --port -t --timeout --no-backup --no-verify $geraet -h --help" ;;
        show) optionen="--force --json --pdf --empfaenger -h --help" ;;
        set) optionen="-o --output --from --empfaenger -h --help" ;;
        diff) optionen="-p --port -t --timeout $geraet -h --help" ;;
        serie) optionen="-p --port -t --timeout -v --verbose -q --quiet -h --help" ;;
        ports) optionen="-h --help" ;;
        *) COMPREPLY=(); return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$optionen" -- "$cur"))
        return
    fi
    case ${COMP_WORDS[1]} in
        write | show | diff | restore | set) _gsmbv_dateien "$cur" .cfg ;;
        serie) [[ ${COMP_WORDS[COMP_CWORD-1]} == *.cfg ]] && _gsmbv_dateien "$cur" .csv || _gsmbv_dateien "$cur" .cfg ;;
        *) COMPREPLY=() ;;
    esac
}

complete -F _gsmbv gsmbv
