#!/usr/bin/env bash
# A small volume under the tool, on Linux or, given a .exe, under Wine: a split whose set does not
# fit is refused before anything changes, saying how much room it needs and how much there is; one
# that fits only without the older set of its name removes that first and says so; a join that
# fills the volume stops with the disk-full cause naming its output and leaves nothing. The volume
# is a 2 MB tmpfs, which needs the right to mount; without it the test is skipped (status 77).
#   full-volume.sh TOOL
set -uo pipefail
tool=$1
dir=$(mktemp -d)
full=$dir/full
mkdir "$full"
mount -t tmpfs -o size=2m tmpfs "$full" 2>/dev/null || { rm -rf "$dir"; echo "cannot mount a small volume"; exit 77; }
trap 'umount "$full"; rm -rf "$dir"' EXIT
fail() { echo "$*" >&2; exit 1; }

if [[ $tool == *.exe ]]; then
  native() { winepath -w "$1"; }
  run() { wine "$tool" "$@"; }
else
  native() { echo "$1"; }
  run() { "$tool" "$@"; }
fi
# operation source: runs the tool onto the volume; its status is in $status, its stderr in err.
onto_volume() {
  local size=()
  [ "$1" = split ] && size=(--size 0.8M)
  run "$1" "${size[@]}" "$(native "$2")" "$(native "$full")" >/dev/null 2>"$dir/err"
  status=$?
  err=$(tr -d '\r' <"$dir/err")
}

head -c 3000000 /dev/urandom >"$dir/a.bin"
onto_volume split "$dir/a.bin"
[ $status -eq 1 ] || fail "a split larger than the volume: status $status, expected 1"
[[ $err == "quorvel-split: The pieces need "*" bytes, but $(native "$full") has room for "*". Nothing was changed." ]] ||
  fail "a split larger than the volume said: $err"
[ -z "$(ls -A "$full")" ] || fail "a refused split left: $(ls -A "$full")"

# 1.2 MB, then 1.5 MB of another file of the same name: only one set fits at a time.
head -c 1200000 /dev/urandom >"$dir/b.bin"
onto_volume split "$dir/b.bin"
[ $status -eq 0 ] || fail "a split that fits: status $status: $err"
head -c 1500000 /dev/urandom >"$dir/b.bin"
onto_volume split "$dir/b.bin"
[ $status -eq 0 ] || fail "a split that fits once the older set is gone: status $status: $err"
[[ $err == *"removing it first"* ]] || fail "the older set went unannounced: $err"
[ "$(ls "$full")" = "$(printf '%s\n' 1_b.bin 2_b.bin b.bin.sha256)" ] || fail "left: $(ls -A "$full")"

rm -f "$full"/*
mkdir "$dir/pieces"
head -c 1400000 /dev/urandom >"$dir/pieces/1_c.bin"
head -c 1000000 /dev/urandom >"$dir/pieces/2_c.bin"
onto_volume join "$dir/pieces/1_c.bin"
[ $status -eq 1 ] || fail "a join onto a full volume: status $status, expected 1"
[ "$err" = "quorvel-split: 在存取 $(native "$full/c.bin") 时磁盘已满。" ] || fail "the join said: $err"
[ -z "$(ls -A "$full")" ] || fail "join left: $(ls -A "$full")"
