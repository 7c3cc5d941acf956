#!/usr/bin/env bash
# Installs what is missing, builds the Linux and the Windows trees, and makes the releases in out/:
# the Debian package, and the Windows zip and installer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh packaging
scripts/build.sh build
scripts/build-windows.sh

mkdir -p out
# Stripping stamps each Windows program with the time unless told one: with the commit's, the zip
# and the installer carry the same programs, and a release made again from the commit is the same.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH=$epoch
fi
cpack --config build/CPackConfig.cmake -B "$top/out" >/dev/null
cpack --config build-windows/CPackConfig.cmake -B "$top/out" >/dev/null
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/CPackConfig.cmake)
ls -1 "$top/out/quorvel-splitter_${version}_amd64.deb" "$top/out/quorvel-splitter-${version}-win32.zip" \
  "$top/out/quorvel-splitter-${version}-win32-setup.exe"
