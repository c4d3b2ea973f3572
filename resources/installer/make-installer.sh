#!/usr/bin/env bash
# Builds the installer of one architecture with wixl from the files in PAYLOAD_DIR, then writes
# into it what wixl cannot (add-search-path.sh adds uvfind's PATH entry):
#  - each executable's version, read from the executable, in the File table, so that Windows
#    Installer replaces files by their versions;
#  - that the row finding the other architecture's package of this version includes its maximum;
#  - no MsiFileHash row for an executable: that table is for unversioned files only;
#  - HKMU's root (-1) for the Start-menu shortcut's value, which wixl writes as 4.
#   make-installer.sh SOURCE.wxs PAYLOAD_DIR ARCH VERSION PRODUCT_CODE OUT.msi
set -euo pipefail
source=$(realpath "$1") payload=$2 arch=$3 version=$4 product_code=$5 out=$(realpath "$6")

(cd "$payload" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D ProductCode="$product_code" \
   -o "$out" "$source")

# The detect-only row again with both ends included (Attributes is part of the row's key, so it
# cannot be updated in place): msidbUpgradeAttributesOnlyDetect, VersionMinInclusive and
# VersionMaxInclusive.
upgrade_code=$(msiinfo export "$out" Property | tr -d '\r' | awk -F'\t' '$1 == "UpgradeCode" { print $2 }')
queries=("DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'OTHER_BUILD_FOUND'"
         "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
          VALUES ('$upgrade_code', '$version', '$version', 770, 'OTHER_BUILD_FOUND')"
         "UPDATE \`Registry\` SET \`Root\` = -1 WHERE \`Root\` = 4")
for exe in "$payload"/*.exe; do
  file_version=$(python3 - "$exe" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO's signature
if at >= 0:
    high, low = struct.unpack_from("<II", data, at + 8)
    print(f"{high >> 16}.{high & 0xffff}.{low >> 16}.{low & 0xffff}")
PY
  )
  if [ -z "$file_version" ]; then
    echo "make-installer.sh: $exe has no version resource" >&2
    exit 1
  fi
  # 1033: the language of the executables' version resources.
  queries+=("UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '1033' WHERE \`File\` = '$(basename "$exe")'"
            "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$(basename "$exe")'")
done
for query in "${queries[@]}"; do msibuild "$out" -q "$query"; done
"$(dirname "$0")/add-search-path.sh" "$out" "$arch.uvfind.exe"
