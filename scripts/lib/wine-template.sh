#!/usr/bin/env bash
# Creates a fresh Wine prefix at DIR to be copied by every test of one run: 32-bit
# (win32, the default) or 64-bit (win64), where 32-bit programs run too.
#   wine-template.sh DIR [win32|win64]
set -euo pipefail
dir=$1
export PATH=/usr/lib/wine:$PATH WINEARCH=${2:-win32} WINEPREFIX=$dir WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$dir"
# wineboot must not see a display, or its wineserver would be tied to one; the
# server is ended before any GUI program starts on the prefix.
env -u DISPLAY wine wineboot -i >/dev/null 2>&1
wineserver -w
# This Wine does not load the fonts of its own data directory (Marlett draws the
# title-bar buttons, Tahoma is the dialog font); from the prefix's font folder it does.
if compgen -G "/usr/share/wine/fonts/*.ttf" >/dev/null; then
  cp /usr/share/wine/fonts/*.ttf "$dir/drive_c/windows/Fonts/"
fi
# Without a window manager Wine draws the caption itself and sets the X focus.
cat > "$dir/managed.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
env -u DISPLAY wine reg import 'Z:'"${dir//\//\\}"'\managed.reg' >/dev/null 2>&1
wineserver -w
rm -f "$dir/managed.reg"
touch "$dir/.template-ready"
