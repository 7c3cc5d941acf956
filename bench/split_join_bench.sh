#!/usr/bin/env bash
# Times quorvel-split against the system's own tools on one file and prints median ratios, in
# memory (/dev/shm) and on a disk folder. A split hashes every byte for its checksum list and a
# join checks every byte against it, so in memory their peer is openssl hashing the same file, and
# the split's that of GNU split followed by sha256sum of its pieces; quorvel-split flushes every
# piece and joined file to its device before it says done, so on disk its peer is cp followed by a
# sync of the same bytes, and for the split also GNU split followed by a sync of its pieces, which
# makes as many files.
# The runs alternate, and their order turns each round, so that the machine's noise and any
# effect of going first or last fall on every tool alike. Peak memory is measured last, at every
# piece size, and of a join of ten thousand pieces.
#   bench/split_join_bench.sh [BUILD_DIR] [ROUNDS] [SIZE_MIB] [DISK_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/lib.sh"
build=${1:-$top/build}
rounds=${2:-10}
size_mib=${3:-1024}
disk_parent=${4:-/var/tmp}
tool=$build/cli/quorvel-split
[ -x "$tool" ] || { echo "build quorvel-split first: $tool" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time (apt-get install time)" >&2; exit 1; }
command -v openssl >/dev/null || { echo "needs openssl (apt-get install openssl)" >&2; exit 1; }

memory=$(mktemp -d /dev/shm/quorvel-bench-XXXXXX)
disk=$(mktemp -d "$disk_parent/quorvel-bench-XXXXXX")
trap 'rm -rf "$memory" "$disk"' EXIT

declare -A samples
work=

run_split() { "$tool" split "$work/source.bin" "$work/out" >/dev/null; }
run_split_650m() { "$tool" split --size 650000000 "$work/source.bin" "$work/out" >/dev/null; }
run_join() { "$tool" join "$work/pieces/1_source.bin" "$work/out" >/dev/null; }
run_cp() { cp "$work/source.bin" "$work/out/copy.bin"; }
run_cp_sync() { cp "$work/source.bin" "$work/out/copy.bin" && sync "$work/out/copy.bin" "$work/out"; }
run_gnu_split() { (cd "$work/out" && split -b 1400000 "$work/source.bin"); }
run_gnu_split_sync() { (cd "$work/out" && split -b 1400000 "$work/source.bin" && sync x* .); }
run_gnu_split_sha256sum() { (cd "$work/out" && split -b 1400000 "$work/source.bin" && sha256sum x* >x.sha256); }
run_openssl() { openssl dgst -sha256 "$work/source.bin" >/dev/null; }
run_cat() { cat "$work"/pieces/*_source.bin >"$work/out/cat.bin"; }

# scene folder tool...: one source, its pieces, and rounds of the named runs in turn.
run_scene() {
  local scene=$1 names=("${@:3}")
  work=$2
  mkdir -p "$work/pieces" "$work/out"
  head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$work/source.bin"
  "$tool" split "$work/source.bin" "$work/pieces" >/dev/null
  run_join
  cmp -s "$work/source.bin" "$work/out/source.bin" || { echo "the join differs from the source" >&2; exit 1; }
  for ((round = 0; round < rounds; round++)); do
    for ((i = 0; i < ${#names[@]}; i++)); do
      measure "$scene" "${names[(i + round) % ${#names[@]}]}"
    done
  done
  rm -rf "$work"/*
}

run_scene memory "$memory" split join openssl gnu_split_sha256sum cp gnu_split cat
run_scene disk "$disk" split split_650m join cp_sync gnu_split_sync

# Peak memory at every preset and at sizes far beyond them, on a sparse source larger than the
# largest piece, in memory and across file systems (where the bytes pass through the buffer).
peak_kib=0
peak_line=
sparse=$memory/sparse.bin
truncate -s 2100000000 "$sparse"
peak_run() {
  local size=$1 dest=$2 kib
  mkdir -p "$dest/peak"
  /usr/bin/time -f '%M' -o "$memory/rss" "$tool" split --size "$size" "$sparse" "$dest/peak" >/dev/null
  kib=$(tail -n 1 "$memory/rss")
  peak_line+=" $size${3:-}:${kib}"
  ((kib > peak_kib)) && peak_kib=$kib
  rm -rf "$dest/peak"
}
for size in 1.4M 1.2M 1.0M 0.8M 650000000 2000000000; do peak_run "$size" "$memory"; done
for size in 0.8M 2000000000; do peak_run "$size" "$disk" "(disk)"; done
# A join holds every piece of its set at once: its peak with ten thousand of them.
mkdir -p "$memory/many/out"
head -c 10000000 /dev/urandom >"$memory/many/many.bin"
"$tool" split --size 1000 "$memory/many/many.bin" "$memory/many" >/dev/null
/usr/bin/time -f '%M' -o "$memory/rss" "$tool" join "$memory/many/1_many.bin" "$memory/many/out" >/dev/null
join_peak_kib=$(tail -n 1 "$memory/rss")
rm -rf "$memory/many"

echo "source: ${size_mib} MiB, $rounds rounds; medians in seconds"
echo "in /dev/shm:"
for name in split join openssl gnu_split_sha256sum cp gnu_split cat; do
  printf '  %-20s %s\n' "$name" "$(median "memory.$name")"
done
echo "on disk ($disk_parent):"
for name in split split_650m join cp_sync gnu_split_sync; do printf '  %-20s %s\n' "$name" "$(median "disk.$name")"; done
echo "in /dev/shm  split / openssl sha256:        $(ratio memory.split memory.openssl)"
echo "in /dev/shm  join  / openssl sha256:        $(ratio memory.join memory.openssl)"
echo "in /dev/shm  split / GNU split; sha256sum:  $(ratio memory.split memory.gnu_split_sha256sum)"
echo "in /dev/shm  split / cp:                    $(ratio memory.split memory.cp)"
echo "in /dev/shm  join  / cp:                    $(ratio memory.join memory.cp)"
echo "in /dev/shm  split / GNU split:             $(ratio memory.split memory.gnu_split)"
echo "in /dev/shm  join  / cat:                   $(ratio memory.join memory.cat)"
echo "on disk      split / cp; sync:              $(ratio disk.split disk.cp_sync)"
echo "on disk      join  / cp; sync:              $(ratio disk.join disk.cp_sync)"
echo "on disk      split / GNU split; sync:       $(ratio disk.split disk.gnu_split_sync)"
echo "on disk      split, 650 MB / cp; sync:      $(ratio disk.split_650m disk.cp_sync)"
echo "peak resident (KiB) by piece size:$peak_line"
echo "largest peak resident:                      ${peak_kib} KiB"
echo "join of 10,000 pieces, peak resident:       ${join_peak_kib} KiB"
