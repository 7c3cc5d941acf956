#!/usr/bin/env bash
# Installs the mingw-w64 cross toolchain and Wine when missing, cross-builds GoogleTest once, and
# builds the 32-bit Windows programs into build-windows/ (build-windows/bin/quorvel-split.exe).
# With --x86-64 first, the same sources as 64-bit programs into build-windows64/, for the tests on a
# machine that runs only 64-bit Wine (scripts/windows-test-arch.sh). Extra arguments go to CMake.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

arch=i686 dir=build-windows
if [ "${1:-}" = --x86-64 ]; then
  arch=x86_64 dir=build-windows64
  shift
fi
# icoutils and libxml2-utils read back the resources the programs carry, for their test; the
# Chinese font is the Wine test prefix's (scripts/wine-cjk-font.sh).
packages=(g++-mingw-w64-i686-posix mingw-w64-i686-dev wine wine32:i386 googletest cmake ninja-build file
  icoutils libxml2-utils fonts-wqy-microhei)
[ "$arch" = i686 ] || packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
fi

scripts/chinese-locale.sh

toolchain="$top/cmake/mingw-w64-$arch.cmake"
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

# GoogleTest has no mingw package; Debian's source of it is built once per tree.
gtest="$top/$dir/googletest"
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest/install" -Dgtest_disable_pthreads=OFF \
    >/dev/null
  cmake --build "$gtest/build" -j "$jobs" >/dev/null
  cmake --install "$gtest/build" >/dev/null
fi

cmake -S "$top" -B "$top/$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$gtest/install" "$@" >/dev/null
cmake --build "$top/$dir" -j "$jobs"
