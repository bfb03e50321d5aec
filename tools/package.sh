#!/usr/bin/env bash
# Builds the programs and what is installed with them, and makes the Debian
# package build/tolvan_VERSION_ARCH.deb (install it with
# apt-get install ./build/tolvan_*.deb, remove it with dpkg -r tolvan).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tolvan tolvan-cli tolvan_man_pages tolvan_desktop_icons
rm -f build/tolvan_*.deb
(cd build && cpack -G DEB)
