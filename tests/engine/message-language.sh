#!/usr/bin/env bash
# quorvel-split names a file's failure in the user's language: in English under an English message
# locale, in the Chinese text under a Chinese one, whichever of LC_ALL, LC_MESSAGES and LANG gives
# it first, whether or not the system has that locale; the locale of the character set is not the
# language. A Windows program runs under Wine, which takes the user's interface language from the
# locale it starts in, and the system's locale from the character set's.
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
english="quorvel-split: $missing was not found."
chinese="quorvel-split: 没有找到 $missing。"
# expect english|chinese VARIABLE=VALUE...
expect() {
  local language=$1 said
  shift
  said=$(env -u LC_ALL -u LC_MESSAGES -u LANG "$@" "${run[@]}" join "$missing" "$(path "$dir")" \
    2>&1 >/dev/null | tr -d '\r' || true)
  [ "$said" = "${!language}" ] || { echo "$*: $said" >&2; exit 1; }
}
en=en_US.UTF-8 zh=zh_CN.UTF-8
expect english LC_MESSAGES=$en
expect chinese LC_MESSAGES=$zh
# Under Wine a Chinese character set makes a Chinese system locale, the interface staying English.
expect english LC_CTYPE=$zh
# The order is Wine's own under Wine, which reads all the categories at once.
[[ $tool == *.exe ]] && exit 0
expect chinese LC_ALL=$zh LC_MESSAGES=$en
expect english LC_ALL=$en LC_MESSAGES=$zh
expect chinese LC_MESSAGES=$zh LANG=$en
expect english LC_MESSAGES=$en LANG=$zh
expect chinese LANG=$zh
