#!/usr/bin/env bash
# Times a split of one file in memory driven through the main dialog off-screen against the same
# split by quorvel-split, alternating the runs, and prints median ratios: of the split from the
# click of Split to its return against quorvel-split's whole run, and of the two whole processes
# (the dialog's then includes starting Qt and loading the fonts). Meanwhile the dialog's window is
# asked every 10 ms from another thread; the longest wait for its answer in any run is printed.
#   bench/dialog_split_bench.sh [BUILD_DIR] [ROUNDS] [SIZE_MIB]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/lib.sh"
build=${1:-$top/build}
rounds=${2:-7}
size_mib=${3:-1024}
dialog=$build/bench/dialog_split_bench
tool=$build/cli/quorvel-split
for program in "$dialog" "$tool"; do
  [ -x "$program" ] || { echo "build it first: $program" >&2; exit 1; }
done

work=$(mktemp -d /dev/shm/quorvel-dialog-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$work/source.bin"
mkdir "$work/pieces"

seconds() {
  local start
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  seconds_since "$start"
}
quotient() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

split_times="" process_times="" tool_times="" split_ratios="" process_ratios="" waits=""
for ((round = 1; round <= rounds; round++)); do
  rm -f "$work"/pieces/*
  start=$(date +%s%N)
  report=$(QT_QPA_PLATFORM=offscreen "$dialog" "$work/source.bin" "$work/pieces" 2>/dev/null)
  p=$(seconds_since "$start")
  s=$(echo "$report" | awk '{ print $2 }')
  waits+="$(echo "$report" | sed -n 's/.*longest wait for the window \([0-9.]*\) ms.*/\1/p') "
  rm -f "$work"/pieces/*
  t=$(seconds "$tool" split "$work/source.bin" "$work/pieces")
  split_times+="$s " process_times+="$p " tool_times+="$t "
  split_ratios+="$(quotient "$s" "$t") " process_ratios+="$(quotient "$p" "$t") "
done
rm -f "$work"/pieces/*
QT_QPA_PLATFORM=offscreen "$dialog" "$work/source.bin" "$work/pieces"
echo "pieces: $(ls "$work/pieces" | wc -l)"
echo "medians: split in the dialog $(echo "$split_times" | median_of) s, dialog process $(echo "$process_times" | median_of) s, quorvel-split $(echo "$tool_times" | median_of) s"
echo "median ratio, split in the dialog / quorvel-split: $(echo "$split_ratios" | median_of)  (target <= 1.3)"
echo "median ratio, dialog process / quorvel-split:      $(echo "$process_ratios" | median_of)"
echo "longest wait for the window's answer in any run:   $(echo "$waits" | tr ' ' '\n' | sort -g | tail -1) ms  (target < 100)"
