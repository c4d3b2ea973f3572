#!/usr/bin/env bash
# Makes the release in dist/: for x64 and for x86 the installer and a portable zip (the
# program, uvfind, the help file and a short read-me), and SHA256SUMS over them all;
# builds the Windows builds first if needed.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
rm -rf dist
mkdir dist
# The zip's entries carry the time of the last commit, so one commit gives one zip.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

for arch in x64 x86; do
  source scripts/lib/arch.sh "$arch"
  scripts/lib/build-win.sh "$arch" installer
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  cp "$build/UvanticFinder-$version-$arch.msi" dist/
  # What the zip holds, beside the read-me.
  files=("$build/bin/UvanticFinder.exe" "$build/bin/uvfind.exe" "$build/bin/UvanticFinder.chm")
  python3 - "dist/UvanticFinder-$version-$arch-portable.zip" "UvanticFinder-$version-$arch" "$stamp" \
    "${files[@]}" resources/installer/ReadMe.txt <<'PY'
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
done

(cd dist && sha256sum UvanticFinder-* > SHA256SUMS)
for file in dist/*; do
  printf '%-48s %9s bytes\n' "$file" "$(stat -c %s "$file")"
done
