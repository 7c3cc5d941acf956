#!/usr/bin/env bash
# Installs what is missing, builds the plain and the sanitized trees and the Windows one, runs
# every test in each (the Windows ones under Wine), and makes the releases and installs them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh
# The framework, the controls and the application also compile for Windows.
scripts/check-windows-compile.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$jobs"

scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

scripts/build-windows.sh -DQUORVEL_LINUX_SPLIT="$top/build/cli/quorvel-split"
if [ "$(scripts/windows-test-arch.sh)" = x86_64 ]; then
  scripts/build-windows.sh --x86-64 -DQUORVEL_LINUX_SPLIT="$top/build/cli/quorvel-split"
fi
scripts/test-windows.sh

scripts/package.sh
scripts/check-packages.sh
