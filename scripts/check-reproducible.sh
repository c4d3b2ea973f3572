#!/usr/bin/env bash
# Makes the release of one commit twice, with scripts/package.sh in clean checkouts in two
# folders of different names, the second with the clock a week ahead, and compares what
# ships, for x64 and x86: the executables, the help files, the portable zips and the files in
# the installers must be identical (an installer itself carries a new package code each time).
# Then it signs the first release with a throwaway certificate and checks it as a user can
# check a signed release against a build of their own: with their signatures removed, the
# programs in its zips and installers are those of the second, unsigned release.
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
  unpack "$dir/source/dist" "$dir/unpacked"
}
# unpack RELEASE OUT: what RELEASE's zips hold and its installers install, in OUT/<file name>/.
unpack() {
  local file
  for file in "$1"/UvanticFinder-*.{zip,msi}; do
    mkdir -p "$2/$(basename "$file")"
    case $file in
      *.zip) python3 -m zipfile -e "$file" "$2/$(basename "$file")" ;;
      *) msiextract -C "$2/$(basename "$file")" "$file" >/dev/null ;;
    esac
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
(cd "$work/first/unpacked" && find . -type f | sort) > "$work/files"
while read -r file; do
  compare "in ${file#./}" "$work/first/unpacked/$file" "$work/second-folder/unpacked/$file"
done <"$work/files"

echo "Signing the release in $work/first with a throwaway certificate"
tests/installer/test-certificate.sh "$work"
if ! UVANTIC_SIGN_PKCS12=$work/certificate.p12 UVANTIC_SIGN_PASSWORD_FILE=$work/password \
     "$work/first/source/scripts/package.sh" "$work/signed" >"$work/sign.log" 2>&1; then
  cat "$work/sign.log"
  exit 1
fi
unpack "$work/signed" "$work/signed-unpacked"
(cd "$work/signed-unpacked" && find . -type f | sort) > "$work/files"
while read -r file; do
  path=$work/signed-unpacked/$file
  if [[ $file == *.exe ]]; then  # fails if the program is not signed
    osslsigncode remove-signature -in "$path" -out "$path.unsigned" </dev/null >/dev/null
    path=$path.unsigned
  fi
  compare "signed, its signature removed: ${file#./}" "$path" "$work/second-folder/unpacked/$file"
done <"$work/files"
echo "$((SECONDS - start)) s for two releases and a signed one"
[ "$different" -eq 0 ]
