#!/usr/bin/env python3
"""Writes the winget manifests (schema 1.6.0) of a made package.

    make_winget.py --version a.bb.cccc --maintainer "Name <address>" --website URL
                   --msi FILE.msi --out FOLDER [--msiinfo PATH]

The version, installer and default-locale manifests, the installer's address
in the website's download folder, its SHA-256 and the ProductCode read from
the package itself, so that they hold for the very bytes released.
"""
import argparse
import hashlib
import json
import os
import re
import subprocess
import sys

from package_facts import (PRODUCT_NAME, UPGRADE_CODE, Maintainer, PackageError, product_version,
                           website_path)
from tool_support import run

SCHEMA = "1.6.0"
LOCALE = "en-US"


def yaml_lines(pairs, indent=""):
    """A flat YAML mapping; JSON's quoted strings are YAML's too."""
    return [f"{indent}{key}: {json.dumps(value)}" for key, value in pairs]


def list_item(pairs):
    lines = yaml_lines(pairs, "  ")
    return ["- " + lines[0][2:]] + lines[1:]


def package_property(msiinfo, msi, name):
    run = subprocess.run([msiinfo, "export", msi, "Property"], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True, errors="replace")
    if run.returncode != 0:
        raise PackageError(f"msiinfo cannot read {msi}: {' '.join(run.stderr.split())[:300]}")
    for line in run.stdout.splitlines():
        key, _, value = line.partition("\t")
        if key == name:
            return value.strip()
    raise PackageError(f"{msi} has no {name}")


def manifests(args):
    maintainer = Maintainer(args.maintainer)
    identifier = re.sub(r"[^A-Za-z0-9]", "", maintainer.name) + ".CheckKeldoSupport"
    with open(args.msi, "rb") as package:
        digest = hashlib.file_digest(package, "sha256").hexdigest().upper()
    code = package_property(args.msiinfo, args.msi, "ProductCode")
    head = [("PackageIdentifier", identifier), ("PackageVersion", args.version)]

    def tail(kind):
        return yaml_lines([("ManifestType", kind), ("ManifestVersion", SCHEMA)])

    version = yaml_lines(head + [("DefaultLocale", LOCALE)]) + tail("version")
    installer = yaml_lines(head + [
        ("InstallerType", "msi"), ("Scope", "machine"), ("UpgradeBehavior", "install"),
        ("ProductCode", code)]) + ["InstallModes:", "- silent", "- silentWithProgress"]
    installer += ["AppsAndFeaturesEntries:"] + list_item([
        ("DisplayName", PRODUCT_NAME), ("Publisher", maintainer.name),
        ("DisplayVersion", product_version(args.version)), ("ProductCode", code),
        ("UpgradeCode", "{" + UPGRADE_CODE + "}")])
    installer += ["Installers:"] + list_item([
        ("Architecture", "x64"),
        ("InstallerUrl", args.website + website_path("KELDO_DOWNLOAD_FOLDER_PATH")
         + os.path.basename(args.msi)),
        ("InstallerSha256", digest)]) + tail("installer")
    locale = yaml_lines(head + [
        ("PackageLocale", LOCALE), ("Publisher", maintainer.name), ("PublisherUrl", args.website),
        ("PackageName", PRODUCT_NAME), ("License", "MIT"),
        ("ShortDescription", "Keldo6 Accounts support and version check")]) + tail("defaultLocale")
    return {f"{identifier}.yaml": version, f"{identifier}.installer.yaml": installer,
            f"{identifier}.locale.{LOCALE}.yaml": locale}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--version", "--maintainer", "--website", "--msi", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--msiinfo", default="/usr/bin/msiinfo")
    args = parser.parse_args()

    def body():
        files = manifests(args)
        os.makedirs(args.out, exist_ok=True)
        for name, lines in files.items():
            with open(os.path.join(args.out, name), "w", encoding="utf-8") as out:
                out.write("\n".join(lines) + "\n")

    return run("make_winget.py", body)


if __name__ == "__main__":
    sys.exit(main())
