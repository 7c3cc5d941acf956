#!/usr/bin/env bash
# Takes the screenshots of the dialogs on a virtual display with a window manager, so that the
# windows have their frames:   tools/take-screenshots.sh [BUILD_DIR] [OUTPUT_DIR]
# The window manager is xfwm4, which draws the buttons a window asks for: no minimize or
# maximize box on the program's dialogs. (openbox draws a minimize box on every window.)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
output=${2:-$top/build/screenshots}
"$top/scripts/install-deps.sh" screenshots
cmake --build "$build" --target quorvel-screenshots >/dev/null
mkdir -p "$output"
# xfwm4 keeps its settings on the session bus.
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash -c '
  xfwm4 --compositor=off >/dev/null 2>&1 &
  wm=$!
  sleep 3
  "$1" "$2"
  status=$?
  kill $wm
  exit $status' _ "$build/tools/quorvel-screenshots" "$output" 2>/dev/null
