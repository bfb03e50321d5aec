#!/usr/bin/env bash
# Builds the player, makes the demo folder of device recordings, lists it with
# tolvan-cli and opens it in the window.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tolvan tolvan-cli tolvan-make-samples
samples=$PWD/build/samples
./build/tools/tolvan-make-samples "$samples"
./build/cli/tolvan-cli list "$samples"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/app/tolvan "$samples"
else
  echo "No display: to see the window, run ./build/app/tolvan $samples on a desktop (or under xvfb-run)."
fi
