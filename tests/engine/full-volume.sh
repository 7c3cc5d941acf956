#!/usr/bin/env bash
# A volume that fills up under a Windows split or join: the run stops with the disk-full cause
# naming the file being written, and leaves neither a partial file nor a temporary; the split
# leaves none of its pieces either. The volume is a
# 2 MB tmpfs, which needs the right to mount; without it the test is skipped (status 77). (Linux
# runs reach the same cause through a file-size limit.)
#   full-volume.sh WINDOWS_EXE
set -uo pipefail
windows_exe=$1
dir=$(mktemp -d)
full=$dir/full
mkdir "$full"
mount -t tmpfs -o size=2m tmpfs "$full" 2>/dev/null || { rm -rf "$dir"; echo "cannot mount a small volume"; exit 77; }
trap 'umount "$full"; rm -rf "$dir"' EXIT
fail() { echo "$*" >&2; exit 1; }
# operation source file: the run onto the volume stops with status 1, the disk full at `file`.
expect_disk_full() {
  local operation=$1 source=$2 file=$3 status
  wine "$windows_exe" "$operation" "$(winepath -w "$source")" "$(winepath -w "$full")" >/dev/null 2>"$dir/err"
  status=$?
  [ $status -eq 1 ] || fail "$operation onto a full volume: status $status, expected 1"
  local message="quorvel-split: 在存取 $(winepath -w "$file") 时磁盘已满。"
  [ "$(tr -d '\r' <"$dir/err")" = "$message" ] || fail "$operation said: $(cat "$dir/err")"
}

head -c 3000000 /dev/urandom >"$dir/a.bin"
expect_disk_full split "$dir/a.bin" "$full/2_a.bin"
[ -z "$(ls -A "$full")" ] || fail "split left: $(ls -A "$full")"

rm -f "$full"/*
mkdir "$dir/pieces"
head -c 1400000 /dev/urandom >"$dir/pieces/1_b.bin"
head -c 1000000 /dev/urandom >"$dir/pieces/2_b.bin"
expect_disk_full join "$dir/pieces/1_b.bin" "$full/b.bin"
[ -z "$(ls -A "$full")" ] || fail "join left: $(ls -A "$full")"
