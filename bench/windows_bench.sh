#!/usr/bin/env bash
# Times the Windows quorvel-split.exe under Wine against the Linux quorvel-split on the same file,
# and the Windows file layer's buffered copy (file_copy_bench.exe) against Wine's own copy /b of
# the same bytes, and prints median ratios, in memory (/dev/shm) and on a disk folder. Both
# builds flush every piece and joined file to its device before they say done; the copies do not.
# Every time includes starting the process, which under Wine is printed apart. The runs alternate,
# and their order turns each round, so that the machine's noise falls on every tool alike.
#   bench/windows_bench.sh [LINUX_BUILD] [WINDOWS_BUILD] [ROUNDS] [SIZE_MIB] [DISK_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/lib.sh"
linux_build=$(cd "${1:-$top/build}" && pwd)
windows_build=$(cd "${2:-$top/build-windows}" && pwd)
rounds=${3:-5}
size_mib=${4:-1024}
disk_parent=${5:-/var/tmp}
linux_tool=$linux_build/cli/quorvel-split
windows_tool=$windows_build/bin/quorvel-split.exe
copy_tool=$windows_build/bin/file_copy_bench.exe
for program in "$linux_tool" "$windows_tool" "$copy_tool"; do
  [ -f "$program" ] || { echo "build it first: $program" >&2; exit 1; }
done

# A prefix of its own in the Windows tree, so that the tests' wineserver is never this one. Only
# console programs run in it, so it needs no display.
export WINEPREFIX="$windows_build/wine-bench" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The server first: one that wineboot started would refuse to become persistent.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot --init >/dev/null 2>&1

memory=$(mktemp -d /dev/shm/quorvel-bench-XXXXXX)
disk=$(mktemp -d "$disk_parent/quorvel-bench-XXXXXX")
trap 'wineserver -k; rm -rf "$memory" "$disk"' EXIT

declare -A samples
work=
wwork=

run_linux_split() { "$linux_tool" split "$work/source.bin" "$work/out" >/dev/null; }
run_wine_split() { wine "$windows_tool" split "$wwork\\source.bin" "$wwork\\out" >/dev/null; }
run_linux_join() { "$linux_tool" join "$work/pieces/1_source.bin" "$work/out" >/dev/null; }
run_wine_join() { wine "$windows_tool" join "$wwork\\pieces\\1_source.bin" "$wwork\\out" >/dev/null; }
run_layer_copy() { wine "$copy_tool" "$wwork\\source.bin" "$wwork\\out\\copy.bin"; }
run_copy_b() { wine cmd /c copy /b /y "$wwork\\source.bin" "$wwork\\out\\copy.bin" >/dev/null; }
run_wine_start() { wine "$windows_tool" --version >/dev/null; }

names=(linux_split wine_split linux_join wine_join layer_copy copy_b wine_start)

# scene folder: one source, its pieces, and rounds of every run in turn.
run_scene() {
  local scene=$1
  work=$2
  wwork=$(winepath -w "$work")
  mkdir -p "$work/pieces" "$work/out"
  head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$work/source.bin"
  "$linux_tool" split "$work/source.bin" "$work/pieces" >/dev/null
  run_wine_join
  cmp -s "$work/source.bin" "$work/out/source.bin" || { echo "the Windows join differs from the source" >&2; exit 1; }
  rm -f "$work"/out/*
  run_layer_copy
  cmp -s "$work/source.bin" "$work/out/copy.bin" || { echo "the file layer's copy differs from the source" >&2; exit 1; }
  for ((round = 0; round < rounds; round++)); do
    for ((i = 0; i < ${#names[@]}; i++)); do
      measure "$scene" "${names[(i + round) % ${#names[@]}]}"
    done
  done
  rm -rf "${work:?}"/*
}

run_scene memory "$memory"
run_scene disk "$disk"

echo "source: ${size_mib} MiB, $rounds rounds; medians in seconds"
for scene in memory disk; do
  [ "$scene" = memory ] && echo "in /dev/shm:" || echo "on disk ($disk_parent):"
  for name in "${names[@]}"; do printf '  %-12s %s\n' "$name" "$(median "$scene.$name")"; done
done
for scene in memory disk; do
  where=$([ "$scene" = memory ] && echo "in /dev/shm" || echo "on disk    ")
  echo "$where  split, Wine / Linux:                 $(ratio "$scene.wine_split" "$scene.linux_split")"
  echo "$where  join,  Wine / Linux:                 $(ratio "$scene.wine_join" "$scene.linux_join")"
  echo "$where  file layer's copy / Wine's copy /b:  $(ratio "$scene.layer_copy" "$scene.copy_b")"
done
