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
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
