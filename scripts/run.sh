#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh
scripts/build.sh build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "No display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run this from a desktop session, or on a virtual display:  xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
exec build/app/quorvel-splitter
