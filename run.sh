#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it with a stand linked as COM1:
#   ./run.sh                       the simulated stand (tarvik-stand-sim) on a pseudo-terminal
#   ./run.sh --stand /dev/ttyUSB0  a real stand on that serial device
# The program opens "COM<n>" through build/dev/COM<n> when that link exists (see README).
set -euo pipefail
cd "$(dirname "$0")"

stand=""
if [ "${1:-}" = "--stand" ]; then
  stand=${2:?usage: ./run.sh [--stand DEVICE]}
  shift 2
fi

# The program opens a window: it needs a desktop session (X11 or Wayland). Qt's offscreen
# platform runs it without any window to see, which is only good for trying the start-up.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display; start it from a desktop session (or set QT_QPA_PLATFORM=offscreen to run without a window)" >&2
  exit 1
fi

scripts/setup
cmake -S . -B build -G Ninja
cmake --build build --target tarvik tarvik-stand-sim

mkdir -p build/dev
simulator=""
if [ -n "$stand" ]; then
  ln -sfn "$stand" build/dev/COM1
else
  build/tools/stand-sim/tarvik-stand-sim --link build/dev/COM1 >/dev/null &
  simulator=$!
  trap 'kill "$simulator" 2>/dev/null || true' EXIT
  # Wait until the simulator has linked its line.
  for _ in $(seq 50); do [ -e build/dev/COM1 ] && break; sleep 0.1; done
fi

build/tarvik "$@"
