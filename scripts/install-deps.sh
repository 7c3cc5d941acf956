#!/usr/bin/env bash
# Installs what building, running and testing need on Debian; does nothing when all is there.
#   scripts/install-deps.sh [screenshots | windows-compile | packaging]
# With "screenshots", also the window manager that tools/take-screenshots.sh frames the windows
# with; with "windows-compile", the cross compiler that scripts/check-windows-compile.sh uses;
# with "packaging", what scripts/package.sh makes the releases with.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev
  libssl-dev
  fonts-wqy-microhei
  xvfb xauth imagemagick
)
case "${1:-}" in
screenshots) packages+=(xfwm4 dbus-daemon dbus-bin) ;;
windows-compile) packages+=(g++-mingw-w64-i686-posix mingw-w64-i686-dev) ;;
# dpkg-shlibdeps finds the Debian package's dependencies, and needs file to find its programs;
# lintian checks the package, and man finds the manual pages it installs.
packaging) packages+=(dpkg-dev file nsis lintian man-db) ;;
esac
"$(dirname "$0")/chinese-locale.sh"

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
