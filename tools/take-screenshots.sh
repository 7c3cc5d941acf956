#!/usr/bin/env bash
# Takes the screenshots of the dialogs on a virtual display with a window manager, so that the
# windows have their frames:   tools/take-screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
# Needs xvfb-run and openbox (apt-get install xvfb xauth openbox).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
output=${2:-$top/build/screenshots}
command -v xvfb-run >/dev/null || { echo "needs xvfb-run (apt-get install xvfb xauth)" >&2; exit 1; }
command -v openbox >/dev/null || { echo "needs openbox (apt-get install openbox)" >&2; exit 1; }
cmake --build "$build" --target quorvel-screenshots >/dev/null
mkdir -p "$output"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  "$1" "$2"
  status=$?
  kill $wm
  exit $status' _ "$build/tools/quorvel-screenshots" "$output"
