#!/usr/bin/env bash
# The fault campaign of gsmbv write: random valid configurations written into
# the simulated device (both write models) under random faults -- every fault
# gsmbv-sim offers at random positions, SIGINT, SIGTERM and SIGHUP at random
# times, the simulated device ended in the middle -- and every statement gsmbv
# makes about the device checked against the device's memory. Prints the
# counts and every false statement with the command that repeats its run;
# fails on any, and on a run whose line stayed silent longer than its time
# limit allows.
#   scripts/chaos.sh [LÄUFE] [--saat N] [--lauf I]
# LÄUFE defaults to 100, the seed to 1; --lauf repeats run I of the seed alone.
# The folders of runs that failed stay in build/chaos/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGSMBV_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)" --target gsmbv_chaos >/dev/null
exec build/bin/gsmbv_chaos --ordner "$PWD/build/chaos" "$@"
