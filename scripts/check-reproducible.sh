#!/usr/bin/env bash
# Builds one commit twice from clean checkouts in two folders of different names and
# compares what ships: the executable, the help file and the files in the installer must be
# identical. Takes about two minutes, so it is not part of scripts/test.sh.
#   scripts/check-reproducible.sh [COMMIT]      (default HEAD; temporary folders in $TMPDIR)
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse "${1:-HEAD}")
scripts/install-deps.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/uvantic-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

# build FOLDER: a clean checkout of the commit and its Windows build, in FOLDER.
build() {
  local dir=$1
  mkdir -p "$dir/source"
  git archive "$commit" | tar -x -C "$dir/source"
  if ! { cmake -S "$dir/source" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release \
                -DCMAKE_TOOLCHAIN_FILE="$dir/source/cmake/mingw-i686.cmake" &&
          cmake --build "$dir/build" -j2 --target installer; } >"$dir/build.log" 2>&1; then
    cat "$dir/build.log"
    exit 1
  fi
  mkdir "$dir/installed"
  msiextract -C "$dir/installed" "$dir"/build/UvanticFinder-*.msi >/dev/null
}

start=$SECONDS
echo "Building $commit in $work/first and $work/second-folder"
build "$work/first"
build "$work/second-folder"

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
for file in UvanticFinder.exe UvanticFinder.chm; do
  compare "$file" "$work/first/build/bin/$file" "$work/second-folder/build/bin/$file"
done
(cd "$work/first/installed" && find . -type f | sort) > "$work/files"
while read -r file; do
  compare "installer: ${file#./}" "$work/first/installed/$file" "$work/second-folder/installed/$file"
done <"$work/files"
echo "$((SECONDS - start)) s for two builds"
[ "$different" -eq 0 ]
