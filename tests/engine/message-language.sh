#!/usr/bin/env bash
# quorvel-split names a file's failure in the user's language: in English under an English message
# locale, in the Chinese text under a Chinese one. A Windows program runs under Wine, which takes
# the user's interface language from the locale it starts in.
#   message-language.sh QUORVEL_SPLIT
set -euo pipefail
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
run=("$tool")
path() { printf '%s' "$1"; }
if [[ $tool == *.exe ]]; then
  run=(wine "$tool")
  path() { winepath -w "$1"; }
fi
missing=$(path "$dir/1_x.bin")
said() {
  env -u LC_ALL LC_MESSAGES="$1" "${run[@]}" join "$missing" "$(path "$dir")" 2>&1 >/dev/null |
    tr -d '\r' || true
}
english=$(said en_US.UTF-8)
chinese=$(said zh_CN.UTF-8)
[ "$english" = "quorvel-split: $missing was not found." ] || { echo "English: $english" >&2; exit 1; }
[ "$chinese" = "quorvel-split: 没有找到 $missing。" ] || { echo "Chinese: $chinese" >&2; exit 1; }
