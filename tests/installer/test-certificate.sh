#!/usr/bin/env bash
# Makes a throwaway code-signing set-up in DIR, for tests only: a root CA (root.pem, the one
# certificate to verify against), an intermediate CA (intermediate.pem, the chain to embed), a
# code-signing certificate it issued, valid for one day (leaf.pem, and with its key
# certificate.p12 and that file's password), and the same key in a SoftHSM token (token/,
# softhsm2.conf, its PIN in pin) as object "release" of token "Uvantic"; the key exists nowhere
# else. A timestamp authority the root issued (tsa.pem, tsa.key, ts.cnf) for timestamp-server.py.
#   test-certificate.sh DIR
set -euo pipefail
dir=$(realpath "$1")
cd "$dir"
# certificate NAME ISSUER DAYS EXTENSION...: NAME.pem and NAME.key, issued by ISSUER.pem.
certificate() {
  local name=$1 issuer=$2 days=$3 extensions=(); shift 3
  for extension; do extensions+=(-addext "$extension"); done
  openssl req -x509 -newkey rsa:2048 -noenc -keyout "$name.key" -out "$name.pem" -days "$days" \
    -subj "/CN=Uvantic Finder test $name" ${issuer:+-CA "$issuer.pem" -CAkey "$issuer.key"} "${extensions[@]}" 2>/dev/null
}
certificate root "" 10
certificate intermediate root 10 basicConstraints=critical,CA:TRUE keyUsage=critical,keyCertSign
certificate leaf intermediate 1 basicConstraints=critical,CA:FALSE keyUsage=critical,digitalSignature \
  extendedKeyUsage=codeSigning
certificate tsa root 10 basicConstraints=critical,CA:FALSE extendedKeyUsage=critical,timeStamping
openssl rand -base64 18 >password
openssl pkcs12 -export -in leaf.pem -inkey leaf.key -out certificate.p12 -passout file:password

mkdir token
printf 'directories.tokendir = %s/token\nobjectstore.backend = file\n' "$dir" >softhsm2.conf
openssl rand -hex 8 >pin
openssl pkcs8 -topk8 -nocrypt -in leaf.key -out leaf.p8
# softhsm2-util takes the PIN only as an argument: this one is made here and dies with DIR.
SOFTHSM2_CONF=$dir/softhsm2.conf softhsm2-util --init-token --free --label Uvantic --pin "$(cat pin)" \
  --so-pin "$(cat pin)" >/dev/null
SOFTHSM2_CONF=$dir/softhsm2.conf softhsm2-util --import leaf.p8 --token Uvantic --label release --id 01 \
  --pin "$(cat pin)" >/dev/null
rm leaf.key leaf.p8 intermediate.key root.key

cat >ts.cnf <<EOF
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = $dir/tsa-serial
default_policy = 1.2.3.4.1
digests = sha256
signer_digest = sha256
accuracy = secs:1
ess_cert_id_chain = no
EOF
echo 01 >tsa-serial
