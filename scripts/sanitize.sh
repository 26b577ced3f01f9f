#!/usr/bin/env bash
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-san, with the standard library's checks on (_GLIBCXX_ASSERTIONS: an index
# out of range, front() of an empty container abort), and runs every test
# there. Any sanitizer report or failed check fails the run.
#   scripts/sanitize.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
start=$SECONDS
cmake -S . -B build-san -DCMAKE_BUILD_TYPE=Debug -DGSMBV_SANITIZE=ON -DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS >/dev/null
cmake --build build-san -j"$(nproc)"
gebaut=$SECONDS

export QT_QPA_PLATFORM=offscreen
# detect_leaks stays on; leaks inside system libraries (fontconfig, Qt's own
# caches, ...) are suppressed by name in lsan.supp, never our code.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_summary=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:print_summary=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"

cd build-san
rc=0
ctest --output-on-failure -j"$(nproc)" -E '^test_bildschirmleser$' "$@" || rc=$?
# The screen-reader test runs the window on a real X display. There
# libxkbcommon-x11 copies the keymap's names with strndup from length-bounded
# X replies that carry no terminating zero; strict string checks take that for
# an overflow inside the system library. That one test runs without them.
ASAN_OPTIONS="${ASAN_OPTIONS/strict_string_checks=1/strict_string_checks=0}" \
    ctest --output-on-failure -R '^test_bildschirmleser$' "$@" || rc=$?
echo "sanitize.sh: Bauen $((gebaut - start)) s, Tests $((SECONDS - gebaut)) s"
exit $rc
