#!/usr/bin/env bash
# screenshot.sh TOLVAN MAKE_SAMPLES OUT.png: starts the player on a private
# Xvfb server with the demo folder given as its folder, photographs the
# screen's top left 1024 x 600 pixels and stops the player again.
set -euo pipefail
tolvan=$1 make_samples=$2 out=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_samples" "$work/录音 recordings"
rm -f "$out"

export TOLVAN_WORK="$work" TOLVAN_BIN="$tolvan" TOLVAN_SHOT="$out"
# The player writes its scan result into the current directory.
cd "$work"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -eu
  "$TOLVAN_BIN" "$TOLVAN_WORK/录音 recordings" >"$TOLVAN_WORK/tolvan.log" 2>&1 &
  pid=$!
  # The window opens, lists the folder and settles.
  sleep 5
  status=0
  ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 1024x600 -i "$DISPLAY" -frames:v 1 "$TOLVAN_SHOT" || status=$?
  if ! kill -0 "$pid" 2>/dev/null; then echo "tolvan ended early:"; cat "$TOLVAN_WORK/tolvan.log"; exit 1; fi
  kill "$pid"
  wait "$pid" || true
  exit $status
'
# A blank screen compresses to a few kilobytes; the listed window does not.
size=$(stat -c %s "$out")
echo "screenshot: $out ($size bytes)"
[ "$size" -gt 20000 ]
