#!/usr/bin/env bash
# Installs the releases that scripts/package.sh made and starts what they installed: the Debian
# package through apt-get (as root, or through sudo), removed again unless it was there before; the
# Windows installer silently under Wine, in the Windows tests' prefix, uninstalled again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/out
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$top/build/CPackConfig.cmake")
deb=$out/quorvel-splitter_${version}_amd64.deb
zip=$out/quorvel-splitter-${version}-win32.zip
setup=$out/quorvel-splitter-${version}-win32-setup.exe
fail() {
  echo "check-packages: $*" >&2
  exit 1
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The Debian package: its files, its dependencies as the libraries' packages give them, and the
# tool it installs.
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in usr/bin/quorvel-split usr/bin/quorvel-splitter \
  usr/share/applications/quorvel-splitter.desktop \
  usr/share/icons/hicolor/16x16/apps/quorvel-splitter.png \
  usr/share/icons/hicolor/256x256/apps/quorvel-splitter.png \
  usr/share/icons/hicolor/scalable/apps/quorvel-splitter.svg; do
  grep -qx "\./$path" <<<"$contents" || fail "$deb lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libc6 qt6-qpa-plugins; do
  grep -q "\b$package\b" <<<"$depends" || fail "$deb does not depend on $package: $depends"
done
# The project has no licence to state, changelog or manual pages yet: lintian's complaints of
# those are known, any other fails.
TMPDIR=$scratch lintian --fail-on error,warning --suppress-tags no-changelog,no-copyright-file,no-manual-page \
  "$deb" 2>/dev/null || fail "lintian finds fault with $deb"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=300)
apt_quietly() { "${apt[@]}" "$@" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log" >&2; fail "apt-get $*"; }; }
was_installed=$(dpkg-query -W -f='${Status}' quorvel-splitter 2>/dev/null | grep -c 'install ok installed' || true)
apt_quietly install -y --reinstall "$deb"
said=$(/usr/bin/quorvel-split --version 2>&1 || true)
[ "$was_installed" -eq 1 ] || apt_quietly purge -y quorvel-splitter
[ "$said" = "quorvel-split $version" ] || fail "the installed quorvel-split says '$said'"
echo "Debian package: installed, quorvel-split --version says '$said'"

# The Windows zip holds the programs and nothing else, each one fit to run from anywhere.
listed=$(cmake -E tar tf "$zip")
programs=$(sed -n "s|^quorvel-splitter-${version}-win32/\([^/]*\.exe\)$|\1|p" <<<"$listed")
[ "$(wc -l <<<"$listed")" -eq "$(wc -l <<<"$programs")" ] || fail "$zip holds more than programs: $listed"
grep -qx quorvel-split.exe <<<"$programs" || fail "$zip lacks quorvel-split.exe"
(cd "$scratch" && cmake -E tar xf "$zip")
unpacked=$scratch/quorvel-splitter-${version}-win32
objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$top/build-windows/CMakeCache.txt")
# shellcheck disable=SC2086
(cd "$unpacked" && bash "$top/tests/windows-executables.sh" "$objdump" $programs)

# The installer puts the same programs in Program Files and the Start menu entry for the dialog.
export WINEPREFIX="$top/build-windows/wine" WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko to offer when the prefix is made, and no desktop entries for the Start menu.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb-run -a bash -c '
  set -euo pipefail
  setup=$1 unpacked=$2 version=$3
  shift 3
  folder="$WINEPREFIX/drive_c/Program Files/Quorvel File Splitter"
  menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvel File Splitter"
  fail() {
    echo "check-packages: $*" >&2
    exit 1
  }
  # The server first: one that wineboot started would refuse to become persistent.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  trap "wineserver -k" EXIT
  wineboot --init >/dev/null 2>&1
  # What a check that failed half-way left installed.
  rm -rf "$folder" "$menu"
  wine "$setup" /S
  for program in "$@"; do
    cmp "$unpacked/$program" "$folder/$program" || fail "the installer did not put $program in place"
  done
  said=$(wine "C:\\Program Files\\Quorvel File Splitter\\quorvel-split.exe" --version | tr -d "\r")
  [ "$said" = "quorvel-split $version" ] || fail "the installed quorvel-split.exe says \"$said\""
  [ -f "$menu/Uninstall.lnk" ] || fail "no Start menu folder"
  case " $* " in
  *" quorvel-splitter.exe "*)
    [ -f "$menu/Quorvel File Splitter.lnk" ] || fail "no Start menu entry for the dialog" ;;
  esac
  # The uninstaller runs on from a copy of itself, so its end shows as the folder going.
  wine "$folder/Uninstall.exe" /S
  for ((tries = 0; tries < 100; tries++)); do
    [ -e "$folder" ] || break
    sleep 0.1
  done
  [ ! -e "$folder" ] && [ ! -e "$menu" ] || fail "the uninstaller left files behind"
  echo "Windows installer: installed and uninstalled silently, quorvel-split.exe --version says \"$said\""
' check "$setup" "$unpacked" "$version" $programs
