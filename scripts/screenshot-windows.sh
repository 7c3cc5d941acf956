#!/usr/bin/env bash
# Photographs quorvel-splitter.exe of the Windows build under Wine, in a Wine desktop on a virtual
# display so that the frame and title are Windows' own:
#   scripts/screenshot-windows.sh [--dpi DPI] OUT.png [running]
# --dpi shows it as on a display of that many dots per inch (96 is 100 %, 144 is 150 %); the Wine
# prefix gets its own DPI back afterwards. With "running", the dialog in the middle of a long split.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: $0 [--dpi DPI] OUT.png [running]"
dpi=96
if [ "${1:-}" = --dpi ]; then
  dpi=${2:?$usage}
  shift 2
fi
out=$(realpath -m "${1:?$usage}")
program="$top/build-windows/bin/quorvel-splitter.exe"
if [ "${2:-}" = running ]; then
  cmake --build "$top/build-windows" --target quorvel-running-dialog >/dev/null
  program="$top/build-windows/bin/quorvel-running-dialog.exe"
fi
# The desktop grows with the DPI, as the dialog does.
width=$((480 * dpi / 96)) height=$((320 * dpi / 96))

export WINEPREFIX="$top/build-windows/wine" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb-run -a -s "-screen 0 $((width + 160))x$((height + 160))x24" bash -c '
  set -euo pipefail
  program=$1 out=$2 dpi=$3 width=$4 height=$5 top=$6
  key="HKCU\\Control Panel\\Desktop"
  wineserver -p
  trap "wineserver -k" EXIT
  wineboot --init >/dev/null 2>&1
  "$top/scripts/wine-cjk-font.sh"
  previous=$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d "\r" | awk "/LogPixels/ { print \$3 }" || true)
  wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine explorer /desktop=quorvel,${width}x${height} "$program" &
  sleep 6
  import -window root -crop "${width}x${height}+0+0" "$out"
  if [ -n "$previous" ]; then
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((previous))" /f >/dev/null 2>&1
  else
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  fi' run "$program" "$out" "$dpi" "$width" "$height" "$top"
