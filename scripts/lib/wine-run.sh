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
# The prefix says itself whether it is 32-bit or 64-bit; wine starts 64-bit programs
# with its 64-bit loader.
export PATH=/usr/lib/wine:$PATH WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
unset WINEARCH
export WINEDLLOVERRIDES="mscoree,mshtml="
set +e
wine "$@"
rc=$?
set -e
exit $rc
