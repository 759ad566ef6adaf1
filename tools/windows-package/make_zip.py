#!/usr/bin/env python3
"""Makes the portable .zip of the two programs, for PCs where nothing is installed.

    make_zip.py --version a.bb.cccc --epoch SECONDS --programs FOLDER --out FILE.zip

Both programs in one folder named for the version, each entry with the
commit's time and the same attributes, in a fixed order: the same inputs
give the same bytes. On any failure one line says why, and no .zip is left.
"""
import argparse
import os
import sys
import time
import zipfile

from package_facts import REPORT_PROGRAM, WINDOW_PROGRAM
from tool_support import replaced_whole, run

DOS_EPOCH = (1980, 1, 1, 0, 0, 0)  # the earliest time a .zip entry holds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--version", "--programs", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--epoch", required=True, type=int)
    args = parser.parse_args()
    stamp = max(DOS_EPOCH, time.gmtime(args.epoch)[:6])

    def body():
        with replaced_whole(args.out) as out, zipfile.ZipFile(out, "w") as archive:
            for program in (WINDOW_PROGRAM, REPORT_PROGRAM):
                with open(os.path.join(args.programs, program), "rb") as given:
                    data = given.read()
                entry = zipfile.ZipInfo(f"CheckKeldoSupport-{args.version}/{program}", stamp)
                entry.compress_type = zipfile.ZIP_DEFLATED
                entry.create_system = 0  # MS-DOS: no Unix owner or mode to vary
                archive.writestr(entry, data, compresslevel=9)

    return run("make_zip.py", body)


if __name__ == "__main__":
    sys.exit(main())
