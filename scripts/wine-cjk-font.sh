#!/usr/bin/env bash
# Gives the Wine prefix in WINEPREFIX a font with the Chinese characters, which Wine lacks: the
# dialogs' face 宋体 (SimSun) stands for it, and the message boxes' Tahoma and the other faces of
# the system's dialogs fall back to it, so that Chinese messages show their text and not boxes.
# Run with the prefix's Wine session up, after wineboot.
set -euo pipefail
file=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
face="WenQuanYi Micro Hei"
[ -f "$file" ] || { echo "wine-cjk-font: $file is missing (fonts-wqy-microhei)" >&2; exit 1; }
cp -f "$file" "$WINEPREFIX/drive_c/windows/Fonts/"
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
link="hex(7):$(printf '%s' "${file##*/},$face" | iconv -t UTF-16LE | od -An -tx1 -v |
  tr -s ' \n' ',' | sed 's/^,//')00,00,00,00"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for name in SimSun 宋体 NSimSun 新宋体; do
    printf '"%s"="%s"\r\n' "$name" "$face"
  done
  printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for name in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Liberation Sans"; do
    printf '"%s"=%s\r\n' "$name" "$link"
  done
} | iconv -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
wine regedit /s "$(winepath -w "$reg")" >/dev/null 2>&1
