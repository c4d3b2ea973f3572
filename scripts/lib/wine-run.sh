#!/usr/bin/env bash
# Runs a Windows program under Wine in a throwaway copy of a template prefix:
#   wine-run.sh TEMPLATE PROGRAM.exe [ARGS...]
# The prefix is deleted afterwards; the program's exit code is returned. With
# UVANTIC_LOCALES set (say "de_DE.UTF-8 ja_JP.UTF-8"), the program runs once in each of
# those locales, one after the other in the same prefix: Wine takes a process's
# language from LANG when it starts, and a child it starts inherits its parent's. Then
# the exit code is the first failure's, or 0.
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
if [ -z "${UVANTIC_LOCALES:-}" ]; then
  wine "$@"
  rc=$?
else
  rc=0
  for locale in $UVANTIC_LOCALES; do
    echo "== LANG=$locale"
    env -u LC_ALL -u LC_MESSAGES LANG="$locale" wine "$@"
    status=$?
    # A failure in any locale outweighs a skip (77) in another.
    if [ "$rc" -eq 0 ] || { [ "$rc" -eq 77 ] && [ "$status" -ne 0 ]; }; then rc=$status; fi
  done
fi
set -e
exit $rc
