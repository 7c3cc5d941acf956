#!/usr/bin/env bash
# Photographs quorvel-splitter.exe of the Windows build under Wine, in a Wine desktop on a virtual
# display so that the frame and title are Windows' own: scripts/screenshot-windows.sh OUT.png
# With "running" after it, the dialog in the middle of a long split instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:?usage: $0 OUT.png [running]}")
program="$top/build-windows/bin/quorvel-splitter.exe"
if [ "${2:-}" = running ]; then
  cmake --build "$top/build-windows" --target quorvel-running-dialog >/dev/null
  program="$top/build-windows/bin/quorvel-running-dialog.exe"
fi

export WINEPREFIX="$top/build-windows/wine" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  wineserver -p
  wineboot --init >/dev/null 2>&1
  wine explorer /desktop=quorvel,480x320 "$1" & 
  sleep 6
  import -window root -crop 480x320+0+0 "$2"
  wineserver -k' run "$program" "$out"
