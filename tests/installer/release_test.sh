#!/usr/bin/env bash
# Makes the release as the maker does, signed through PKCS#11 with a key in a throwaway SoftHSM
# token and timestamped by a throwaway server on 127.0.0.1, and checks it: the six signed files
# verify against the root alone, with a valid timestamp, also after the signing certificate has
# expired, and a copy with one signed byte changed fails on its digest; package.sh --release
# refuses without a certificate, a timestamp server or a working one, with the PIN in the key's
# URI or with changes not committed, and leaves the release as it was; one made from the PKCS#12 file without a timestamp verifies now, but not once the
# certificate has expired; the winget and Scoop manifests pass their schemas (when ../shared
# holds them) and name the files beside them; the signed x64 installer passes the installer test under Wine.
#   release_test.sh TEMPLATE WORK_DIR VERSION MAKE_INSTALLER SOURCE.wxs SCREENSHOT.exe
set -euo pipefail
template=$1 work=$2 version=$3 make_installer=$4 source=$5 screenshot_tool=$6
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# A copy of the shared folder sits beside the repository in the maker's checkout; a clone
# elsewhere has no schemas, and the manifests are then checked against the files alone.
schemas=$root/../shared/schemas
if ! compgen -G "$schemas/*/*.json" >/dev/null; then
  echo "skipped: the manifests' schema validation (no manifest schemas in $schemas)"
  schemas=
fi
mkdir -p "$work"
temp=$(mktemp -d "$work/release.XXXXXX")
# The token, the CAs and the PIN live only in $temp.
trap 'kill "$server" 2>/dev/null || true; rm -rf "$temp"' EXIT
"$here/test-certificate.sh" "$temp"
python3 "$here/timestamp-server.py" "$temp" >"$temp/port" & server=$!
for _ in $(seq 50); do [ -s "$temp/port" ] && break; sleep 0.1; done
export SOFTHSM2_CONF=$temp/softhsm2.conf
token=(UVANTIC_SIGN_PKCS11_MODULE=/usr/lib/softhsm/libsofthsm2.so "UVANTIC_SIGN_KEY=pkcs11:token=Uvantic;object=release"
       "UVANTIC_SIGN_CERT=$temp/leaf.pem" "UVANTIC_SIGN_PIN_FILE=$temp/pin" "UVANTIC_SIGN_CHAIN=$temp/intermediate.pem")
timestamp=UVANTIC_SIGN_TIMESTAMP_URL=http://127.0.0.1:$(cat "$temp/port")/
dist=$temp/dist
env "${token[@]}" "$timestamp" "$root/scripts/package.sh" --release "$dist" >/dev/null
env UVANTIC_SIGN_PKCS12="$temp/certificate.p12" UVANTIC_SIGN_PASSWORD_FILE="$temp/password" \
  UVANTIC_SIGN_CHAIN="$temp/intermediate.pem" "$root/scripts/package.sh" "$temp/unstamped" >/dev/null

failures=0
check() {  # check DESCRIPTION COMMAND...
  local description=$1; shift
  if "$@"; then echo "ok:     $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
# verify FILE [OPTION...]: osslsigncode's verdict against the root alone.
verify() { osslsigncode verify -CAfile "$temp/root.pem" -TSA-CAfile "$temp/root.pem" -in "$@" 2>&1; }
verifies() { verify "$@" >/dev/null; }
timestamped() { verifies "$1" && grep -qx 'Timestamp Server Signature verification: ok' <<<"$(verify "$1")"; }
# Two days on, the signing certificate has expired; the CAs have not.
later=(-time $(($(date +%s) + 2 * 86400)))
expired() { ! verifies "$1" "${later[@]}" && grep -q 'certificate has expired' <<<"$(verify "$1" "${later[@]}")"; }
# A copy with one byte changed in the middle of a program's code, or in an installer's cabinet
# (a stream the signature covers), fails on its digest, not on anything else.
changed_copy_fails_on_digest() {
  local copy=$temp/changed-$(basename "$1") size start
  if [[ $1 == *.exe ]]; then
    read -r size start < <(objdump -h "$1" | awk '$2 == ".text" { print "0x" $3, "0x" $6 }')
  else
    size=600 start=$(grep -obam1 MSCF "$1" | cut -d: -f1)
  fi
  cp "$1" "$copy"
  python3 -c 'import sys; f = open(sys.argv[1], "r+b"); f.seek(int(sys.argv[2])); b = f.read(1); f.seek(-1, 1); f.write(bytes([b[0] ^ 0xFF]))' "$copy" $((start + size / 2))
  ! verifies "$copy" && grep -q 'MISMATCH' <<<"$(verify "$copy")"
}

# Linked as Windows expects of a program: ASLR (high-entropy in x64), DEP, and Terminal Server
# aware, without which Windows shims the program on a Remote Desktop session host.
linked_as_program() {
  local flags flag
  flags=$(objdump -p "$1" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
  for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE $([ "$2" = x86 ] || echo HIGH_ENTROPY_VA); do
    grep -qw "$flag" <<<"$flags" || { echo "  $1: no $flag"; return 1; }
  done
}

for arch in x64 x86; do
  python3 -m zipfile -e "$dist/UvanticFinder-$version-$arch-portable.zip" "$temp/zip"
  for file in "$temp/zip/UvanticFinder-$version-$arch"/*.exe "$dist/UvanticFinder-$version-$arch.msi"; do
    name="$arch $(basename "$file")"
    [[ $file != *.exe ]] || check "$name is linked with ASLR, DEP and Terminal Server aware" linked_as_program "$file" "$arch"
    check "$name verifies against the root alone, timestamped" timestamped "$file"
    check "$name verifies after its certificate has expired" verifies "$file" "${later[@]}"
    check "$name with one byte changed fails on its digest" changed_copy_fails_on_digest "$file"
  done
done
unstamped=$temp/unstamped/UvanticFinder-$version-x64.msi
check "signed from the PKCS#12 file without a timestamp, it verifies now" verifies "$unstamped"
check "but not after its certificate has expired" expired "$unstamped"

# refused MESSAGE VARIABLE...: package.sh --release with only these fails with one line that
# says MESSAGE, and leaves the release as it was.
sums=$(cat "$dist/SHA256SUMS")
refused() {
  local message=$1 status=0; shift
  env "$@" "${checkout:-$root}/scripts/package.sh" --release "$dist" >/dev/null 2>"$temp/refused" || status=$?
  [ "$status" -eq 1 ] && [ "$(wc -l <"$temp/refused")" -eq 1 ] && grep -q "$message" "$temp/refused" &&
    [ "$(cat "$dist/SHA256SUMS")" = "$sums" ] && (cd "$dist" && sha256sum --quiet -c SHA256SUMS)
}
check "--release without a certificate is refused" refused "needs a code-signing certificate" "$timestamp"
check "--release without a timestamp server is refused" refused "needs a timestamp server" "${token[@]}"
check "--release whose timestamp server fails stops" refused "signing UvanticFinder.exe failed: HTTP failure" \
  "${token[@]}" UVANTIC_SIGN_TIMESTAMP_URL=http://127.0.0.1:1/
check "a PIN inside the key's URI is refused" refused "holds the PIN (pin-value=)" "${token[@]/%object=release/object=release?pin-value=1234}" "$timestamp"
git clone --quiet "$root" "$temp/checkout" && echo >>"$temp/checkout/README.md"
checkout=$temp/checkout check "--release with changes not committed is refused" \
  refused "built from a commit: commit the changes" "${token[@]}" "$timestamp"

check "the manifests ${schemas:+pass their schemas and }match the files beside them" \
  python3 - "$dist" "$schemas" "$version" <<'PY'
import hashlib, json, os, subprocess, sys, zipfile
import jsonschema, yaml
dist, schemas, version = sys.argv[1:]
problems = []
def validate(manifest, schema):
    if not schemas:
        return
    validator = jsonschema.Draft7Validator(json.load(open(os.path.join(schemas, schema))))
    problems.extend(f"{schema}: {error.message}" for error in validator.iter_errors(manifest))
def local(url, expect, hash):  # the file in dist/ that URL names, which must end in expect and have hash
    path = os.path.join(dist, url.rsplit("/", 1)[1])
    if not path.endswith(expect) or hashlib.sha256(open(path, "rb").read()).hexdigest() != hash.lower():
        problems.append(f"{url}: not the {expect} beside it, or another hash")
    return path

winget = os.path.join(dist, "winget/manifests/u/Uvantic/UvanticFinder", version, "Uvantic.UvanticFinder")
manifests = {}
for kind, name in [("version", ""), ("defaultLocale", ".locale.en-US"), ("installer", ".installer")]:
    manifests[kind] = yaml.safe_load(open(f"{winget}{name}.yaml"))
    validate(manifests[kind], f"winget-1.10.0/manifest.{kind}.1.10.0.json")
for installer in manifests["installer"]["Installers"]:
    msi = local(installer["InstallerUrl"], f"-{installer['Architecture']}.msi", installer["InstallerSha256"])
    table = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True, text=True).stdout
    codes = dict(line.split("\t", 1) for line in table.replace("\r", "").splitlines()[3:])
    if [installer["ProductCode"], installer["AppsAndFeaturesEntries"][0]["UpgradeCode"]] != \
       [codes["ProductCode"], codes["UpgradeCode"]]:
        problems.append(f"{msi}: another product or upgrade code")
    if installer["InstallerSwitches"]["InstallLocation"] != 'INSTALLFOLDER="<INSTALLPATH>"':
        problems.append(f"{msi}: winget --location does not reach INSTALLFOLDER")

scoop = json.load(open(os.path.join(dist, "scoop/uvantic-finder.json")))
validate(scoop, "scoop/schema.json")
for bits, arch in [("64bit", "x64"), ("32bit", "x86")]:
    entry = scoop["architecture"][bits]
    names = zipfile.ZipFile(local(entry["url"], f"-{arch}-portable.zip", entry["hash"])).namelist()
    if scoop["autoupdate"]["architecture"][bits]["url"].replace("$version", version) != entry["url"]:
        problems.append(f"{entry['url']}: not where autoupdate looks for this version")
    for program in [scoop["bin"], *(shortcut[0] for shortcut in scoop["shortcuts"])]:
        if f"{entry['extract_dir']}/{program}" not in names:
            problems.append(f"{entry['url']}: no {program} in {entry['extract_dir']}")
for problem in problems:
    print("  " + problem)
sys.exit(1 if problems else 0)
PY

# The installer test, run on the signed x64 installer and its signed programs.
payload=$temp/zip/UvanticFinder-$version-x64
cp "$root/resources/program.ico" "$payload/"
"$here/installer_test.sh" "$template" "$temp/wine" x64 "$version" "$make_installer" "$source" "$payload" \
  "$dist/UvanticFinder-$version-x64.msi" "$screenshot_tool" || failures=$((failures + 1))

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
