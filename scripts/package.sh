#!/usr/bin/env bash
# Makes the release in dist/: the installer, a portable zip (the program, uvfind, the
# help file and a short read-me) and SHA256SUMS for both; builds the Windows build
# first if needed.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/win

scripts/install-deps.sh
scripts/lib/build-win.sh "$build" installer
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

rm -rf dist
mkdir dist
msi=UvanticFinder-$version.msi
zip=UvanticFinder-$version-portable.zip
cp "$build/$msi" "dist/$msi"

# The zip's entries carry the time of the last commit, so one commit gives one zip.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
python3 - "dist/$zip" "UvanticFinder-$version" "$stamp" \
  "$build/bin/UvanticFinder.exe" "$build/bin/uvfind.exe" "$build/bin/UvanticFinder.chm" \
  resources/installer/ReadMe.txt <<'PY'
import os, sys, time, zipfile
out, folder, stamp, *files = sys.argv[1:]
date = time.gmtime(max(int(stamp), 315532800))[:6]  # zip dates start in 1980
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for path in files:
        data = open(path, "rb").read()
        if path.endswith(".txt"):  # Windows line ends for Notepad
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        entry = zipfile.ZipInfo(f"{folder}/{os.path.basename(path)}", date)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(entry, data)
PY

(cd dist && sha256sum "$msi" "$zip" > SHA256SUMS)
for file in "$msi" "$zip" SHA256SUMS; do
  printf '%-44s %9s bytes\n' "dist/$file" "$(stat -c %s "dist/$file")"
done
