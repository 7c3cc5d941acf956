# What the benchmark scripts share; sourced, never run. A script sets `memory` (a folder in
# /dev/shm), `size_mib` and `work`, defines run_NAME for each timed run, and keeps its samples in
# the associative array `samples`, keyed "scene.name".

# A virtual machine hands freed memory back to its host after a moment, and taking it back is
# slow; touching fresh memory right before each run gives every tool the same start.
warm_memory() {
  head -c $((size_mib * 1280 * 1024)) /dev/zero >"$memory/warm"
  rm -f "$memory/warm"
}

seconds_since() { awk -v ns=$(($(date +%s%N) - $1)) 'BEGIN { printf "%.4f", ns / 1e9 }'; }

# scene name: one timed run_NAME, from an empty output folder and warm memory.
measure() {
  local scene=$1 name=$2 start
  rm -f "$work"/out/*
  warm_memory
  start=$(date +%s%N)
  "run_$name"
  samples[$scene.$name]+="$(seconds_since "$start") "
}

# The median of numbers separated by blanks, on standard input.
median_of() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
median() { median_of <<<"${samples[$1]}"; }
ratio() { awk -v a="$(median "$1")" -v b="$(median "$2")" 'BEGIN { printf "%.3f", a / b }'; }
