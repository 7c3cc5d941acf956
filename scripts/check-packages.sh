#!/usr/bin/env bash
# Installs the releases that scripts/package.sh made and starts what they installed: the Debian
# package through apt-get (as root, or through sudo), with its manual pages, removed again unless it
# was there before; the Windows installer silently under Wine, in the Windows tests' prefix, with
# quorvel-split on the PATH of a new command prompt, uninstalled again and off the PATH.
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
  usr/share/icons/hicolor/scalable/apps/quorvel-splitter.svg \
  usr/share/man/man1/quorvel-split.1.gz usr/share/man/man1/quorvel-splitter.1.gz \
  usr/share/doc/quorvel-splitter/copyright usr/share/doc/quorvel-splitter/changelog.gz; do
  grep -qx "\./$path" <<<"$contents" || fail "$deb lacks /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libc6 qt6-qpa-plugins; do
  grep -q "\b$package\b" <<<"$depends" || fail "$deb does not depend on $package: $depends"
done
TMPDIR=$scratch lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 ||
  { cat "$scratch/lintian.log" >&2; fail "lintian finds fault with $deb"; }

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=300)
apt_quietly() { "${apt[@]}" "$@" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log" >&2; fail "apt-get $*"; }; }
was_installed=$(dpkg-query -W -f='${Status}' quorvel-splitter 2>/dev/null | grep -c 'install ok installed' || true)
apt_quietly install -y --reinstall "$deb"
said=$(/usr/bin/quorvel-split --version 2>&1 || true)
pages=$(man -w quorvel-split quorvel-splitter 2>&1 || true)
[ "$was_installed" -eq 1 ] || apt_quietly purge -y quorvel-splitter
[ "$said" = "quorvel-split $version" ] || fail "the installed quorvel-split says '$said'"
[ "$pages" = $'/usr/share/man/man1/quorvel-split.1.gz\n/usr/share/man/man1/quorvel-splitter.1.gz' ] ||
  fail "man does not find the installed manual pages: $pages"
echo "Debian package: installed, quorvel-split --version says '$said', man finds both pages"

# The Windows zip holds the programs and their readme and nothing else, each program fit to run
# from anywhere.
listed=$(cmake -E tar tf "$zip")
programs=$(sed -n "s|^quorvel-splitter-${version}-win32/\([^/]*\.exe\)$|\1|p" <<<"$listed")
grep -qx "quorvel-splitter-${version}-win32/README.txt" <<<"$listed" || fail "$zip lacks README.txt"
[ "$(wc -l <<<"$listed")" -eq "$(($(wc -l <<<"$programs") + 1))" ] ||
  fail "$zip holds more than programs and readme: $listed"
grep -qx quorvel-split.exe <<<"$programs" || fail "$zip lacks quorvel-split.exe"
(cd "$scratch" && cmake -E tar xf "$zip")
unpacked=$scratch/quorvel-splitter-${version}-win32
objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$top/build-windows/CMakeCache.txt")
# shellcheck disable=SC2086
(cd "$unpacked" && bash "$top/tests/windows-executables.sh" i686 "$objdump" $programs)

# The installer puts the same programs in Program Files and the Start menu entry for the dialog. It
# is a 32-bit program, which a kernel without 32-bit support cannot start, under Wine or not.
if [ "$("$top/scripts/windows-test-arch.sh")" != i686 ]; then
  echo "Windows installer: not run, this kernel cannot start 32-bit programs"
  exit 0
fi
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
  userPath() { wine reg query "HKCU\\Environment" /v PATH 2>/dev/null | tr -d "\r" || true; }
  # What a check that failed half-way left installed.
  rm -rf "$folder" "$menu"
  if userPath | grep -q "Quorvel File Splitter"; then
    wine reg delete "HKCU\\Environment" /v PATH /f >/dev/null 2>&1
  fi
  wine "$setup" /S
  for program in "$@"; do
    cmp "$unpacked/$program" "$folder/$program" || fail "the installer did not put $program in place"
  done
  said=$(wine "C:\\Program Files\\Quorvel File Splitter\\quorvel-split.exe" --version | tr -d "\r")
  [ "$said" = "quorvel-split $version" ] || fail "the installed quorvel-split.exe says \"$said\""
  # A command prompt opened after the install finds the tool by its name.
  byName=$(wine cmd /c "quorvel-split --version" | tr -d "\r")
  [ "$byName" = "quorvel-split $version" ] ||
    fail "a new command prompt does not run quorvel-split by its name: \"$byName\" (PATH: $(userPath))"
  uninstallKey="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvel File Splitter"
  entry=$(wine reg query "$uninstallKey" | tr -d "\r")
  grep -Eq "EstimatedSize +REG_DWORD +0x[0-9a-f]*[1-9a-f]" <<<"$entry" &&
    grep -Eq "Publisher +REG_SZ +Quorvel$" <<<"$entry" ||
    fail "Add/Remove Programs lacks the size or the publisher: $entry"
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
  ! userPath | grep -q "Quorvel File Splitter" || fail "the uninstaller left the PATH entry: $(userPath)"
  echo "Windows installer: installed and uninstalled silently, quorvel-split.exe --version says \"$said\"," \
    "also by its name from a new command prompt; the uninstaller took it off the PATH"
' check "$setup" "$unpacked" "$version" $programs
