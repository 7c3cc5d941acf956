#!/usr/bin/env bash
# Prints the processor the Windows tests run for here: i686, the programs that ship, where this
# machine starts 32-bit Wine; x86_64 where its kernel cannot start 32-bit programs at all (no IA-32
# emulation), so that only 64-bit Wine runs.
set -euo pipefail
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
