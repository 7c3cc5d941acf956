#!/usr/bin/env bash
# Each Windows program is a 32-bit PE for i386 that imports only the system's own DLLs, so it runs
# from any folder without a runtime beside it.
#   windows-executables.sh OBJDUMP EXE...
set -euo pipefail
objdump=$1
shift
system_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|SHLWAPI|OLE32|ADVAPI32|bcrypt|msvcrt)\.dll$'
for exe in "$@"; do
  file -b "$exe" | grep -q '^PE32 executable .*Intel 80386' || { echo "$exe: $(file -b "$exe")"; exit 1; }
  imports=$("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
  [ -n "$imports" ]
  if foreign=$(grep -Eiv "$system_dlls" <<<"$imports"); then
    echo "$exe imports $foreign"
    exit 1
  fi
done
