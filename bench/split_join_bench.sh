#!/usr/bin/env bash
# Times quorvel-split against the system's own copy tools on one file in memory and prints median
# ratios. The runs alternate, and their order turns each round, so that the machine's noise and
# any effect of going first or last fall on every tool alike.
#   bench/split_join_bench.sh [BUILD_DIR] [ROUNDS] [SIZE_MIB]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
rounds=${2:-10}
size_mib=${3:-1024}
tool=$build/cli/quorvel-split
[ -x "$tool" ] || { echo "build quorvel-split first: $tool" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d /dev/shm/quorvel-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
source_file=$work/source.bin
head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$source_file"
mkdir "$work/pieces" "$work/out"
"$tool" split "$source_file" "$work/pieces" >/dev/null
pieces=()
for ((n = 1; ; n++)); do
  [ -e "$work/pieces/${n}_source.bin" ] || break
  pieces+=("$work/pieces/${n}_source.bin")
done

declare -A samples
peak_kib=0

# A virtual machine hands freed memory back to its host after a moment, and taking it back is
# slow; touching fresh memory right before each run gives every tool the same start.
warm_memory() {
  head -c $((size_mib * 1280 * 1024)) /dev/zero >"$work/warm"
  rm -f "$work/warm"
}

tool_run() {
  /usr/bin/time -f '%M' -o "$work/rss" "$tool" "$@" >/dev/null
  local kib
  kib=$(tail -n 1 "$work/rss")
  ((kib > peak_kib)) && peak_kib=$kib
  return 0
}

run_split() { tool_run split "$source_file" "$work/out"; }
run_cp() { cp "$source_file" "$work/out/copy.bin"; }
run_gnu_split() { (cd "$work/out" && split -b 1400000 "$source_file"); }
run_join() { tool_run join "$work/pieces/1_source.bin" "$work/out"; }
run_cat() { cat "${pieces[@]}" >"$work/out/cat.bin"; }

measure() {
  local name=$1 start end
  rm -f "$work"/out/*
  warm_memory
  start=$(date +%s%N)
  "run_$name"
  end=$(date +%s%N)
  samples[$name]+="$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }') "
}

names=(split cp gnu_split join cat)
measure join
cmp -s "$source_file" "$work/out/source.bin" || { echo "the join differs from the source" >&2; exit 1; }
samples=()
for ((round = 0; round < rounds; round++)); do
  for ((i = 0; i < ${#names[@]}; i++)); do
    measure "${names[(i + round) % ${#names[@]}]}"
  done
done

median() { tr ' ' '\n' <<<"${samples[$1]}" | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$(median "$1")" -v b="$(median "$2")" 'BEGIN { printf "%.3f", a / b }'; }

echo "source: ${size_mib} MiB in /dev/shm, ${#pieces[@]} pieces at 1.4M, $rounds rounds; medians in seconds"
for name in "${names[@]}"; do printf '  %-10s %s\n' "$name" "$(median "$name")"; done
echo "quorvel-split split / cp:        $(ratio split cp)"
echo "quorvel-split split / GNU split: $(ratio split gnu_split)"
echo "quorvel-split join  / cp:        $(ratio join cp)"
echo "quorvel-split join  / cat:       $(ratio join cat)"
echo "quorvel-split peak resident:     ${peak_kib} KiB"
