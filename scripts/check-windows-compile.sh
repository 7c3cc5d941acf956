#!/usr/bin/env bash
# Compiles for 32-bit Windows, without linking, every source of the framework's core and Win32
# backend, of the controls and of the application, and checks that the framework's headers and
# <windows.h> agree: they compile together in either order, and each constant that
# framework/WindowsNames.h gives the other platforms has the value <windows.h> gives it.
#   scripts/check-windows-compile.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh windows-compile

cxx=i686-w64-mingw32-g++-posix
flags=(-std=c++20 -fsyntax-only -Wall -Wextra -Werror -I "$top")

printf '%s\n' framework/*.cpp framework/win32/*.cpp controls/*.cpp app/*.cpp |
  xargs -P 2 -n 1 "$cxx" "${flags[@]}"

headers=$(printf '#include "%s"\n' framework/*.h framework/win32/*.h | grep -v WindowsNames.h)
windows='#define UNICODE
#define NOMINMAX 1
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>'
printf '%s\n%s\n' "$windows" "$headers" | "$cxx" "${flags[@]}" -x c++ -
printf '%s\n%s\n' "$headers" "$windows" | "$cxx" "${flags[@]}" -x c++ -

# The functions stand for macros, so they are held to the same results on both sides.
values=$(
  echo '#include "framework/Types.h"'
  sed -nE 's/^inline constexpr [A-Za-z_]+ ([A-Z_0-9]+) = (.+);$/static_assert(\1 == \2, "\1");/p' \
    framework/WindowsNames.h
  cat <<'EOF'
static_assert(RGB(1, 2, 3) == 0x030201 && GetRValue(0x030201) == 1 && GetGValue(0x030201) == 2 &&
              GetBValue(0x030201) == 3);
static_assert(MAKELPARAM(1, 500) == 0x01F40001 && MAKEWPARAM(7, 1) == 0x00010007 &&
              LOWORD(0x01F40001) == 1 && HIWORD(0x01F40001) == 500);
EOF
)
echo "$values" | "$cxx" "${flags[@]}" -x c++ -
echo "$values" | g++ "${flags[@]}" -x c++ -
echo "The framework, the controls and the application compile for Windows."
