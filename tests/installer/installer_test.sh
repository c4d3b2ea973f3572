#!/usr/bin/env bash
# Installs, upgrades and removes the installer under Wine in a throwaway prefix, and checks
# what a user would see at each step: the program's files, its Start-menu shortcut, its
# one entry in Programs and Features, uvfind on the PATH, the installed program's window,
# and nothing left after removal.
#   installer_test.sh TEMPLATE WORK_DIR PACKAGE.msi SOURCE.wxs PAYLOAD_DIR VERSION SCREENSHOT_TOOL.exe
set -euo pipefail
template=$1 work=$2 package=$3 source=$4 payload=$5 version=$6 screenshot_tool=$7

[ -e "$template/.template-ready" ] || { echo "no Wine prefix template at $template" >&2; exit 2; }
mkdir -p "$work"
prefix=$(mktemp -d "$work/prefix.XXXXXX")
cleanup() { WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"; }
trap cleanup EXIT
cp -a "$template/." "$prefix/"
# The menu builder would write the shortcut into this machine's own desktop menus.
export PATH=/usr/lib/wine:$PATH WINEARCH=win32 WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

failures=0
check() {  # check DESCRIPTION COMMAND...
  local description=$1; shift
  if "$@"; then echo "ok:     $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
windows_path() { echo "Z:${1//\//\\}"; }
msiexec() { wine msiexec "$@" /qn >/dev/null 2>&1; }
msiexec_fails() { ! msiexec "$@"; }

program_dir="$prefix/drive_c/Program Files/Uvantic/Uvantic Finder"
# "version|publisher|web address" of each Programs and Features entry named Uvantic Finder.
entries() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY_/ { if (name == "Uvantic Finder") print version "|" publisher "|" url
                    name = version = publisher = url = "" }
         $1 == "DisplayName"    { sub(/.*REG_SZ +/, ""); name = $0 }
         $1 == "DisplayVersion" { sub(/.*REG_SZ +/, ""); version = $0 }
         $1 == "Publisher"      { sub(/.*REG_SZ +/, ""); publisher = $0 }
         $1 == "URLInfoAbout"   { sub(/.*REG_SZ +/, ""); url = $0 }
         END { if (name == "Uvantic Finder") print version "|" publisher "|" url }'
}
shortcuts() { find "$prefix/drive_c" -path '*/Start Menu/Programs/Uvantic Finder.lnk'; }
# One shortcut, and it starts the installed program (not the installer, as an advertised
# shortcut would).
one_shortcut() {
  [ "$(shortcuts | wc -l)" -eq 1 ] && grep -aq 'Uvantic Finder\\UvanticFinder.exe' "$(shortcuts)"
}
# Any file, folder or registry text of the program's left in the prefix.
leftovers() {
  wineserver -w
  find "$prefix/drive_c" -iname '*uvantic*'
  grep -il uvantic "$prefix"/*.reg || true
}
same_files() { cmp -s "$program_dir/UvanticFinder.exe" "$payload/UvanticFinder.exe" &&
               cmp -s "$program_dir/uvfind.exe" "$payload/uvfind.exe" &&
               cmp -s "$program_dir/UvanticFinder.chm" "$payload/UvanticFinder.chm"; }
path_entries() {
  wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH |
    grep -o 'Uvantic Finder' | wc -l
}
uvfind_on_path() { wine cmd /c uvfind --version | grep -q '^uvfind '; }

echo "== install $version"
check "msiexec /i succeeds" msiexec /i "$(windows_path "$package")"
check "the program, uvfind and the help file are in Program Files\\Uvantic\\Uvantic Finder" same_files
check "one Start-menu shortcut \"Uvantic Finder\"" one_shortcut
check "the folder is on the system PATH once" test "$(path_entries)" -eq 1
check "a new prompt finds uvfind" uvfind_on_path
check "one Programs and Features entry: $version, Uvantic, https://www.uvantic.com/" \
  test "$(entries)" = "$version|Uvantic|https://www.uvantic.com/"
check "the entry's icon is installed" test -n "$(find "$prefix/drive_c/windows/Installer" -name UvanticFinder.ico)"
if [ -n "${DISPLAY:-}" ]; then
  check "the installed program shows its window" wine "$screenshot_tool" \
    'C:\Program Files\Uvantic\Uvantic Finder\UvanticFinder.exe' "$(windows_path "$work/installed.png")"
else
  echo "skipped: the installed program's window (no X display)"
fi

# A package of the next version from the same source and files, as a release would be.
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
newer_package=$work/UvanticFinder-$newer.msi
(cd "$payload" && wixl -D Version="$newer" -D ProductCode='*' -o "$newer_package" "$source")
"$(dirname "$source")/add-search-path.sh" "$newer_package"

echo "== upgrade to $newer"
check "msiexec /i of the newer package succeeds" msiexec /i "$(windows_path "$newer_package")"
check "one entry remains, with $newer" test "$(entries)" = "$newer|Uvantic|https://www.uvantic.com/"
check "the program is still installed" same_files
check "one shortcut remains" one_shortcut
# Only the registry: Wine's removal of the older entry left ";;", where Wine's cmd stops.
check "the folder is on the system PATH once" test "$(path_entries)" -eq 1

echo "== downgrade to $version"
check "msiexec /i of the older package fails" msiexec_fails /i "$(windows_path "$package")"
check "the entry still shows $newer" test "$(entries)" = "$newer|Uvantic|https://www.uvantic.com/"

echo "== uninstall"
check "msiexec /x succeeds" msiexec /x "$(windows_path "$newer_package")"
left=$(leftovers)
check "no file, folder, shortcut or registry entry of the program is left" test -z "$left"
[ -z "$left" ] || echo "$left" | sed 's/^/  left: /'

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
