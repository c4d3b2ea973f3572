#!/usr/bin/env bash
# Runs a Windows program under Wine in a throwaway copy of a template prefix:
#   wine-run.sh TEMPLATE PROGRAM.exe [ARGS...]
# The prefix is deleted afterwards; the program's exit code is returned.
set -euo pipefail
template=$1; shift
[ -e "$template/.template-ready" ] || { echo "no Wine prefix template at $template" >&2; exit 2; }
prefix=$(mktemp -d /tmp/uvantic-wine.XXXXXX)
cleanup() { WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"; }
trap cleanup EXIT
cp -a "$template/." "$prefix/"
export PATH=/usr/lib/wine:$PATH WINEARCH=win32 WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
set +e
wine "$@"
rc=$?
set -e
exit $rc
