#!/usr/bin/env python3
"""Writes the package-manager manifests of the release in RELEASE_DIR from the files in it:
winget's multi-file manifest for the two installers under winget/, laid out as the community
repository keeps it, and a Scoop manifest for the two portable zips in scoop/. The download
addresses are UVANTIC_RELEASE_URL (default https://www.uvantic.com/downloads/) and the file name.
  write-manifests.py RELEASE_DIR VERSION"""
import hashlib
import json
import os
import subprocess
import sys

import yaml

PACKAGE_ID = "Uvantic.UvanticFinder"
MANIFEST_VERSION = "1.10.0"
HOMEPAGE = "https://www.uvantic.com/"
LICENSE = "Proprietary"
LICENSE_URL = "https://www.uvantic.com/license"
COPYRIGHT = "Copyright (c) Uvantic"
DESCRIPTION = "Lists the Uvantic USB instrument cables installed on this computer with their COM ports"
NOTIFIER_SENTENCE = ("Uvantic Finder Notifier, a small companion in the notification area, tells which COM port"
                     " a cable got the moment it is plugged in.")
# winget's architecture names and Scoop's, for each build.
ARCHITECTURES = {"x64": "64bit", "x86": "32bit"}


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.file_digest(f, "sha256").hexdigest()


def msi_properties(path):
    table = subprocess.run(["msiinfo", "export", path, "Property"], check=True,
                           capture_output=True, text=True).stdout
    return dict(line.split("\t", 1) for line in table.replace("\r", "").splitlines()[3:])


def write_yaml(path, manifest_type, fields):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{manifest_type}"
                f".{MANIFEST_VERSION}.schema.json\n\n")
        yaml.safe_dump({"PackageIdentifier": PACKAGE_ID, **fields, "ManifestType": manifest_type,
                        "ManifestVersion": MANIFEST_VERSION},
                       f, sort_keys=False, allow_unicode=True, width=200)


def main():
    release, version = sys.argv[1:]
    base = (os.environ.get("UVANTIC_RELEASE_URL") or "https://www.uvantic.com/downloads/").rstrip("/")
    url = lambda name: base + "/" + name

    installers = []
    for arch in ARCHITECTURES:
        name = f"UvanticFinder-{version}-{arch}.msi"
        properties = msi_properties(os.path.join(release, name))
        installers.append({
            "Architecture": arch,
            "InstallerType": "msi",
            "Scope": "machine",
            "InstallerUrl": url(name),
            "InstallerSha256": sha256(os.path.join(release, name)).upper(),
            "ProductCode": properties["ProductCode"],
            # winget install --location passes the folder through the installer's property.
            "InstallerSwitches": {"InstallLocation": 'INSTALLFOLDER="<INSTALLPATH>"'},
            "AppsAndFeaturesEntries": [{"UpgradeCode": properties["UpgradeCode"]}],
            "Commands": ["uvfind"],
        })
    folder = os.path.join(release, "winget", "manifests", PACKAGE_ID[0].lower(),
                          *PACKAGE_ID.split("."), version)
    package = {"PackageVersion": version}
    write_yaml(os.path.join(folder, f"{PACKAGE_ID}.yaml"), "version",
               {**package, "DefaultLocale": "en-US"})
    write_yaml(os.path.join(folder, f"{PACKAGE_ID}.installer.yaml"), "installer",
               {**package, "UpgradeBehavior": "install", "Installers": installers})
    write_yaml(os.path.join(folder, f"{PACKAGE_ID}.locale.en-US.yaml"), "defaultLocale", {
        **package, "PackageLocale": "en-US", "Publisher": "Uvantic", "PublisherUrl": HOMEPAGE,
        "PackageName": "Uvantic Finder", "PackageUrl": HOMEPAGE, "License": LICENSE,
        "LicenseUrl": LICENSE_URL, "Copyright": COPYRIGHT, "ShortDescription": DESCRIPTION,
        "Description": f"{DESCRIPTION}. {NOTIFIER_SENTENCE}", "Moniker": "uvantic-finder",
        "Tags": ["usb", "serial", "com-port", "usb-to-serial", "cable", "instrument"]})

    architecture, autoupdate = {}, {}
    for arch, scoop_arch in ARCHITECTURES.items():
        name = f"UvanticFinder-{version}-{arch}-portable.zip"
        architecture[scoop_arch] = {"url": url(name), "hash": sha256(os.path.join(release, name)),
                                    "extract_dir": f"UvanticFinder-{version}-{arch}"}
        # Scoop fills $version in and takes the new zip's hash from the release's SHA256SUMS.
        autoupdate[scoop_arch] = {"url": url(f"UvanticFinder-$version-{arch}-portable.zip"),
                                  "extract_dir": f"UvanticFinder-$version-{arch}"}
    os.makedirs(os.path.join(release, "scoop"), exist_ok=True)
    with open(os.path.join(release, "scoop", "uvantic-finder.json"), "w", encoding="utf-8") as f:
        json.dump({"version": version, "description": DESCRIPTION, "homepage": HOMEPAGE,
                   "license": {"identifier": LICENSE, "url": LICENSE_URL}, "architecture": architecture,
                   "bin": "uvfind.exe", "shortcuts": [["UvanticFinder.exe", "Uvantic Finder"],
                                                          ["UvanticNotifier.exe", "Uvantic Finder Notifier"]],
                   # The newest version is the one the published SHA256SUMS names.
                   "checkver": {"url": url("SHA256SUMS"), "regex": r"UvanticFinder-([\d.]+)-x64\.msi"},
                   "autoupdate": {"architecture": autoupdate,
                                  "hash": {"url": "$baseurl/SHA256SUMS"}}}, f, indent=4)
        f.write("\n")


main()
