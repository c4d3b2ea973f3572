#!/usr/bin/env bash
# Installs the build and test tools that are missing on a Debian 12 machine (as root).
# Quiet when everything is there already.
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine32:i386 wine64 xvfb xdotool imagemagick fonts-wine
          fp-utils-3.2.2 libchm-bin python3 wixl msitools faketime
          clang-14 libclang-rt-14-dev osslsigncode openssl python3-jsonschema python3-yaml
          softhsm2 libengine-pkcs11-openssl)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
# A mirror caught mid-sync fails one index; the others are still usable, so go on.
apt-get update -qq || echo "install-deps: apt-get update failed; installing from the lists there are" >&2
install_missing() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null
}
# Multi-arch libraries need one version on amd64 and i386; when an update list has no i386
# twin the first try fails with "held broken packages", and the release's own versions fit.
if ! install_missing; then
  echo "install-deps: install failed; retrying with the release's own versions (-t bookworm)" >&2
  install_missing -t bookworm
fi
