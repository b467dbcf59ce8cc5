#!/usr/bin/env bash
# Sets up this machine, builds Tavlo with its tests, and runs every test under a virtual X server.
#   scripts/test.sh              the normal build, warnings as errors
#   scripts/test.sh --sanitize   the same with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=(-DTAVLO_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-sanitize
  cmake_args+=(-DTAVLO_SANITIZE=ON)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
fi

./scripts/setup.sh
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir" --parallel "$(nproc)"
# Each test process runs on a virtual X display of its own (tests/support/with-display.sh).
ctest --test-dir "$build_dir" --parallel "$(nproc)" --output-on-failure
