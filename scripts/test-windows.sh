#!/usr/bin/env bash
# Runs the tests of the Windows build (scripts/build-windows.sh) under Wine: every Wine process of
# the run shares one virtual display and one persistent wineserver, in a prefix of the build tree.
# Where this machine runs only 64-bit Wine (scripts/windows-test-arch.sh), the tests of the 64-bit
# build, build-windows64/, run instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

tree=$top/build-windows
export WINEARCH=win32
real_wine=$(command -v wine)
if [ "$("$top/scripts/windows-test-arch.sh")" = x86_64 ]; then
  echo "test-windows: this kernel cannot start 32-bit programs; the 64-bit build's tests run under 64-bit Wine" >&2
  tree=$top/build-windows64
  export WINEARCH=win64
  real_wine=/usr/lib/wine/wine64
fi
bin=$tree/wine-bin
mkdir -p "$bin"
if [ "$WINEARCH" = win64 ]; then
  # Debian's wine and wineboot start the 32-bit loader whenever it is installed, runnable or not.
  for tool in wineboot winepath; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 %s "$@"\n' "$tool" >"$bin/$tool"
  done
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$bin/wineserver"
fi
# The first program to need the desktop starts Wine's desktop process, which inherits that
# program's output and can outlive it by many seconds, while CTest waits for the output to end. So
# each program writes its output into files, passed on once it has ended.
cat >"$bin/wine" <<WRAPPER
#!/bin/sh
out=\$(mktemp) && err=\$(mktemp) || exit 125
"$real_wine" "\$@" >"\$out" 2>"\$err"
status=\$?
cat "\$out"
cat "\$err" >&2
rm -f "\$out" "\$err"
exit \$status
WRAPPER
chmod +x "$bin"/*
export PATH=$bin:$PATH

export WINEPREFIX="$tree/wine" WINEDEBUG=-all
# No Mono or Gecko to offer when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

xvfb-run -a bash -c '
  # The server must be persistent before the first Wine process starts one of its own.
  wineserver -p
  wineboot --init >/dev/null 2>&1
  "$3/scripts/wine-cjk-font.sh"
  # No window manager runs on the virtual display, and Wine waits two seconds for one whenever a
  # window it leaves to a manager is hidden: Wine manages the windows itself.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  status=0
  # Wine on a loaded machine now and then fails to start a process or to make a window; a test
  # that fails is run once more, and its first failure stays in the log.
  tree=$1 jobs=$2
  shift 3
  ctest --test-dir "$tree" --output-on-failure -j "$jobs" --repeat until-pass:2 "$@" || status=$?
  wineserver -k
  exit $status' run "$tree" "$jobs" "$top" "$@"
