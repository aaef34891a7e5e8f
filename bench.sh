#!/usr/bin/env bash
# Installs what is missing, builds the program and its benchmarks (optimised, with debug
# information, unless build/ was configured otherwise) and runs every benchmark side by side,
# printing one table of the program against what bounds it. Takes a few minutes; the figures
# are for reading, nothing fails on time.
#   ./bench.sh           the full run
#   ./bench.sh --quick   fewer repetitions
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup
cmake -S . -B build -G Ninja
cmake --build build --target bench_suite
exec build/bench/bench_suite "$@"
