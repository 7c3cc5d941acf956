#!/usr/bin/env bash
# Each Windows program is a PE for its processor (i686 for the programs that ship, or x86_64) that
# imports only the system's own DLLs, so it runs from any folder without a runtime beside it.
#   windows-executables.sh PROCESSOR OBJDUMP EXE...
set -euo pipefail
case $1 in
i686) format='^PE32 executable .*Intel 80386' ;;
x86_64) format='^PE32\+ executable .*x86-64' ;;
*) echo "windows-executables.sh: no such processor: $1" >&2; exit 2 ;;
esac
objdump=$2
shift 2
system_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|SHLWAPI|OLE32|ADVAPI32|bcrypt|msvcrt)\.dll$'
for exe in "$@"; do
  file -b "$exe" | grep -Eq "$format" || { echo "$exe: $(file -b "$exe")"; exit 1; }
  imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
  [ -n "$imports" ]
  if foreign=$(grep -Eiv "$system_dlls" <<<"$imports"); then
    echo "$exe imports $foreign"
    exit 1
  fi
done
