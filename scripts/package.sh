#!/usr/bin/env bash
# Makes the release in dist/ (or OUT_DIR): for x64 and for x86 the installer and a portable zip
# (the program, uvfind, the notifier, the help file and a short read-me), SHA256SUMS over them all, and their
# winget and Scoop manifests; builds the Windows builds first if needed.
# Given a code-signing certificate, it signs the six programs before they go into the zips and
# installers, then the two installers:
#   UVANTIC_SIGN_PKCS12          the certificate and its key, a PKCS#12 file
#   UVANTIC_SIGN_PASSWORD_FILE   a file holding its password
#   UVANTIC_SIGN_TIMESTAMP_URL   an RFC 3161 timestamp server (optional)
#   UVANTIC_RELEASE_URL          where the files will be published (the manifests' addresses)
#   scripts/package.sh [OUT_DIR]
set -euo pipefail
out=$(realpath -m "${1:-$(dirname "$0")/../dist}")
cd "$(dirname "$0")/.."

fail() { echo "package.sh: $*" >&2; exit 1; }

# OUT_DIR is emptied first, so it must be new, empty or an earlier release.
if [ -n "$(ls -A "$out" 2>/dev/null)" ] && [ ! -e "$out/SHA256SUMS" ]; then
  fail "$out holds files but no release; give a new folder"
fi
scripts/install-deps.sh
rm -rf "$out"
mkdir -p "$(dirname "$out")"
# The release is made beside OUT_DIR and takes its place only once complete, so a failure
# leaves no half-signed release behind.
release=$(mktemp -d "$out.partial.XXXXXX")
trap 'rm -rf "$release"' EXIT
# The zip's entries carry the time of the last commit, so one commit gives one zip.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

certificate=${UVANTIC_SIGN_PKCS12:-}
if [ -z "$certificate" ]; then
  echo "package.sh: no code-signing certificate (UVANTIC_SIGN_PKCS12), so this release is unsigned"
else
  password=${UVANTIC_SIGN_PASSWORD_FILE:-}
  [ -n "$password" ] || fail "UVANTIC_SIGN_PASSWORD_FILE must name the file that holds the password of $certificate"
  # The certificate itself must be valid now and meant for signing code, or Windows would not
  # trust what it signs. Keys exported by older Windows versions need OpenSSL's legacy ciphers.
  leaf=$(openssl pkcs12 -in "$certificate" -passin "file:$password" -nokeys -clcerts 2>/dev/null ||
         openssl pkcs12 -legacy -in "$certificate" -passin "file:$password" -nokeys -clcerts 2>/dev/null) ||
    fail "cannot open the certificate $certificate with the password in $password (wrong password, or not a PKCS#12 file?)"
  openssl x509 -noout -checkend 0 <<<"$leaf" >/dev/null || fail "the certificate in $certificate has expired"
  usage=$(openssl x509 -noout -ext extendedKeyUsage <<<"$leaf" 2>/dev/null)
  [ -z "$usage" ] || grep -q 'Code Signing' <<<"$usage" || fail "the certificate in $certificate is not for code signing"
  echo "package.sh: signing with the certificate of $(openssl x509 -noout -subject -nameopt oneline <<<"$leaf" | sed 's/^subject= *//')"
fi

# sign FILE: signs FILE in place with SHA-256, naming the program and its web address.
sign() {
  local options=(-pkcs12 "$certificate" -readpass "$password" -h sha256 -n "Uvantic Finder" -i https://www.uvantic.com/)
  [ -z "${UVANTIC_SIGN_TIMESTAMP_URL:-}" ] || options+=(-ts "$UVANTIC_SIGN_TIMESTAMP_URL")
  if ! osslsigncode sign "${options[@]}" -in "$1" -out "$1.signed" >"$release/sign.log" 2>&1; then
    fail "signing $(basename "$1") failed: $(grep -m1 . "$release/sign.log")"
  fi
  mv "$1.signed" "$1"
}

for arch in x64 x86; do
  source scripts/lib/arch.sh "$arch"
  scripts/lib/build-win.sh "$arch" installer
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  msi=UvanticFinder-$version-$arch.msi
  # What the zip and the installer hold, and the installer's icon.
  payload=$release/payload-$arch
  mkdir "$payload"
  cp "$build"/bin/{UvanticFinder.exe,uvfind.exe,UvanticNotifier.exe,UvanticFinder.chm} resources/program.ico "$payload/"
  if [ -n "$certificate" ]; then
    sign "$payload/UvanticFinder.exe"
    sign "$payload/uvfind.exe"
    sign "$payload/UvanticNotifier.exe"
    # The installer again around the signed programs, with the built one's product code.
    product_code=$(msiinfo export "$build/$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
    resources/installer/make-installer.sh resources/installer/UvanticFinder.wxs "$payload" "$arch" "$version" \
      "$product_code" "$release/$msi" >/dev/null
    sign "$release/$msi"
  else
    cp "$build/$msi" "$release/"
  fi
  python3 - "$release/UvanticFinder-$version-$arch-portable.zip" "UvanticFinder-$version-$arch" "$stamp" \
    "$payload"/{UvanticFinder.exe,uvfind.exe,UvanticNotifier.exe,UvanticFinder.chm} resources/installer/ReadMe.txt <<'PY'
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
  rm -r "$payload"
done
rm -f "$release/sign.log"

(cd "$release" && sha256sum UvanticFinder-* > SHA256SUMS)
scripts/lib/write-manifests.py "$release" "$version"
chmod 755 "$release"
mv "$release" "$out"
(cd "$out" && find . -type f | sort) | while read -r file; do
  printf '%9s bytes  %s\n' "$(stat -c %s "$out/$file")" "${file#./}"
done
