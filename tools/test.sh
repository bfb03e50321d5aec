#!/usr/bin/env bash
# Builds the project twice, plainly and with AddressSanitizer and
# UndefinedBehaviorSanitizer, plus the thread-using parts with ThreadSanitizer,
# and runs every test in each build.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

run_build() {  # dir, ctest label regex or empty, cmake options...
  local dir=$1 label=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  if [ -n "$label" ]; then
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" -L "$label"
  else
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
  fi
}

run_build build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  run_build build-asan "" -DCMAKE_BUILD_TYPE=Debug -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1 \
  run_build build-tsan threads -DCMAKE_BUILD_TYPE=Debug -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF -DTOLVAN_GUI=OFF
