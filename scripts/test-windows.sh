#!/usr/bin/env bash
# Runs the tests of the Windows build (scripts/build-windows.sh) under Wine: every Wine process of
# the run shares one virtual display and one persistent wineserver, in a prefix of the build tree.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

export WINEPREFIX="$top/build-windows/wine" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko to offer when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

xvfb-run -a bash -c '
  # The server must be persistent before the first Wine process starts one of its own.
  wineserver -p
  wineboot --init >/dev/null 2>&1
  # No window manager runs on the virtual display, and Wine waits two seconds for one whenever a
  # window it leaves to a manager is hidden: Wine manages the windows itself.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  status=0
  ctest --test-dir "$1/build-windows" --output-on-failure -j "$2" || status=$?
  wineserver -k
  exit $status' run "$top" "$jobs"
