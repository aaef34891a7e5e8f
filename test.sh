#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
#   ./test.sh [ctest options]              the normal build in build/
#   ./test.sh --sanitize [ctest options]   the same suite built with AddressSanitizer and
#                                          UndefinedBehaviorSanitizer (leak checking on) in
#                                          build-sanitize/; any finding fails its test
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup
if [ "${1:-}" = "--sanitize" ]; then
  shift
  cmake -S . -B build-sanitize -G Ninja -DTARVIK_SANITIZE=ON
  cmake --build build-sanitize
  # Leaks inside system libraries are suppressed (the list is in the file); none of ours is.
  export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizer-leaks.supp:print_suppressions=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest --test-dir build-sanitize --output-on-failure "$@"
  exit
fi
cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure "$@"
