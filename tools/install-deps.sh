#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run, test and
# benchmark. Safe to run again: apt-get only installs what is missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libpulse-dev
  googletest libgtest-dev libbenchmark-dev
  # the fuzz targets: clang with libFuzzer and its sanitizer run-times
  clang libclang-rt-14-dev
  # running the window and its tests
  xvfb xauth fonts-wqy-microhei
  # sound: a private PulseAudio server for the playback tests
  pulseaudio pulseaudio-utils
  # reference tools used by tests and benchmarks
  sox ffmpeg python3 python3-xlrd libbcg729-dev
  # the second reader of the exported workbooks (LibreOffice headless, about 265 MB)
  libreoffice-calc-nogui
  # the Debian package (cpack with dpkg-shlibdeps) and the checks of what it
  # installs: desktop entry, AppStream file, manual pages
  dpkg-dev file desktop-file-utils appstream man-db
)

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: run as root or install sudo" >&2
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have no package lists at all; a stale one may lack a
# package that exists upstream. Update when the lists are missing or when an
# install from the present lists fails.
if [ -z "$(ls -A /var/lib/apt/lists 2>/dev/null | grep -v -e '^lock$' -e '^partial$' -e '^auxfiles$')" ]; then
  "${sudo[@]}" apt-get update
fi
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
