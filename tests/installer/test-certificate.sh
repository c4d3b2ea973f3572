#!/usr/bin/env bash
# Makes a throwaway self-signed code-signing certificate in DIR, for tests only:
# certificate.pem (the root to verify against), certificate.p12 (it with its key for
# package.sh) and password (the PKCS#12 file's). Valid for one day.
#   test-certificate.sh DIR
set -euo pipefail
dir=$1
openssl req -x509 -newkey rsa:2048 -noenc -keyout "$dir/key.pem" -out "$dir/certificate.pem" -days 1 \
  -subj "/CN=Uvantic Finder test signing" -addext extendedKeyUsage=codeSigning \
  -addext keyUsage=digitalSignature 2>/dev/null
openssl rand -base64 18 >"$dir/password"
openssl pkcs12 -export -in "$dir/certificate.pem" -inkey "$dir/key.pem" -out "$dir/certificate.p12" \
  -passout "file:$dir/password"
rm "$dir/key.pem"
