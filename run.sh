#!/usr/bin/env bash
# Set up, build and start the window with the simulated device on COM 1.
# Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec ./build/bin/gsmbv-konfig --demo "$@"
