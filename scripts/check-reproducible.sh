#!/usr/bin/env bash
# Makes the release of one commit twice, with scripts/package.sh in clean checkouts in two
# folders of different names, the second with the clock a week ahead, and compares what
# ships, for x64 and x86: the executables, the help files, the portable zips and the files in
# the installers must be identical (an installer itself carries a new package code each time).
# Takes a few minutes, so it is not part of scripts/test.sh.
#   scripts/check-reproducible.sh [COMMIT]      (default HEAD; temporary folders in $TMPDIR)
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse "${1:-HEAD}")
scripts/install-deps.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/uvantic-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The checkouts have no history, so they are told the commit's time for the zip.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")

# release FOLDER [WRAPPER...]: a clean checkout of the commit in FOLDER/source and its
# release, made through WRAPPER.
release() {
  local dir=$1
  shift
  mkdir -p "$dir/source"
  git archive "$commit" | tar -x -C "$dir/source"
  if ! "$@" "$dir/source/scripts/package.sh" >"$dir/package.log" 2>&1; then
    cat "$dir/package.log"
    exit 1
  fi
  local msi
  for msi in "$dir"/source/dist/UvanticFinder-*.msi; do
    mkdir -p "$dir/installed/$(basename "$msi")"
    msiextract -C "$dir/installed/$(basename "$msi")" "$msi" >/dev/null
  done
}

start=$SECONDS
echo "Building $commit in $work/first, then in $work/second-folder a week later"
release "$work/first"
release "$work/second-folder" faketime -f +7d

different=0
compare() {  # compare LABEL FIRST SECOND
  local a b
  a=$(sha256sum <"$2" | cut -d' ' -f1)
  b=$(sha256sum <"$3" | cut -d' ' -f1)
  if [ "$a" = "$b" ]; then
    echo "identical: $1 $a"
  else
    echo "DIFFERENT: $1 $a $b"
    different=$((different + 1))
  fi
}
for path in "$work"/first/source/{build/win*/bin/UvanticFinder.{exe,chm},dist/*.zip}; do
  file=${path#"$work/first/source/"}
  compare "$file" "$path" "$work/second-folder/source/$file"
done
(cd "$work/first/installed" && find . -type f | sort) > "$work/files"
while read -r file; do
  compare "installer: ${file#./}" "$work/first/installed/$file" "$work/second-folder/installed/$file"
done <"$work/files"
echo "$((SECONDS - start)) s for two releases"
[ "$different" -eq 0 ]
