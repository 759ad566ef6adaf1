#!/usr/bin/env python3
"""Makes the Windows Installer package of the two programs with wixl.

    make_msi.py --version a.bb.cccc --maintainer "Name <address>" --website URL
                --epoch SECONDS --programs FOLDER --out FILE.msi [--wixl PATH]

Per machine, 64-bit, into Program Files\\<publisher>\\Check Keldo Support\\:
the window program always (feature WindowProgram) and the console report as
a feature an administrator may leave out (ConsoleReport); a Start-menu
shortcut to the window program; a Programs and Features entry without Modify
and Repair. A newer package replaces an installed one in place, an older one
is refused. Nothing else is written: no registry value, service or setting.

The same inputs give the same bytes: the programs go into the cabinet with
the commit's time, the product code follows from the version and the package
code from the content (msi_summary.py). On any failure the one line that
says why goes to standard error, and no package is left behind.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import quoteattr

import msi_summary
from package_facts import (PRODUCT_NAME, REPORT_COMPONENT, REPORT_PROGRAM, UPGRADE_CODE,
                           VENDOR_COMPONENT, WINDOW_COMPONENT, WINDOW_PROGRAM, Maintainer,
                           PackageError, product_code, product_version)
from tool_support import replaced_whole, run

SOURCE = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id={code} Name={name} Language="1033" Version={product_version}
           Manufacturer={publisher} UpgradeCode={upgrade_code}>
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description={description} Manufacturer={publisher} />
    <MajorUpgrade DowngradeErrorMessage={downgrade} />
    <Media Id="1" Cabinet="programs.cab" EmbedCab="yes" />
    <Icon Id="CheckKeldoSupport.exe" SourceFile={window_program} />
    <Property Id="ARPPRODUCTICON" Value="CheckKeldoSupport.exe" />
    <Property Id="ARPCONTACT" Value={contact} />
    <Property Id="ARPHELPLINK" Value={help_link} />
    <Property Id="ARPURLINFOABOUT" Value={website} />
    <Property Id="ARPNOMODIFY" Value="1" />
    <Property Id="ARPNOREPAIR" Value="1" />
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="VendorFolder" Name={publisher}>
          <!-- Emptied by the removal, the publisher's folder goes too (wixl
               ignores RemoveFolder's Directory: the component lies there). -->
          <Component Id="VendorFolder" Guid={vendor_component} Win64="yes">
            <RemoveFolder Id="VendorFolder" On="uninstall" />
          </Component>
          <Directory Id="INSTALLDIR" Name={name}>
            <Component Id="WindowProgram" Guid={window_component} Win64="yes">
              <File Id="CheckKeldoSupport.exe" Source={window_program} KeyPath="yes" />
              <!-- Beside the file, not in it: there wixl makes it advertised. -->
              <Shortcut Id="StartMenuShortcut" Directory="ProgramMenuFolder" Name={name}
                        Target="[INSTALLDIR]CheckKeldoSupport.exe" WorkingDirectory="INSTALLDIR"
                        Icon="CheckKeldoSupport.exe" />
            </Component>
            <Component Id="ConsoleReport" Guid={report_component} Win64="yes">
              <File Id="keldo_check_report.exe" Source={report_program} KeyPath="yes" />
            </Component>
          </Directory>
        </Directory>
      </Directory>
      <Directory Id="ProgramMenuFolder" />
    </Directory>
    <!-- The report within the window program's feature: a package that
         holds the report always holds the window program (wixl drops
         Absent="disallow"). -->
    <Feature Id="WindowProgram" Title={name} Level="1">
      <ComponentRef Id="WindowProgram" />
      <ComponentRef Id="VendorFolder" />
      <Feature Id="ConsoleReport" Title="Console report" Level="1">
        <ComponentRef Id="ConsoleReport" />
      </Feature>
    </Feature>
  </Product>
</Wix>
"""


def source(version, maintainer, website):
    return SOURCE.format(**{key: quoteattr(value) for key, value in {
        "code": product_code(version),
        "name": PRODUCT_NAME,
        "product_version": product_version(version),
        "publisher": maintainer.name,
        "upgrade_code": UPGRADE_CODE,
        "description": f"{PRODUCT_NAME} {version}",
        "downgrade": f"A newer version of {PRODUCT_NAME} is already installed.",
        "contact": maintainer.contact,
        "help_link": maintainer.help_link,
        "website": website,
        "window_component": WINDOW_COMPONENT,
        "report_component": REPORT_COMPONENT,
        "vendor_component": VENDOR_COMPONENT,
        # wixl finds a source by a relative name only.
        "window_program": WINDOW_PROGRAM,
        "report_program": REPORT_PROGRAM,
    }.items()})


def make(args, work):
    maintainer = Maintainer(args.maintainer)
    if not args.website.startswith("https://"):
        raise PackageError(f"the website is not an https:// address: '{args.website}'")
    text = source(args.version, maintainer, args.website)
    for program in (WINDOW_PROGRAM, REPORT_PROGRAM):
        given = os.path.join(args.programs, program)
        if not os.path.isfile(given):
            raise PackageError(f"no program {given} to package")
        shutil.copyfile(given, os.path.join(work, program))
        # The cabinet keeps each file's time.
        os.utime(os.path.join(work, program), (args.epoch, args.epoch))
    with open(os.path.join(work, "package.wxs"), "w", encoding="utf-8") as out:
        out.write(text)
    if not os.access(args.wixl, os.X_OK):
        raise PackageError(f"{args.wixl} is missing (apt-get install wixl msitools)")
    run = subprocess.run([args.wixl, "-a", "x64", "-o", "package.msi", "package.wxs"], cwd=work,
                         stdin=subprocess.DEVNULL, capture_output=True, text=True, errors="replace")
    if run.returncode != 0:
        said = " ".join(run.stderr.split()) or f"exit status {run.returncode}"
        raise PackageError(f"wixl failed: {said[:400]}")
    with open(os.path.join(work, "package.msi"), "rb") as built:
        data = built.read()
    try:
        return msi_summary.fix_summary(data, args.epoch)
    except msi_summary.FormatError as error:
        raise PackageError(f"wixl's package is not as expected: {error}") from error


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--maintainer", required=True)
    parser.add_argument("--website", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--programs", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--wixl", default="/usr/bin/wixl")
    args = parser.parse_args()

    def body():
        with tempfile.TemporaryDirectory(prefix="keldo-msi.") as work:
            package = make(args, work)
            with replaced_whole(args.out) as out:
                out.write(package)

    return run("make_msi.py", body)


if __name__ == "__main__":
    sys.exit(main())
