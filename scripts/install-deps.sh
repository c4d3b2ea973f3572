#!/usr/bin/env bash
# Installs the build and test tools that are missing on a Debian 12 machine (as root),
# and makes the locales the tests run the programs in. Quiet when everything is there
# already.
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine32:i386 wine64 xvfb xdotool imagemagick fonts-wine
          fp-utils-3.2.2 libchm-bin python3 wixl msitools faketime
          clang-14 libclang-rt-14-dev osslsigncode openssl python3-jsonschema python3-yaml
          softhsm2 libengine-pkcs11-openssl locales fonts-wqy-zenhei)

# Wine takes a program's language from LANG only when that locale exists; the tests run
# the programs in each of their languages. WenQuanYi Zen Hei draws Chinese, Japanese
# and Korean text for Wine.
locales=(de_DE fr_FR es_ES it_IT pt_BR ja_JP ko_KR zh_CN)

make_locales() {
  local have missing_locales=()
  have=$(locale -a 2>/dev/null)
  for l in "${locales[@]}"; do
    grep -qx "$l.utf8" <<<"$have" || missing_locales+=("$l")
  done
  [ ${#missing_locales[@]} -eq 0 ] && return 0
  echo "Making locales: ${missing_locales[*]/%/.UTF-8}"
  for l in "${missing_locales[@]}"; do localedef -i "$l" -f UTF-8 "$l.UTF-8"; done
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  make_locales
  exit 0
fi

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
make_locales
