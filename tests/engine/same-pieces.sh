#!/usr/bin/env bash
# The same 5 MB file gives the same pieces and checksum list, byte for byte, from the Windows
# quorvel-split (under Wine) and the Linux one, and each joins the other's pieces back into the file.
#   same-pieces.sh WINDOWS_EXE LINUX_EXE
set -euo pipefail
windows_exe=$1
linux_exe=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/linux" "$dir/windows" "$dir/joined-by-windows" "$dir/joined-by-linux"
head -c 5000000 /dev/urandom >"$dir/five.bin"

"$linux_exe" split --size 0.8M "$dir/five.bin" "$dir/linux" >/dev/null
wine "$windows_exe" split --size 0.8M "$(winepath -w "$dir/five.bin")" \
  "$(winepath -w "$dir/windows")" >/dev/null
diff <(cd "$dir/linux" && ls) <(cd "$dir/windows" && ls)
for piece in "$dir"/linux/*; do
  cmp "$piece" "$dir/windows/${piece##*/}"
done
[ "$(ls "$dir/linux" | wc -l)" -eq 8 ]

wine "$windows_exe" join "$(winepath -w "$dir/linux/1_five.bin")" \
  "$(winepath -w "$dir/joined-by-windows")" >/dev/null
"$linux_exe" join "$dir/windows/1_five.bin" "$dir/joined-by-linux" >/dev/null
cmp "$dir/five.bin" "$dir/joined-by-windows/five.bin"
cmp "$dir/five.bin" "$dir/joined-by-linux/five.bin"
