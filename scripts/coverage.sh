#!/usr/bin/env bash
# Line and branch coverage of src/ by the whole test suite (gcovr).
# Builds in build-cov with --coverage, runs every test, prints the summary and
# writes build-cov/coverage.txt (per file).
#   scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh gcovr
cmake -S . -B build-cov -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null
cmake --build build-cov -j"$(nproc)"
find build-cov -name '*.gcda' -delete
# A test runs the tool as the unprivileged user "nobody": its counts reach the
# count files only where that user may create and update them.
find build-cov -type d -path '*/CMakeFiles/*.dir*' -exec chmod a+rwx {} +
(umask 000 && cd build-cov && QT_QPA_PLATFORM=offscreen ctest -j"$(nproc)" --output-on-failure "$@")
gcovr -r . --object-directory build-cov --filter 'src/' \
      --exclude-throw-branches --exclude-unreachable-branches \
      -j"$(nproc)" --txt build-cov/coverage.txt --print-summary
