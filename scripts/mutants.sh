#!/usr/bin/env bash
# Mutation test of the suite: makes N random small faults in src/, one at a
# time, builds each and runs the whole suite against it, and prints the share
# the suite caught and every mutant it did not catch.
#   scripts/mutants.sh [N] [SEED]        (defaults 100 and 1)
#   scripts/mutants.sh N SEED NR...      (again: only these of the last run)
#
# - The same N, SEED and commit give the same mutants; a larger N with the same
#   SEED keeps the smaller run's mutants and adds to them.
# - Kinds: a flipped condition (== !=, < >=, > <=, && ||, a "!" removed), a
#   call statement deleted, an integer literal n -> n+1, true <-> false, and
#   the returned value of a bool (negated) or int function (plus one).
#   Comments, string and character literals, preprocessor lines and lines that
#   only declare are never mutated. Every mutable line has the same chance, so
#   a file gets mutants in proportion to its mutable lines.
# - Works on a copy of HEAD in build-mut/tree with its own build in
#   build-mut/build (Debug at -O0 without debug info: quick to compile, and
#   Q_ASSERT stays live); the developer's tree and build are never touched.
#   Changes not committed are not measured.
# - A mutant that fails a test is run again on the failing tests alone: only
#   when they fail again is it caught. Otherwise the suite runs once more;
#   a mutant that never fails twice is "unsicher" (the shared machine's load
#   can fail a test by chance) and is not counted as caught. A hang ends at
#   the time limit and counts as a failure.
# - The summary is printed at the end and written to build-mut/ergebnis.txt;
#   each mutant's build and test output is in build-mut/mutanten/<nr>/.
# - Given numbers, only those mutants are built and tested again, against the
#   suite as it is now; the other mutants keep their result of the last run.
#   Meant for the survivors after tests were added: the mutants must be the
#   same ones (the same N and SEED, src/ unchanged since), else it refuses.
# Exit status 0 when the run was made (the share is a figure, not a gate);
# 1 when the unmutated tree does not build or its suite does not pass.
set -euo pipefail
cd "$(dirname "$0")/.."
quelle=$PWD
anzahl=${1:-100}
saat=${2:-1}
shift $(($# < 2 ? $# : 2))
nur=()
for n in "$@"; do
  [[ $n =~ ^[0-9]+$ ]] && ((10#$n >= 1 && 10#$n <= anzahl)) || { nur=(x); break; }
  nur+=("$(printf '%03d' $((10#$n)))")
done
if ! [[ $anzahl =~ ^[0-9]+$ && $saat =~ ^[0-9]+$ ]] || ((anzahl == 0)) || [[ ${nur[0]:-} == x ]]; then
  echo "Aufruf: scripts/mutants.sh [ANZAHL] [SAAT] [NR ...]   (ganze Zahlen, ANZAHL > 0, 1 <= NR <= ANZAHL)" >&2
  exit 2
fi

renice -n 19 -p $$ >/dev/null   # the machine is shared: builds and tests yield
./scripts/setup.sh python3 ninja-build
PY=/usr/bin/python3

arbeit=$quelle/build-mut
baum=$arbeit/tree          # the copy that is mutated
kopie=$arbeit/head         # HEAD as it is, to restore from
bau=$arbeit/build
mutanten=$arbeit/mutanten
ergebnis=$arbeit/ergebnis.txt
mkdir -p "$arbeit"

commit=$(git rev-parse --short HEAD)
if [ -n "$(git status --porcelain -- src tests)" ]; then
  echo "Hinweis: Änderungen in src/ oder tests/ sind nicht übergeben; gemessen wird HEAD ($commit)."
fi

# ---- The copy: HEAD into build-mut/head, and build-mut/tree made equal to it.
# Only files that differ are written, so the build after a second run redoes
# only what changed; they get a new time stamp, never the commit's older one.
rm -rf "$kopie" && mkdir -p "$kopie" "$baum"
git archive --format=tar HEAD | tar -x -C "$kopie"
"$PY" - "$kopie" "$baum" <<'PYTHON'
import filecmp, os, shutil, sys
von, nach = sys.argv[1:3]
da = set()
for wurzel, _, dateien in os.walk(von):
    for d in dateien:
        rel = os.path.relpath(os.path.join(wurzel, d), von)
        da.add(rel)
        quelle, ziel = os.path.join(von, rel), os.path.join(nach, rel)
        if not os.path.isfile(ziel) or not filecmp.cmp(quelle, ziel, shallow=False):
            os.makedirs(os.path.dirname(ziel), exist_ok=True)
            shutil.copyfile(quelle, ziel)   # a new time stamp: the build sees the change
        shutil.copymode(quelle, ziel)       # run.sh and the test scripts stay executable
for wurzel, _, dateien in os.walk(nach):
    for d in dateien:
        if os.path.relpath(os.path.join(wurzel, d), nach) not in da:
            os.remove(os.path.join(wurzel, d))
PYTHON

# ---- The mutants: build-mut/mutanten/<nr>/ with the file's name, the line,
# the kind, the line before and after, and the whole mutated file.
ziel=$mutanten
if ((${#nur[@]})); then
  ziel=$arbeit/neu
  [ -d "$mutanten" ] || { echo "mutants.sh: kein früherer Lauf in build-mut/mutanten" >&2; exit 2; }
fi
rm -rf "$ziel" && mkdir -p "$ziel"
"$PY" - "$baum" "$anzahl" "$saat" "$ziel" <<'PYTHON'
import bisect, os, random, re, sys

baum, anzahl, saat, ausgabe = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]

# -- Tokens: comments dropped; strings, characters and preprocessor lines are
# single tokens, so nothing inside them is ever changed.
PUNCT = sorted("""<=> <<= >>= ->* ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^=
                  ## { } [ ] ( ) ; : , . ? ~ ! + - * / % ^ & | = < > #""".split(), key=len, reverse=True)
IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
NUMBER = re.compile(r"\.?[0-9](?:[eEpP][+-]|'[0-9A-Za-z_]|[0-9A-Za-z_.])*")
RAW = re.compile(r'(?:u8|u|U|L)?R"([^()\\\s]{0,16})\(')
PREFIX = re.compile(r"(?:u8|u|U|L)[\"']")

def tokens(text):
    """(kind, text, line, column); kinds: id num str chr pp op."""
    starts = [0] + [k + 1 for k, c in enumerate(text) if c == "\n"]
    out, i, n, line_start = [], 0, len(text), True
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True; i += 1; continue
        if c in " \t\r\f\v":
            i += 1; continue
        if text.startswith("//", i):
            j = text.find("\n", i); i = n if j < 0 else j; continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2); i = n if j < 0 else j + 2; continue
        anfang = i
        if c == "#" and line_start:
            while i < n and text[i] != "\n":
                i += 2 if text.startswith("\\\n", i) else 1
            art = "pp"
        else:
            line_start = False
            raw = RAW.match(text, i)
            if raw:
                ende = text.find(")" + raw.group(1) + '"', raw.end())
                i = n if ende < 0 else ende + len(raw.group(1)) + 2; art = "str"
            elif c in "\"'" or PREFIX.match(text, i):
                while text[i] not in "\"'":
                    i += 1
                q = text[i]; i += 1
                while i < n and text[i] != q:
                    i += 2 if text[i] == "\\" else 1
                i += 1; art = "str" if q == '"' else "chr"
            elif IDENT.match(text, i):
                i = IDENT.match(text, i).end(); art = "id"
            elif NUMBER.match(text, i):
                i = NUMBER.match(text, i).end(); art = "num"
            else:
                i += next((len(p) for p in PUNCT if text.startswith(p, i)), 1); art = "op"
        zeile = bisect.bisect_right(starts, anfang)
        out.append((art, text[anfang:i], zeile, anfang - starts[zeile - 1]))
    return out

# -- Scopes: is a brace a type (class, namespace, enum), code, or an
# initializer; and for code, does its function return a bool or an int.
TYPE_WORDS = {"class", "struct", "union", "enum", "namespace", "extern"}
CODE_ENDS = {")", "const", "override", "noexcept", "mutable", "final", "else", "do", "try", "]", ":"}
SPECIFIERS = {"static", "inline", "constexpr", "consteval", "virtual", "explicit", "friend",
              "Q_INVOKABLE", "const", "volatile", "extern", "std", "::"}
INT_WORDS = {"int", "unsigned", "signed", "long", "short", "char", "uchar", "uint", "ushort", "ulong",
             "size_t", "qsizetype", "qint8", "qint16", "qint32", "qint64", "quint8", "quint16",
             "quint32", "quint64", "int8_t", "int16_t", "int32_t", "int64_t", "uint8_t", "uint16_t",
             "uint32_t", "uint64_t"}

def return_kind(words):
    words = [w for w in words if w not in SPECIFIERS]
    if words == ["bool"]:
        return "bool"
    return "int" if words and all(w in INT_WORDS for w in words) else None

def scope(header, parent):
    """The scope a "{" opens after `header` (the tokens since the last ; { or })."""
    t = [x[1] for x in header]
    if t[:2] == ["template", "<"]:          # a template's parameters say nothing here
        tiefe = 0
        for k in range(1, len(t)):
            tiefe += {"<": 1, ">": -1, ">>": -2}.get(t[k], 0)
            if tiefe <= 0:
                t = t[k + 1:]; break
    if TYPE_WORDS & set(t[:t.index("(")] if "(" in t else t):
        return ("type", None)
    if not t:
        return ("code", parent[1] if parent[0] == "code" else None)
    nachgestellt = None                     # a trailing return type: ( ... ) -> T
    if "->" in t and ")" in t[:t.index("->")]:
        nachgestellt = t[t.index("->") + 1:]
    if t[-1] not in CODE_ENDS and nachgestellt is None:
        return ("init", None)
    if parent[0] != "code":                 # a function's body
        if nachgestellt is not None:
            return ("code", return_kind(nachgestellt))
        if "(" not in t or "operator" in t[:t.index("(")]:
            return ("code", None)
        vor = t[:t.index("(")]
        j = len(vor) - 1                    # the (qualified) name goes, its type stays
        while j >= 2 and vor[j - 1] == "::":
            j -= 2
        return ("code", return_kind(vor[:j]))
    if any(t[k] == "]" and (k + 1 == len(t) or t[k + 1] in ("(", "mutable", "->")) for k in range(len(t))):
        return ("code", return_kind(nachgestellt) if nachgestellt else None)   # a lambda
    return ("code", parent[1])              # if, for, while, switch, a block

# -- The mutations one line allows: (kind, column or return kind, old, new).
FLIP = {"==": "!=", "!=": "==", "<": ">=", ">=": "<", ">": "<=", "<=": ">", "&&": "||", "||": "&&"}
BETWEEN_BLANKS = {"<", ">", "<=", ">=", "&&"}   # else a template's bracket or a reference
STATEMENT_BEFORE = {";", "{", "}", ")", "else", ":"}
NOT_CALLS = {"return", "delete", "throw", "sizeof", "static_assert", "assert", "co_return", "co_await",
             "new", "case", "goto", "using", "typedef", "decltype", "if", "while", "for", "switch",
             "catch", "alignof"}
INTEGER = re.compile(r"^(0[xX][0-9A-Fa-f']+|[1-9][0-9']*|0)(|[uUlL]+|ms|s|min|h|us|ns)$")

def plus_one(text):
    m = INTEGER.match(text)
    if not m:
        return None                         # a float, an octal or another form
    ziffern, suffix = m.group(1).replace("'", ""), m.group(2)
    if ziffern[:2] in ("0x", "0X"):
        hex_ = format(int(ziffern, 16) + 1, "X" if any(c.isupper() for c in ziffern[2:]) else "x")
        return ziffern[:2] + hex_.zfill(len(ziffern) - 2) + suffix
    return str(int(ziffern) + 1) + suffix

def call_statement(toks):
    """The whole line is [emit] a(...); or a.b(...); or a::b->c(...); ..."""
    t = [x[1] for x in toks]
    k = 1 if t[:1] == ["emit"] else 0
    if len(t) < k + 4 or t[-2:] != [")", ";"] or toks[k][0] != "id" or t[k] in NOT_CALLS \
            or re.fullmatch(r"[A-Z][A-Z0-9_]*", t[k]) or t[k].startswith("Q_"):
        return False
    tiefe, name_erwartet = 0, False
    for j in range(k, len(t) - 1):
        if tiefe:
            tiefe += {"(": 1, ")": -1}.get(t[j], 0)
        elif t[j] == "(":
            tiefe, name_erwartet = 1, False
        elif t[j] in ("::", ".", "->"):
            if name_erwartet:
                return False
            name_erwartet = True
        elif toks[j][0] == "id" and (j == k or name_erwartet):
            name_erwartet = False
        else:
            return False
    return tiefe == 0 and not name_erwartet

def candidates(toks, src, davor, art, rueckgabe):
    t = [x[1] for x in toks]
    if t[-1:] == [";"] and not {"=", "(", "{"} & set(t) and t[0] not in ("return", "case", "goto", "throw", "co_return"):
        return []                           # only declares: `T name;`, `T name[N];`
    out = []
    for k, x, _, col in toks:
        if k == "op" and x in FLIP:
            if x in BETWEEN_BLANKS and not (src[col - 1:col].isspace() and src[col + len(x):col + len(x) + 1].isspace()):
                continue
            out.append(("Bedingung", col, x, FLIP[x]))
        elif k == "op" and x == "!":
            out.append(("Bedingung", col, "!", ""))
        elif k == "num" and plus_one(x) not in (None, x):
            out.append(("Konstante", col, x, plus_one(x)))
        elif k == "id" and x in ("true", "false"):
            out.append(("Wahrheitswert", col, x, "false" if x == "true" else "true"))
    if art == "code" and davor in STATEMENT_BEFORE and call_statement(toks):
        out.append(("Aufruf", None, None, None))
    literal = len(t) == 3 and toks[1][0] == "num" or len(t) == 4 and t[1] == "-" or t[1:2] in (["true"], ["false"])
    if art == "code" and rueckgabe and t[0] == "return" and t[-1] == ";" and len(t) >= 3 and not literal:
        out.append(("Rueckgabe", rueckgabe, None, None))
    return out

def mutable_lines(pfad):
    """The file's lines and {line number: candidates}."""
    text = open(pfad, encoding="utf-8").read()
    zeilen = text.split("\n")
    stapel, kopf, davor = [("top", None)], [], ";"
    je_zeile, zustand = {}, {}
    for tok in tokens(text):
        art, x, nr = tok[0], tok[1], tok[2]
        if nr not in zustand:
            zustand[nr] = (stapel[-1], davor)
        je_zeile.setdefault(nr, []).append(tok)
        if art == "pp":
            continue
        if x == "{":
            stapel.append(scope(kopf, stapel[-1])); kopf = []
        elif x == "}":
            if len(stapel) > 1:
                stapel.pop()
            kopf = []
        elif x == ";":
            kopf = []
        else:
            kopf.append(tok)
        davor = x
    ergebnis = {}
    for nr, toks in je_zeile.items():
        if any(x[0] == "pp" or "\n" in x[1] for x in toks):
            continue
        (art, rueckgabe), vorher = zustand[nr]
        c = candidates(toks, zeilen[nr - 1], vorher, art, rueckgabe)
        if c:
            ergebnis[nr] = c
    return zeilen, ergebnis

def mutated(src, kandidat):
    art, col, alt, neu = kandidat
    einzug = src[:len(src) - len(src.lstrip())]
    if art == "Aufruf":
        return einzug + ";"
    if art == "Rueckgabe":
        rumpf = src.strip()
        semi = rumpf.rfind(";")
        ausdruck, rest = rumpf[len("return"):semi].strip(), rumpf[semi + 1:]
        neu = f"return !({ausdruck});" if col == "bool" else f"return ({ausdruck}) + 1;"
        return einzug + neu + rest
    return src[:col] + neu + src[col + len(alt):]

dateien = sorted(os.path.relpath(os.path.join(w, d), baum)
                 for w, _, ds in os.walk(os.path.join(baum, "src")) for d in ds if d.endswith((".cpp", ".h")))
alle, inhalt = [], {}
for d in dateien:
    zeilen, kandidaten = mutable_lines(os.path.join(baum, d))
    inhalt[d] = zeilen
    alle += [(d, nr, kandidaten[nr]) for nr in sorted(kandidaten)]

# Every mutable line has the same chance; the order is fixed by the seed, so
# the first N of a larger run are the N of a smaller one.
random.Random(saat).shuffle(alle)
for nr, (d, zeile, kandidaten) in enumerate(alle[:anzahl], 1):
    kandidat = random.Random(f"{saat}:{d}:{zeile}").choice(kandidaten)
    zeilen = list(inhalt[d])
    vorher = zeilen[zeile - 1]
    zeilen[zeile - 1] = mutated(vorher, kandidat)
    ziel = os.path.join(ausgabe, f"{nr:03d}")
    os.makedirs(ziel)
    for name, wert in (("datei", d), ("zeile", str(zeile)), ("art", kandidat[0]),
                       ("vorher", vorher.strip()), ("nachher", zeilen[zeile - 1].strip())):
        open(os.path.join(ziel, name), "w", encoding="utf-8").write(wert + "\n")
    open(os.path.join(ziel, "inhalt"), "w", encoding="utf-8").write("\n".join(zeilen))
print(f"{min(anzahl, len(alle))} Mutanten aus {len(alle)} veränderbaren Zeilen in {len(dateien)} Dateien")
PYTHON

# Again for some: the mutants made now must be the last run's, one for one.
if ((${#nur[@]})); then
  gleich=$([ "$(ls "$ziel")" == "$(ls "$mutanten")" ] && echo ja)
  for d in "$ziel"/*/; do
    n=$(basename "$d")
    cmp -s "$d/inhalt" "$mutanten/$n/inhalt" && cmp -s "$d/datei" "$mutanten/$n/datei" || gleich=""
  done
  if [ -z "$gleich" ]; then
    echo "mutants.sh: die Mutanten sind nicht mehr die des letzten Laufs (src/, ANZAHL oder SAAT geändert)" >&2
    exit 2
  fi
  rm -rf "$ziel"
  for nr in "${nur[@]}"; do rm -f "$mutanten/$nr/ergebnis" "$mutanten/$nr/detail"; done
fi

# ---- The build: its own folder, quick to compile, ccache and lld when there.
if [ ! -f "$bau/CMakeCache.txt" ]; then
  optionen=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DGSMBV_WERROR=OFF)
  command -v ccache >/dev/null && optionen+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  command -v ld.lld >/dev/null && optionen+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
  cmake -S "$baum" -B "$bau" "${optionen[@]}" >/dev/null
fi
export QT_QPA_PLATFORM=offscreen

bauen() { cmake --build "$bau" -j2 >"$1" 2>&1; }

# ctest's --timeout does not override a test's own TIMEOUT, so the limit is
# written into this build's generated test files (again after each build,
# which may have regenerated them).
grenze=120
tests_laufen() {  # log file, ctest arguments...
  local log=$1; shift
  find "$bau" -name CTestTestfile.cmake -exec sed -i -E "s/TIMEOUT \"[0-9.]+\"/TIMEOUT \"$grenze\"/" {} +
  (cd "$bau" && ctest -j2 --timeout "$grenze" --output-on-failure "$@") >"$log" 2>&1
}
gescheitert() {  # the tests of the last ctest run that failed, space-separated
  local f=$bau/Testing/Temporary/LastTestsFailed.log
  [ -f "$f" ] && sed 's/^[0-9]*://' "$f" | paste -sd' ' -
  return 0
}
zeitgrenze() {  # " (Zeitgrenze)" when a test of the log ran out of time
  grep -q '\*\*\*Timeout' "$1" && echo " (Zeitgrenze)"
  return 0
}

# The suite against the built mutant, stopping at the first failure. A test
# that fails is run again on its own: failing again, the mutant is caught.
# Passing then, it may have failed by chance, and the whole suite runs once
# more, so that a test failing by chance does not hide one that fails for
# certain. A mutant that failed only by chance is "unsicher".
pruefen() {  # mutant folder; writes its ergebnis and detail
  local m=$1 lauf namen grund zufall=""
  for lauf in 1 2; do
    tests_laufen "$m/test-$lauf.log" --stop-on-failure && break
    namen=$(gescheitert)$(zeitgrenze "$m/test-$lauf.log")
    if ! tests_laufen "$m/test-$lauf-wieder.log" --rerun-failed; then
      echo gefangen >"$m/ergebnis"
      echo "$(gescheitert)$(zeitgrenze "$m/test-$lauf-wieder.log")" >"$m/detail"
      return
    fi
    grund=$(grep -m1 -E '^FAIL!|\*\*\*Timeout|Subprocess aborted|Exception' "$m/test-$lauf.log" | cut -c1-160 || true)
    zufall+="${zufall:+; }$namen${grund:+ ($grund)}"
  done
  if [ -z "$zufall" ]; then
    echo ueberlebt >"$m/ergebnis"
    : >"$m/detail"
  else
    echo unsicher >"$m/ergebnis"
    echo "nur einmal gescheitert: $zufall" >"$m/detail"
  fi
}

# ---- The unmutated tree must build and pass first; its slowest test sets the
# time limit of a test: four times that, at least 120 s (the load of the
# machine changes, and a test that runs out of time counts as failed).
start=$SECONDS
echo "Bauen und Testen ohne Mutation ($commit) ..."
if ! bauen "$arbeit/basis-bau.log"; then
  tail -30 "$arbeit/basis-bau.log"
  echo "mutants.sh: der unveränderte Stand baut nicht (build-mut/basis-bau.log)" >&2
  exit 1
fi
if ! tests_laufen "$arbeit/basis-test.log"; then
  erste=$(gescheitert)
  if ! tests_laufen "$arbeit/basis-test-2.log" --rerun-failed; then
    tail -40 "$arbeit/basis-test-2.log"
    echo "mutants.sh: der unveränderte Stand besteht die Tests nicht: $(gescheitert) (build-mut/basis-test*.log)" >&2
    exit 1
  fi
  echo "Hinweis: ohne Mutation erst beim zweiten Lauf bestanden: $erste"
fi
langsamste=$(sed -nE 's/.* Passed +([0-9.]+) sec.*/\1/p' "$arbeit/basis-test.log" | sort -n | tail -1)
grenze=$(awk -v t="${langsamste:-0}" 'BEGIN { g = int(4 * t + 1); print (g < 120 ? 120 : g) }')
echo "Ohne Mutation: bestanden, $((SECONDS - start)) s; Zeitgrenze je Test $grenze s"

# ---- One mutant at a time; the file is restored after each, and on any exit.
aktuell=""
wiederherstellen() {
  if [ -n "$aktuell" ]; then
    cp "$kopie/$aktuell" "$baum/$aktuell"
    aktuell=""
  fi
}

zusammenfassung() {
  local gefangen=0 ueberlebt=0 unsicher=0 kaputt=0 gelaufen=0 m e
  local -a liste_ueberlebt=() liste_unsicher=() liste_kaputt=() liste_gefangen=()
  for m in "$mutanten"/*/; do
    [ -f "$m/ergebnis" ] || continue
    gelaufen=$((gelaufen + 1))
    e=$(cat "$m/ergebnis")
    local kopf
    kopf="#$(basename "$m") $(cat "$m/datei"):$(cat "$m/zeile") [$(cat "$m/art")]"
    local zeilen="    - $(cat "$m/vorher")"$'\n'"    + $(cat "$m/nachher")"
    case $e in
      gefangen)  gefangen=$((gefangen + 1)); liste_gefangen+=("$kopf: $(cat "$m/detail")") ;;
      ueberlebt) ueberlebt=$((ueberlebt + 1)); liste_ueberlebt+=("$kopf"$'\n'"$zeilen") ;;
      unsicher)  unsicher=$((unsicher + 1)); liste_unsicher+=("$kopf: $(cat "$m/detail")"$'\n'"$zeilen") ;;
      kaputt)    kaputt=$((kaputt + 1)); liste_kaputt+=("$kopf: $(cat "$m/detail")") ;;
    esac
  done
  local uebersetzt=$((gefangen + ueberlebt + unsicher))
  echo "Mutationstest von src/ auf $commit: $gelaufen von $anzahl Mutanten (Saat $saat), $(((SECONDS - start) / 60)) min"
  if ((${#nur[@]})); then
    echo "  wieder gelaufen:    ${nur[*]} (die übrigen: Ergebnis des vorigen Laufs)"
  fi
  echo "  übersetzt:          $uebersetzt"
  echo "  nicht übersetzbar:  $kaputt"
  echo "  gefangen:           $gefangen"
  echo "  überlebt:           $ueberlebt"
  echo "  unsicher:           $unsicher (nur einmal gescheitert; nicht als gefangen gezählt)"
  if ((uebersetzt > 0)); then
    awk -v g="$gefangen" -v u="$uebersetzt" \
      'BEGIN { printf "  Anteil gefangen:    %.1f %% (%d von %d übersetzten)\n", 100 * g / u, g, u }'
  fi
  local x
  echo; echo "Überlebt ($ueberlebt):"
  for x in "${liste_ueberlebt[@]}"; do echo "  $x"; done
  echo; echo "Unsicher ($unsicher):"
  for x in "${liste_unsicher[@]}"; do echo "  $x"; done
  echo; echo "Nicht übersetzbar ($kaputt):"
  for x in "${liste_kaputt[@]}"; do echo "  $x"; done
  echo; echo "Gefangen ($gefangen):"
  for x in "${liste_gefangen[@]}"; do echo "  $x"; done
}

abgebrochen() {
  wiederherstellen
  echo; echo "mutants.sh: abgebrochen"
  zusammenfassung | tee "$ergebnis"
  exit 130
}
trap abgebrochen INT TERM
trap wiederherstellen EXIT

for m in "$mutanten"/*/; do
  m=${m%/}
  nr=$(basename "$m")
  if ((${#nur[@]})) && [[ " ${nur[*]} " != *" $nr "* ]]; then
    continue
  fi
  aktuell=$(cat "$m/datei")
  t0=$SECONDS
  cp "$m/inhalt" "$baum/$aktuell"
  if ! bauen "$m/bau.log"; then
    echo kaputt >"$m/ergebnis"
    grep -m1 -E 'error:|Fehler' "$m/bau.log" | sed "s|$baum/||" | cut -c1-200 >"$m/detail" || true
  else
    pruefen "$m"
  fi
  wiederherstellen
  printf '[%s/%03d] %s:%s %-13s %-9s %s (%d s)\n' "$nr" "$anzahl" "$(cat "$m/datei")" "$(cat "$m/zeile")" \
    "$(cat "$m/art")" "$(cat "$m/ergebnis")" "$(cat "$m/detail")" $((SECONDS - t0))
done

echo
zusammenfassung | tee "$ergebnis"
echo "(auch in build-mut/ergebnis.txt)"
