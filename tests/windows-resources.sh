#!/usr/bin/env bash
# Each Windows program carries a manifest that is well-formed XML and declares the Windows versions
# it is written for up to 10 and 11, PerMonitorV2 DPI awareness with the system-wide fallback, long
# paths, and no elevation nor the right to drive other programs' windows (uiAccess), the dialog
# also the present look of the common controls; and the icon up to 256 x 256 pixels and a version
# resource that names the program and the product with its version.
#   windows-resources.sh PRODUCT VERSION EXE...
set -euo pipefail
product=$1 release=$2
shift 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for exe in "$@"; do
  fail() {
    echo "$exe: $*" >&2
    exit 1
  }
  program=$(basename "$exe" .exe)
  wrestool -x --raw --type=24 --name=1 "$exe" >"$scratch/manifest.xml"
  xmllint --noout "$scratch/manifest.xml" || fail "the manifest is not well-formed"
  manifest=$(tr -s ' \n' ' ' <"$scratch/manifest.xml")
  for declared in '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
    '<dpiAwareness [^>]*>PerMonitorV2</dpiAwareness>' '<dpiAware [^>]*>true</dpiAware>' \
    '<longPathAware [^>]*>true</longPathAware>'; do
    grep -q "$declared" <<<"$manifest" || fail "the manifest lacks $declared"
  done
  controls='name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
  if [ "$program" = quorvel-splitter ]; then
    grep -q "$controls" <<<"$manifest" || fail "the manifest lacks the common controls 6"
  fi

  wrestool -x --type=14 "$exe" >"$scratch/icon.ico"
  icotool -l "$scratch/icon.ico" | grep -q -- '--width=256 --height=256' ||
    fail "the icon has no 256 x 256 image: $(icotool -l "$scratch/icon.ico")"
  # The version's texts are UTF-16; without their zero bytes a name runs on into its value.
  version=$(wrestool -x --raw --type=16 "$exe" | tr -d '\0')
  grep -q "OriginalFilename$program.exe" <<<"$version" || fail "no version resource naming it"
  for value in "ProductName$product" "ProductVersion$release"; do
    grep -q "$value" <<<"$version" || fail "the version resource lacks $value"
  done
done
