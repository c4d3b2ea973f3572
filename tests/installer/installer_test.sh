#!/usr/bin/env bash
# Reads back what the installer of ARCH holds that Wine does not judge, then installs, upgrades
# (into a folder of the admin's choice) and removes it under Wine in a throwaway copy of the
# template prefix, and checks what a user would see at each step: the program's files, its
# Start-menu shortcut, its one entry in Programs and Features, uvfind on the PATH, the
# installed program's window, and nothing left after removal. Then the other architecture's
# package: refused in a 32-bit prefix; in a 64-bit one a newer version of it replacing and
# replaced, and the same version refused.
#   installer_test.sh TEMPLATE WORK_DIR ARCH VERSION MAKE_INSTALLER SOURCE.wxs PAYLOAD PACKAGE.msi SCREENSHOT.exe
set -euo pipefail
template=$1 work=$2 arch=$3 version=$4 make_installer=$5 source=$6 payload=$7 package=$8 screenshot_tool=$9

[ -e "$template/.template-ready" ] || { echo "no Wine prefix template at $template" >&2; exit 2; }
mkdir -p "$work"
prefix=$(mktemp -d "$work/prefix.XXXXXX")
cleanup() { WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"; }
trap cleanup EXIT
cp -a "$template/." "$prefix/"
# The menu builder would write the shortcut into this machine's own desktop menus.
export PATH=/usr/lib/wine:$PATH WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if grep -q '^#arch=win64' "$template/system.reg"; then prefix_bits=64; else prefix_bits=32; fi

failures=0
check() {  # check DESCRIPTION COMMAND...
  local description=$1; shift
  if "$@"; then echo "ok:     $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
windows_path() { echo "Z:${1//\//\\}"; }
msiexec() { wine msiexec "$@" /qn >/dev/null 2>&1; }
msiexec_fails() { ! msiexec "$@"; }

# package ARCH VERSION: a package built from the same source and files, as a release would be.
package() { "$make_installer" "$source" "$payload" "$1" "$2" '*' "$work/$2-$1.msi" >&2 && echo "$work/$2-$1.msi"; }
# The folder ARCH's package installs into, as a Windows path and as a path here.
here() { local path=${1#C:\\}; echo "$prefix/drive_c/${path//\\//}"; }
program_files() { if [ "$1$prefix_bits" = x8664 ]; then echo 'Program Files (x86)'; else echo 'Program Files'; fi; }
windows_folder() { echo "C:\\$(program_files "$1")\\Uvantic\\Uvantic Finder"; }
custom_folder='C:\Tools\Uvantic'

# "version|publisher|web address|install location" of each Programs and Features entry named Uvantic Finder. A
# 64-bit prefix keeps the entries of x86 packages in the 32-bit view of the registry.
entries() {
  local views=("")
  [ "$prefix_bits" = 32 ] || views=(/reg:64 /reg:32)
  for view in "${views[@]}"; do
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s $view 2>/dev/null
  done | tr -d '\r' |
    awk '/^HKEY_/ { if (name == "Uvantic Finder") print version "|" publisher "|" url "|" location
                    name = version = publisher = url = location = "" }
         $1 == "DisplayName"    { sub(/.*REG_SZ +/, ""); name = $0 }
         $1 == "DisplayVersion" { sub(/.*REG_SZ +/, ""); version = $0 }
         $1 == "Publisher"      { sub(/.*REG_SZ +/, ""); publisher = $0 }
         $1 == "URLInfoAbout"   { sub(/.*REG_SZ +/, ""); url = $0 }
         $1 == "InstallLocation" { sub(/.*REG_SZ +/, ""); location = $0 }
         END { if (name == "Uvantic Finder") print version "|" publisher "|" url "|" location }'
}
one_entry() { [ "$(entries)" = "$1|Uvantic|https://www.uvantic.com/|$2\\" ]; }  # VERSION FOLDER
shortcuts() { find "$prefix/drive_c" -path '*/Start Menu/Programs/Uvantic Finder.lnk'; }
# One shortcut, and it starts the program installed in FOLDER (not the installer, as an
# advertised shortcut would).
one_shortcut() { [ "$(shortcuts | wc -l)" -eq 1 ] && grep -aqF "$1\\UvanticFinder.exe" "$(shortcuts)"; }
# How many values under the machine's key, in ARCH's view of the registry, keep the shortcut.
shortcut_values() {
  local view=""
  [ "$prefix_bits" = 32 ] || { view=/reg:64; [ "$1" = x64 ] || view=/reg:32; }
  wine reg query 'HKLM\Software\Uvantic\Uvantic Finder' /v StartMenuShortcut $view 2>/dev/null | grep -c StartMenuShortcut || true
}
# Any file, folder or registry text of the program's left in the prefix, but the user's choice
# of "Start when I sign in" (its key's lines), which starts nothing without the package.
leftovers() {
  wineserver -w
  find "$prefix/drive_c" -iname '*uvantic*'
  grep -i uvantic "$prefix"/*.reg | grep -v '/user\.reg:\[Software\\\\Uvantic\(\\\\Uvantic Finder\)\?\]' || true
}
no_leftovers() { local left; left=$(leftovers); [ -z "$left" ] || { echo "$left" | sed 's/^/  left: /'; false; }; }
# The help file of each other language, as TAG/UvanticFinder.chm, from the payload.
localized_help=$(cd "$payload" && ls -d -- */UvanticFinder.chm 2>/dev/null || true)
installed_in() {  # the program's files in FOLDER, and no Uvantic folder in another Program Files
  local file
  for file in UvanticFinder.exe uvfind.exe UvanticNotifier.exe UvanticFinder.chm $localized_help; do
    cmp -s "$(here "$1")/$file" "$payload/$file" || return 1
  done
  [ "$(find "$prefix/drive_c" -maxdepth 2 -name Uvantic | wc -l)" -eq 1 ]
}
on_path_once() {  # FOLDER is the system PATH's one entry of the program's
  [ "$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH |
       tr -d '\r' | sed 's/.*REG_[A-Z_]* *//' | tr ';' '\n' | grep -i uvantic)" = "$1\\" ]
}
# table NAME: the rows of one of the package's tables, tab-separated.
table() { msiinfo export "$package" "$1" | tr -d '\r' | tail -n +4; }

echo "== the package's tables"
check "the payload holds a help file in 8 other languages" test "$(wc -w <<<"$localized_help")" -eq 8
# The File table's names are "short|long".
check "MsiFileHash lists the help files alone (programs are versioned)" test "$(table MsiFileHash | cut -f1 | sort)" = \
  "$(table File | awk -F'\t' '$3 ~ /(^|\|)UvanticFinder\.chm$/ { print $1 }' | sort)"
check "the shortcut's registry value has root -1 (HKMU)" \
  test "$(table Registry | awk -F'\t' '$4 == "StartMenuShortcut" { print $2 }')" = -1
# ICE61: a row that removes products must not include this version, which would remove itself.
# Attributes: 2 only detects, 512 includes VersionMax.
check "one Upgrade row removes products: those older than $version" test "$(table Upgrade |
  awk -F'\t' 'int($5 / 2) % 2 == 0 { print $2 "-" $3, int($5 / 512) % 2 }')" = "-$version 0"
check "one machine-wide Run value starts the notifier at sign-in, removed with it" test "$(table Registry |
  awk -F'\t' '$3 ~ /CurrentVersion\\Run$/ { print $2 "|" $4 "|" $5 "|" $6 }')" = \
  "2|Uvantic Finder Notifier|\"[#UvanticNotifier.exe]\" --sign-in|$arch.UvanticNotifier.exe"
# Types 2, 18, 34 and 50 run a program, which could flash a console window.
check "no custom action runs a program" test -z "$(table CustomAction | awk -F'\t' '$2 % 16 == 2')"
uvfind_on_path() { wine cmd /c uvfind --version | grep -q '^uvfind '; }
notifier_shortcuts() { find "$prefix/drive_c" -path '*/Start Menu/Programs/Uvantic Finder Notifier.lnk' | wc -l; }
# The user's own Run value, which a copy from the zip writes; the package never does.
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() { wine reg query "$run_key" /v 'Uvantic Finder Notifier' >/dev/null 2>&1; }
no_run_value() { ! run_value; }
# The data of the machine's Run values that start the notifier, in every view of the registry
# (Windows runs both a 64-bit system's).
machine_run_values() {
  local views=("")
  [ "$prefix_bits" = 32 ] || views=(/reg:64 /reg:32)
  for view in "${views[@]}"; do
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Uvantic Finder Notifier' $view 2>/dev/null
  done | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
no_run_values() { [ -z "$(machine_run_values)" ] && no_run_value; }
starts_at_sign_in() { [ "$(machine_run_values)" = "\"$1\\UvanticNotifier.exe\" --sign-in" ]; }  # FOLDER
# The installed notifier as the Run value starts it, for a user who has not chosen it.
ends_at_once() { timeout 10 wine "$1\\UvanticNotifier.exe" --sign-in >/dev/null 2>&1; }  # FOLDER
# A user's Run value naming the installed notifier, from an older version, which the notifier
# takes over as the user's choice when it starts; it then stays, with a display, till the timeout.
takes_over_run_value() {  # FOLDER
  wine reg add "$run_key" /v 'Uvantic Finder Notifier' /d "\"$1\\UvanticNotifier.exe\"" /f >/dev/null 2>&1
  timeout 3 wine "$1\\UvanticNotifier.exe" --sign-in >/dev/null 2>&1 || true
  no_run_value && wine reg query 'HKCU\Software\Uvantic\Uvantic Finder' /v StartNotifierAtSignIn | grep -q 0x1
}

echo "== install $version ($arch)"
check "msiexec /i succeeds" msiexec /i "$(windows_path "$package")"
check "the program, uvfind, the notifier and the help file of every language are in $(windows_folder "$arch")" installed_in "$(windows_folder "$arch")"
check "one Start-menu shortcut \"Uvantic Finder\"" one_shortcut "$(windows_folder "$arch")"
check "one Start-menu shortcut \"Uvantic Finder Notifier\"" test "$(notifier_shortcuts)" -eq 1
check "no user's Run value for the notifier" no_run_value
check "the machine's Run value starts the notifier at sign-in" starts_at_sign_in "$(windows_folder "$arch")"
check "run so, the notifier ends at once for a user who has not chosen it" ends_at_once "$(windows_folder "$arch")"
check "a user's Run value from an older version becomes the user's choice" \
  takes_over_run_value "$(windows_folder "$arch")"
check "the shortcut's value is under the machine's key" test "$(shortcut_values "$arch")" -eq 1
check "the folder is on the system PATH once" on_path_once "$(windows_folder "$arch")"
check "a new prompt finds uvfind" uvfind_on_path
check "one Programs and Features entry: $version, Uvantic, https://www.uvantic.com/, its folder" \
  one_entry "$version" "$(windows_folder "$arch")"
check "the entry's icon is installed" test -n "$(find "$prefix/drive_c/windows/Installer" -name UvanticFinder.ico)"
if [ -n "${DISPLAY:-}" ]; then
  check "the installed program shows its window" wine "$screenshot_tool" \
    "$(windows_folder "$arch")\\UvanticFinder.exe" "$(windows_path "$work/installed-$arch.png")"
else
  echo "skipped: the installed program's window (no X display)"
fi

IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
newer_package=$(package "$arch" "$newer")

echo "== upgrade to $newer"
check "msiexec /i of the newer package succeeds" msiexec /i "$(windows_path "$newer_package")"
check "one entry remains, with $newer" one_entry "$newer" "$(windows_folder "$arch")"
check "the program is still installed" installed_in "$(windows_folder "$arch")"
check "one shortcut remains" one_shortcut "$(windows_folder "$arch")"
check "the machine's Run value remains" starts_at_sign_in "$(windows_folder "$arch")"
# Only the registry: Wine's removal of the older entry left ";;", where Wine's cmd stops.
check "the folder is on the system PATH once" on_path_once "$(windows_folder "$arch")"

echo "== downgrade to $version"
check "msiexec /i of the older package fails" msiexec_fails /i "$(windows_path "$package")"
check "the entry still shows $newer" one_entry "$newer" "$(windows_folder "$arch")"

echo "== uninstall"
check "msiexec /x succeeds" msiexec /x "$(windows_path "$newer_package")"
check "the shortcut's value is gone" test "$(shortcut_values "$arch")" -eq 0
check "no Run value starts the notifier, the machine's or the user's" no_run_values
check "no file, folder, shortcut or registry entry (machine's or user's) of the program is left" no_leftovers

if [ "$prefix_bits" = 32 ]; then
  echo "== the x64 package on 32-bit Windows"
  # Windows Installer refuses it for the platform (1633, which the shell sees modulo 256).
  status=0; msiexec /i "$(windows_path "$(package x64 "$version")")" || status=$?
  check "msiexec /i of the x64 package fails as unsupported on this platform" test "$status" -eq $((1633 % 256))
  check "nothing is installed" no_leftovers
else
  echo "== a newer version of each architecture's package over the other's"
  other=x86; [ "$arch" = x86 ] && other=x64
  for step in "$other 2" "$arch 3" "$other 4"; do
    read -r to step_patch <<<"$step"
    to_version=$major.$minor.$((patch + step_patch)) && to_package=$(package "$to" "$to_version")
    check "msiexec /i of the $to package of $to_version succeeds" msiexec /i "$(windows_path "$to_package")"
    check "the program is in $(windows_folder "$to"), and only there" installed_in "$(windows_folder "$to")"
    check "one shortcut, to the $to program" one_shortcut "$(windows_folder "$to")"
    check "one machine Run value, to the $to notifier" starts_at_sign_in "$(windows_folder "$to")"
    check "one entry, with $to_version" one_entry "$to_version" "$(windows_folder "$to")"
    check "the folder is on the system PATH once" on_path_once "$(windows_folder "$to")"
  done
  check "msiexec /i of the $arch package of the same version fails" \
    msiexec_fails /i "$(windows_path "$(package "$arch" "$to_version")")"
  check "the $other program stays, alone" installed_in "$(windows_folder "$other")"
  check "msiexec /x of the $other package succeeds" msiexec /x "$(windows_path "$to_package")"
  check "no file, folder, shortcut or registry entry of the program is left" no_leftovers
fi

echo "== install into $custom_folder, as an admin may choose"
check "msiexec /i with INSTALLFOLDER succeeds" msiexec /i "$(windows_path "$package")" "INSTALLFOLDER=$custom_folder"
check "the program is in $custom_folder, and only there" installed_in "$custom_folder"
check "the shortcut starts it there" one_shortcut "$custom_folder"
check "the machine's Run value starts the notifier there" starts_at_sign_in "$custom_folder"
check "$custom_folder is on the system PATH once" on_path_once "$custom_folder"
check "the entry gives $custom_folder" one_entry "$version" "$custom_folder"
check "msiexec /x succeeds" msiexec /x "$(windows_path "$package")"
check "no file, folder, PATH entry or registry entry of the program is left" no_leftovers

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
