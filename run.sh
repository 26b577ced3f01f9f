#!/usr/bin/env bash
# Set up, build and start the window. Extra arguments go to the program; the
# simulated device answers on COM 1 (--demo) unless a port is given:
#   ./run.sh                              the demo
#   ./run.sh --port /dev/ttyUSB0          the device on that port
#   ./run.sh [--port GERÄT] DATEI.cfg     the same with that file opened
# With GSMBV_RUN_ZEIGEN=1 the program's arguments are printed, one per line,
# instead of building and starting it.
set -euo pipefail
cd "$(dirname "$0")"
argumente=(--demo "$@")
for a in "$@"; do
  case $a in
    --) break ;;
    --port | --port=*) argumente=("$@"); break ;;
  esac
done
if [ -n "${GSMBV_RUN_ZEIGEN:-}" ]; then
  printf '%s\n' "${argumente[@]}"
  exit 0
fi
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec ./build/bin/gsmbv-konfig "${argumente[@]}"
