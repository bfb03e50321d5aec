#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a short while; then
# builds the project twice, plainly and with AddressSanitizer and
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

# Each fuzz target for fuzz_seconds from its seed corpus, $jobs at a time.
# A finding (crash, sanitizer report, leak, timeout) fails the run; its input
# is left in build-fuzz/findings/ and the target's log is shown.
fuzz_seconds=20
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVAN_FUZZ=ON -DTOLVAN_GUI=OFF -DTOLVAN_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz
rm -rf build-fuzz/findings build-fuzz/corpus
mkdir -p build-fuzz/findings
ls tests/fuzz/corpus | xargs -P "$jobs" -I{} bash -c '
  mkdir -p build-fuzz/corpus/{}
  if ! build-fuzz/tests/fuzz/fuzz-{} -max_total_time='"$fuzz_seconds"' -max_len=16384 -timeout=10 -close_fd_mask=1 \
      -artifact_prefix=build-fuzz/findings/{}- build-fuzz/corpus/{} tests/fuzz/corpus/{} >build-fuzz/fuzz-{}.log 2>&1; then
    echo "fuzz-{}: finding" >&2
    tail -n 60 build-fuzz/fuzz-{}.log >&2
    exit 1
  fi
  echo "fuzz-{}: $(grep "^Done" build-fuzz/fuzz-{}.log)"
'

# The Debian package of the plain build, unpacked into a scratch root: its
# Depends come from dpkg-shlibdeps, the installed tolvan-cli tells its version
# and lists the demo folder, the desktop entry and the AppStream file pass
# their validators. Nothing outside the scratch root is installed.
check_package() {
  local root deb depends
  root=$(mktemp -d)
  trap "rm -rf '$root'" EXIT
  rm -f build/tolvan_*.deb
  (cd build && cpack -G DEB >/dev/null)
  deb=$(echo build/tolvan_*.deb)
  depends=$(dpkg-deb --field "$deb" Depends)
  for library in libqt6widgets6 libpulse0; do
    [[ $depends == *"$library "* ]] || { echo "package: $deb does not depend on $library: $depends" >&2; return 1; }
  done
  dpkg -x "$deb" "$root"
  "$root/usr/bin/tolvan-cli" --version
  build/tools/tolvan-make-samples "$root/samples"
  [ "$("$root/usr/bin/tolvan-cli" list "$root/samples" | head -n 1)" = "总共45条记录，第1页，共3页" ] ||
    { echo "package: the installed tolvan-cli does not list the demo folder" >&2; return 1; }
  desktop-file-validate "$root"/usr/share/applications/*.desktop
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
  echo "package: $deb, version $(dpkg-deb --field "$deb" Version), unpacks, runs and validates"
  rm -rf "$root"
}

# The builds and their tests come last, so that the run ends on ctest's summary.
run_build build "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
check_package
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  run_build build-asan "" -DCMAKE_BUILD_TYPE=Debug -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp" \
  run_build build-tsan threads -DCMAKE_BUILD_TYPE=Debug -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF -DTOLVAN_GUI=OFF
