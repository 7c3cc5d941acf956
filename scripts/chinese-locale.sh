#!/usr/bin/env bash
# Makes the Chinese UTF-8 locale when the system lacks it: the tests read the program's failure
# messages in Chinese under it, and Wine takes a Windows program's interface language from it.
set -euo pipefail
locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8' && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if ! dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q 'install ok installed'; then
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq locales
fi
echo "Making the zh_CN.UTF-8 locale"
"${sudo[@]}" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
