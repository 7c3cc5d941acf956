#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

scripts/install-deps.sh
scripts/build.sh build
exec build/cli/quorvel-split --help
