"""What the Windows packages say about the product, from the release's inputs.

The version text of project() (a.bb.cccc, leading zeros kept) becomes the
Windows Installer ProductVersion, whose first three fields are compared as
numbers (at most 255.255.65535): 1.00.0001 is 1.0.1. A version that cannot
be mapped so that the order stays the same is refused, never rounded.

The publisher, the contact and the support link all come from the one
maintainer setting the Debian package uses, "Name <address>".
"""
import os
import re
import uuid

# One for the life of the product: every package of it, old or new, carries
# it, and Windows Installer finds the installed one to replace by it.
UPGRADE_CODE = "618D5B3F-518F-49D6-B111-658AED0F992D"
# A component keeps its code in every version (the component rules): the
# same file in the same folder is the same component.
WINDOW_COMPONENT = "8E8DA252-682A-44DC-B624-920CA9C2665D"
REPORT_COMPONENT = "56C8100D-B8BD-4E06-8A57-C06B0DD025AC"
VENDOR_COMPONENT = "E92CE60B-EFD4-4247-8A8D-67ECBB25588B"

PRODUCT_NAME = "Check Keldo Support"
WINDOW_PROGRAM = "CheckKeldoSupport.exe"
REPORT_PROGRAM = "keldo-check-report.exe"
# Windows Installer's limits on the three compared fields.
FIELD_LIMITS = (255, 255, 65535)


class PackageError(Exception):
    """A release input the packages cannot be made from: one line for the user."""


def website_path(name):
    """A path on the vendor's website as the program has it (src/base/website_paths.h)."""
    header = os.path.join(os.path.dirname(__file__), "..", "..", "src", "base", "website_paths.h")
    with open(header, encoding="utf-8") as source:
        match = re.search(rf'^#define {name} "([^"]*)"$', source.read(), re.MULTILINE)
    if not match:
        raise PackageError(f"{header} defines no {name}")
    return match.group(1)


def printable(text):
    """One line for a terminal: what a tool or an input said, control characters escaped."""
    return "".join(c if c.isprintable() else f"\\x{ord(c):02x}" for c in text)


def product_version(version):
    match = re.fullmatch(r"([0-9]+)\.([0-9]+)\.([0-9]+)", version)
    if not match:
        raise PackageError(f"the version '{version}' is not three numbers a.b.c, "
                           "which Windows Installer needs to order packages")
    fields = [int(part) for part in match.groups()]
    for value, limit in zip(fields, FIELD_LIMITS):
        if value > limit:
            raise PackageError(f"the version '{version}' has a field above {limit}, "
                               "which Windows Installer cannot order "
                               f"(its limits are {'.'.join(map(str, FIELD_LIMITS))})")
    return ".".join(map(str, fields))


def product_code(version):
    """Each version is a product of its own (a major upgrade replaces it), and
    the same version always gets the same code, so a build is a function of
    its commit."""
    namespace = uuid.UUID(UPGRADE_CODE)
    return str(uuid.uuid5(namespace, "ProductCode " + product_version(version))).upper()


class Maintainer:
    def __init__(self, setting):
        match = re.fullmatch(r"([^<>,]*[^<>, ]) <([^<>@ ]+@[^<>@ ]+)>", setting)
        if not match:
            raise PackageError(f"the maintainer is not \"Name <address>\": '{setting}'")
        self.contact = setting
        self.name, self.address = match.groups()
        self.help_link = "mailto:" + self.address
