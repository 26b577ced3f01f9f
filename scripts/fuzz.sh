#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang in build-fuzz and runs each
# for its share of the total time, as many at once as there are cores. Each
# target starts from a scratch copy of its seeds in fuzz/corpus/<name>/; the
# repository's corpus is never written to. Any crash, sanitizer report,
# failed invariant or hang fails the run; the input that did it is kept in
# build-fuzz/funde/<name>/.
#   scripts/fuzz.sh [SECONDS_TOTAL]      (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
gesamt=${1:-60}

./scripts/setup.sh clang libclang-rt-14-dev

start=$SECONDS
cmake -S . -B build-fuzz -DGSMBV_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target gsmbv_fuzz_alle
gebaut=$SECONDS

ziele=()
for f in build-fuzz/fuzz-bin/fuzz_*; do
  [ -x "$f" ] && ziele+=("$(basename "$f")")
done
if ((${#ziele[@]} == 0)); then
  echo "fuzz.sh: keine Fuzz-Ziele gebaut" >&2
  exit 1
fi

# Run as many targets at once as there are cores; each gets the same share.
parallel=$(nproc)
((parallel > ${#ziele[@]})) && parallel=${#ziele[@]}
runden=$(( (${#ziele[@]} + parallel - 1) / parallel ))
anteil=$(( gesamt / runden ))
((anteil < 1)) && anteil=1

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen

arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
laeuft() {
  local ziel=$1 name=${1#fuzz_}
  mkdir -p "$arbeit/$name" "build-fuzz/funde/$name"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$arbeit/$name/"
  local rc=0
  "build-fuzz/fuzz-bin/$ziel" "$arbeit/$name" -max_total_time="$anteil" -print_final_stats=1 \
    -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="build-fuzz/funde/$name/" >"$arbeit/$name.log" 2>&1 || rc=$?
  echo "$rc" >"$arbeit/$name.rc"
}

pids=()
for ziel in "${ziele[@]}"; do
  while (( $(jobs -rp | wc -l) >= parallel )); do
    wait -n || true
  done
  laeuft "$ziel" &
  pids+=($!)
done
for pid in "${pids[@]}"; do
  wait "$pid" || true
done

fehler=0
gesamtLaeufe=0
printf '%-22s %12s %s\n' "Ziel" "Eingaben" "Ergebnis"
for ziel in "${ziele[@]}"; do
  name=${ziel#fuzz_}
  rc=$(cat "$arbeit/$name.rc" 2>/dev/null || echo 99)
  laeufe=$(sed -n 's/^stat::number_of_executed_units: *//p' "$arbeit/$name.log" | tail -1)
  laeufe=${laeufe:-0}
  gesamtLaeufe=$((gesamtLaeufe + laeufe))
  if [ "$rc" = 0 ] && ! grep -q "ERROR: \|runtime error\|Invariante verletzt" "$arbeit/$name.log"; then
    printf '%-22s %12s %s\n' "$ziel" "$laeufe" "ok (${anteil} s)"
  else
    fehler=1
    printf '%-22s %12s %s\n' "$ziel" "$laeufe" "FEHLER (Exit $rc)"
    echo "----- $ziel -----"
    tail -60 "$arbeit/$name.log"
    echo "Eingabe: $(ls -1 "build-fuzz/funde/$name/" 2>/dev/null | tr '\n' ' ')"
  fi
done
echo "fuzz.sh: Bauen $((gebaut - start)) s, Fuzzen $((SECONDS - gebaut)) s, $gesamtLaeufe Eingaben"
exit $fehler
