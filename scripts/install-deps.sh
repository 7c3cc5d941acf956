#!/usr/bin/env bash
# Installs what building, running and testing need on Debian; does nothing when all is there.
#   scripts/install-deps.sh [screenshots]
# With "screenshots", also the window manager that tools/take-screenshots.sh frames the windows
# with.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  qt6-base-dev
  fonts-wqy-microhei
  xvfb xauth imagemagick
)
if [ "${1:-}" = screenshots ]; then
  packages+=(xfwm4 dbus-daemon dbus-bin)
fi

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
