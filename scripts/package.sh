#!/usr/bin/env bash
# Makes the release in dist/ (or OUT_DIR): for x64 and for x86 the installer and a portable zip
# (the programs: the finder, uvfind and the notifier; the help file, each other language's help
# file in a folder named by its language tag, and a short read-me),
# SHA256SUMS over them all, and their winget and Scoop manifests; builds the Windows builds first if needed.
# Given a code-signing certificate, it signs the programs before they go into the zips and
# installers, then the two installers. The certificate and its key come from a PKCS#12 file:
#   UVANTIC_SIGN_PKCS12          the certificate and its key
#   UVANTIC_SIGN_PASSWORD_FILE   a file holding its password
# or from a hardware token, an HSM or a signing service, through its PKCS#11 module:
#   UVANTIC_SIGN_PKCS11_MODULE   the module (.so)
#   UVANTIC_SIGN_KEY             the key's PKCS#11 URI, such as pkcs11:token=Uvantic;object=release (never
#                                with the PIN in it: pin-value= is refused)
#   UVANTIC_SIGN_CERT            the signing certificate (PEM)
#   UVANTIC_SIGN_PIN_FILE        a file holding the token's PIN
# and with either:
#   UVANTIC_SIGN_CHAIN           intermediate certificates (PEM) to embed in every signature
#   UVANTIC_SIGN_TIMESTAMP_URL   an RFC 3161 timestamp server
#   UVANTIC_RELEASE_URL          where the files will be published (the manifests' addresses)
# --release makes a release for users: it refuses to start without a certificate or a timestamp
# server, or with changes not committed. A failure of any kind leaves OUT_DIR as it was.
#   scripts/package.sh [--release] [OUT_DIR]
set -euo pipefail
for_users=false
[ "${1:-}" != --release ] || { for_users=true; shift; }
out=$(realpath -m "${1:-$(dirname "$0")/../dist}")
cd "$(dirname "$0")/.."

fail() { echo "package.sh: $*" >&2; exit 1; }

# OUT_DIR is replaced, so it must be new, empty or an earlier release.
if [ -n "$(ls -A "$out" 2>/dev/null)" ] && [ ! -e "$out/SHA256SUMS" ]; then
  fail "$out holds files but no release; give a new folder"
fi
# A release is built from a commit, so that what users get is what the commit holds.
if $for_users; then
  changes=$(git status --porcelain 2>/dev/null) || fail "a release is built from a commit, and $PWD is no git checkout"
  [ -z "$changes" ] || fail "a release is built from a commit: commit the changes git status shows first"
fi
# The key's URI goes on osslsigncode's command line, which every user of the machine can read.
[[ ${UVANTIC_SIGN_KEY:-} != *[Pp][Ii][Nn]-[Vv][Aa][Ll][Uu][Ee]* ]] ||
  fail "UVANTIC_SIGN_KEY holds the PIN (pin-value=), which would show on a command line; put it in UVANTIC_SIGN_PIN_FILE"
scripts/install-deps.sh

# osslsigncode's options that name the key and the certificate, and the certificate itself.
signer=() leaf=
if [ -n "${UVANTIC_SIGN_PKCS12:-}" ]; then
  certificate=$UVANTIC_SIGN_PKCS12 password=${UVANTIC_SIGN_PASSWORD_FILE:-}
  [ -n "$password" ] || fail "UVANTIC_SIGN_PASSWORD_FILE must name the file that holds the password of $certificate"
  # Keys exported by older Windows versions need OpenSSL's legacy ciphers.
  leaf=$(openssl pkcs12 -in "$certificate" -passin "file:$password" -nokeys -clcerts 2>/dev/null ||
         openssl pkcs12 -legacy -in "$certificate" -passin "file:$password" -nokeys -clcerts 2>/dev/null) ||
    fail "cannot open the certificate $certificate with the password in $password (wrong password, or not a PKCS#12 file?)"
  signer=(-pkcs12 "$certificate" -readpass "$password")
elif [ -n "${UVANTIC_SIGN_PKCS11_MODULE:-}${UVANTIC_SIGN_KEY:-}${UVANTIC_SIGN_CERT:-}${UVANTIC_SIGN_PIN_FILE:-}" ]; then
  for variable in UVANTIC_SIGN_PKCS11_MODULE UVANTIC_SIGN_KEY UVANTIC_SIGN_CERT UVANTIC_SIGN_PIN_FILE; do
    [ -n "${!variable:-}" ] || fail "$variable must be set too, to sign with a PKCS#11 token"
  done
  certificate=$UVANTIC_SIGN_CERT
  leaf=$(openssl x509 -in "$certificate" 2>/dev/null) || fail "cannot read the certificate $certificate (not PEM?)"
  # The PIN is read from its file by osslsigncode, so it never shows in a process list.
  signer=(-pkcs11module "$UVANTIC_SIGN_PKCS11_MODULE" -key "$UVANTIC_SIGN_KEY" -certs "$certificate"
          -readpass "$UVANTIC_SIGN_PIN_FILE")
fi
if [ -n "$leaf" ]; then
  # The certificate must be valid now and meant for signing code, or Windows would not trust
  # what it signs.
  openssl x509 -noout -checkend 0 <<<"$leaf" >/dev/null || fail "the certificate in $certificate has expired"
  usage=$(openssl x509 -noout -ext extendedKeyUsage <<<"$leaf" 2>/dev/null)
  [ -z "$usage" ] || grep -q 'Code Signing' <<<"$usage" || fail "the certificate in $certificate is not for code signing"
  if [ -n "${UVANTIC_SIGN_CHAIN:-}" ]; then
    # The intermediates go into every signature, so that Windows can build the chain to its root.
    openssl x509 -noout -in "$UVANTIC_SIGN_CHAIN" 2>/dev/null || fail "cannot read the certificates in $UVANTIC_SIGN_CHAIN (not PEM?)"
    signer+=(-ac "$UVANTIC_SIGN_CHAIN")
  fi
  [ -z "${UVANTIC_SIGN_TIMESTAMP_URL:-}" ] || signer+=(-ts "$UVANTIC_SIGN_TIMESTAMP_URL")
  echo "package.sh: signing with the certificate of $(openssl x509 -noout -subject -nameopt oneline <<<"$leaf" | sed 's/^subject= *//')"
elif $for_users; then
  fail "a release needs a code-signing certificate: UVANTIC_SIGN_PKCS12, or UVANTIC_SIGN_PKCS11_MODULE and its key"
else
  echo "package.sh: no code-signing certificate (UVANTIC_SIGN_PKCS12 or UVANTIC_SIGN_PKCS11_MODULE), so this release is unsigned"
fi
# Without a timestamp every signature ends with the certificate's validity.
if $for_users && [ -z "${UVANTIC_SIGN_TIMESTAMP_URL:-}" ]; then
  fail "a release needs a timestamp server, UVANTIC_SIGN_TIMESTAMP_URL, or its signatures end when the certificate expires"
fi

mkdir -p "$(dirname "$out")"
# The release is made beside OUT_DIR and takes its place only once complete.
release=$(mktemp -d "$out.partial.XXXXXX")
trap 'rm -rf "$release"' EXIT
# The zip's entries carry the time of the last commit, so one commit gives one zip.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

# sign FILE: signs FILE in place with SHA-256, naming the program and its web address.
sign() {
  if ! osslsigncode sign "${signer[@]}" -h sha256 -n "Uvantic Finder" -i https://www.uvantic.com/ \
       -in "$1" -out "$1.signed" >"$release/sign.log" 2>&1 </dev/null; then
    fail "signing $(basename "$1") failed: $(grep -vxE 'Engine .*|Connecting to .*|Failed|' "$release/sign.log" | head -1)"
  fi
  mv "$1.signed" "$1"
}

for arch in x64 x86; do
  source scripts/lib/arch.sh "$arch"
  scripts/lib/build-win.sh "$arch" installer
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  msi=UvanticFinder-$version-$arch.msi
  # What the zip and the installer hold, and the installer's icon: the installer's own files.
  payload=$release/payload-$arch
  cp -r "$build/resources/installer/payload" "$payload"
  programs=("$payload"/*.exe)
  if [ -n "$leaf" ]; then
    for program in "${programs[@]}"; do sign "$program"; done
    # The installer again around the signed programs, with the built one's product code.
    product_code=$(msiinfo export "$build/$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
    resources/installer/make-installer.sh resources/installer/UvanticFinder.wxs "$payload" "$arch" "$version" \
      "$product_code" "$release/$msi" >/dev/null
    sign "$release/$msi"
  else
    cp "$build/$msi" "$release/"
  fi
  python3 - "$release/UvanticFinder-$version-$arch-portable.zip" "UvanticFinder-$version-$arch" "$stamp" "$payload" \
    "${programs[@]}" "$payload"/*.chm "$payload"/*/*.chm resources/installer/ReadMe.txt <<'PY'
import os, sys, time, zipfile
out, folder, stamp, payload, *files = sys.argv[1:]
date = time.gmtime(max(int(stamp), 315532800))[:6]  # zip dates start in 1980
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for path in files:
        data = open(path, "rb").read()
        if path.endswith(".txt"):  # Windows line ends for Notepad
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        # The payload's files keep their place in it (a language's help in its folder).
        inside = os.path.relpath(path, payload) if path.startswith(payload + "/") else os.path.basename(path)
        entry = zipfile.ZipInfo(f"{folder}/{inside}", date)
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
# The earlier release goes only once the new one is in its place.
earlier=$(mktemp -d "$out.earlier.XXXXXX")
[ ! -e "$out" ] || mv "$out" "$earlier/"
mv "$release" "$out"
rm -rf "$earlier"
(cd "$out" && find . -type f | sort) | while read -r file; do
  printf '%9s bytes  %s\n' "$(stat -c %s "$out/$file")" "${file#./}"
done
