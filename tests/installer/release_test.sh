#!/usr/bin/env bash
# Makes the release as the maker does, signed with a throwaway certificate, and checks it: the
# six signed files verify against that certificate and a copy with one byte of code changed
# does not; the winget and Scoop manifests pass their schemas and name the files beside them;
# the signed x64 installer passes the installer test under Wine.
#   release_test.sh TEMPLATE WORK_DIR VERSION MAKE_INSTALLER SOURCE.wxs SCREENSHOT.exe
set -euo pipefail
template=$1 work=$2 version=$3 make_installer=$4 source=$5 screenshot_tool=$6
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# A copy of the shared folder sits beside the repository.
schemas=$root/../shared/schemas
[ -d "$schemas" ] || { echo "no manifest schemas in $schemas" >&2; exit 2; }
mkdir -p "$work"
temp=$(mktemp -d "$work/release.XXXXXX")
trap 'rm -rf "$temp"' EXIT
"$here/test-certificate.sh" "$temp"
UVANTIC_SIGN_PKCS12=$temp/certificate.p12 UVANTIC_SIGN_PASSWORD_FILE=$temp/password \
  "$root/scripts/package.sh" "$temp/dist" >/dev/null
dist=$temp/dist

failures=0
check() {  # check DESCRIPTION COMMAND...
  local description=$1; shift
  if "$@"; then echo "ok:     $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
verifies() { osslsigncode verify -CAfile "$temp/certificate.pem" -in "$1" >/dev/null 2>&1; }
# A copy with one byte changed in the middle of a program's code, or of an installer (its
# cabinet, which holds the programs), fails verification.
changed_copy_fails() {
  local copy=$temp/changed-$(basename "$1") size start=0
  size=$(stat -c %s "$1")
  [[ $1 != *.exe ]] || read -r size start < <(objdump -h "$1" | awk '$2 == ".text" { print "0x" $3, "0x" $6 }')
  cp "$1" "$copy"
  python3 -c 'import sys; f = open(sys.argv[1], "r+b"); f.seek(int(sys.argv[2])); b = f.read(1); f.seek(-1, 1); f.write(bytes([b[0] ^ 0xFF]))' "$copy" $((start + size / 2))
  ! verifies "$copy"
}

for arch in x64 x86; do
  python3 -m zipfile -e "$dist/UvanticFinder-$version-$arch-portable.zip" "$temp/zip"
  for file in "$temp/zip/UvanticFinder-$version-$arch"/*.exe "$dist/UvanticFinder-$version-$arch.msi"; do
    check "$arch $(basename "$file") verifies" verifies "$file"
    check "$arch $(basename "$file") with one byte changed does not" changed_copy_fails "$file"
  done
done

check "the manifests pass their schemas and match the files beside them" python3 - "$dist" "$schemas" "$version" <<'PY'
import hashlib, json, os, subprocess, sys, zipfile
import jsonschema, yaml
dist, schemas, version = sys.argv[1:]
problems = []
def validate(manifest, schema):
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

scoop = json.load(open(os.path.join(dist, "scoop/uvantic-finder.json")))
validate(scoop, "scoop/schema.json")
for bits, arch in [("64bit", "x64"), ("32bit", "x86")]:
    entry = scoop["architecture"][bits]
    names = zipfile.ZipFile(local(entry["url"], f"-{arch}-portable.zip", entry["hash"])).namelist()
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
