#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup
cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure "$@"
