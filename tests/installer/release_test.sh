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
# tampered FILE: a copy of FILE with one byte changed in the middle of a program's code, or
# of an installer (its cabinet, which holds the programs).
tampered() {
  local copy=$temp/tampered-$(basename "$1")
  python3 - "$1" "$copy" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
at = len(data) // 2
if sys.argv[1].endswith(".exe"):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, = struct.unpack_from("<H", data, pe + 6)
    table = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
    for section in range(table, table + 40 * count, 40):
        if data[section:section + 8].rstrip(b"\0") == b".text":
            size, start = struct.unpack_from("<II", data, section + 16)
            at = start + size // 2
data[at] ^= 0xFF
open(sys.argv[2], "wb").write(data)
PY
  echo "$copy"
}
changed_copy_fails() { ! verifies "$(tampered "$1")"; }

for arch in x64 x86; do
  python3 -m zipfile -e "$dist/UvanticFinder-$version-$arch-portable.zip" "$temp/zip"
  for file in "$temp/zip/UvanticFinder-$version-$arch"/*.exe "$dist/UvanticFinder-$version-$arch.msi"; do
    check "$arch $(basename "$file") verifies" verifies "$file"
    check "$arch $(basename "$file") with one byte changed does not" changed_copy_fails "$file"
  done
done

check "the manifests pass their schemas and match the files" python3 - "$dist" "$schemas" "$version" <<'PY'
import hashlib, json, os, subprocess, sys, zipfile
import jsonschema, yaml
dist, schemas, version = sys.argv[1:]
ok = True
def expect(condition, message):
    global ok
    if not condition:
        print("  " + message)
        ok = False
def valid(manifest, schema, name):
    for error in jsonschema.Draft7Validator(json.load(open(os.path.join(schemas, schema)))).iter_errors(manifest):
        expect(False, f"{name}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
def file_for(url):
    return os.path.join(dist, url.rsplit("/", 1)[1])
def sha256(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest()

folder = os.path.join(dist, "winget/manifests/u/Uvantic/UvanticFinder", version)
manifests = {}
for kind, name in [("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")]:
    manifests[kind] = yaml.safe_load(open(os.path.join(folder, f"Uvantic.UvanticFinder{name}.yaml")))
    valid(manifests[kind], f"winget-1.10.0/manifest.{kind}.1.10.0.json", kind)
installers = manifests["installer"]["Installers"]
expect(sorted(i["Architecture"] for i in installers) == ["x64", "x86"], "not one installer per architecture")
for installer in installers:
    msi = file_for(installer["InstallerUrl"])
    table = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True, text=True).stdout
    properties = dict(line.split("\t", 1) for line in table.replace("\r", "").splitlines()[3:])
    expect(msi.endswith(f"-{installer['Architecture']}.msi"), f"{msi}: another architecture's")
    expect(installer["InstallerSha256"].lower() == sha256(msi), f"{msi}: another hash")
    expect(installer["ProductCode"] == properties["ProductCode"], f"{msi}: another product code")
    expect(installer["AppsAndFeaturesEntries"][0]["UpgradeCode"] == properties["UpgradeCode"],
           f"{msi}: another upgrade code")

scoop = json.load(open(os.path.join(dist, "scoop/uvantic-finder.json")))
valid(scoop, "scoop/schema.json", "scoop")
for bits, arch in [("64bit", "x64"), ("32bit", "x86")]:
    entry = scoop["architecture"][bits]
    archive = file_for(entry["url"])
    expect(archive.endswith(f"-{arch}-portable.zip"), f"{archive}: not {arch}'s")
    expect(entry["hash"] == sha256(archive), f"{archive}: another hash")
    names = zipfile.ZipFile(archive).namelist()
    for program in [scoop["bin"], scoop["shortcuts"][0][0]]:
        expect(f"{entry['extract_dir']}/{program}" in names, f"{archive}: no {program} in {entry['extract_dir']}")
sys.exit(0 if ok else 1)
PY

# The installer test, run on the signed x64 installer and its signed programs.
payload=$temp/zip/UvanticFinder-$version-x64
cp "$root/resources/program.ico" "$payload/"
"$here/installer_test.sh" "$template" "$temp/wine" x64 "$version" "$make_installer" "$source" "$payload" \
  "$dist/UvanticFinder-$version-x64.msi" "$screenshot_tool" || failures=$((failures + 1))

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
