"""Makes a package's summary information a function of its content.

wixl writes the time of the build (created, last saved) and a random package
code into the summary information stream of the package, a compound file.
Both are rewritten here in place, same sizes, so nothing else of the file
moves: the times become the commit's, and the package code is derived from
the bytes of the whole package with those fields fixed, so that two packages
differ in their codes exactly when they differ in anything else.
"""
import hashlib
import struct
import uuid

SIGNATURE = bytes.fromhex("D0CF11E0A1B11AE1")
SUMMARY_STREAM = "\x05SummaryInformation"
END_OF_CHAIN = 0xFFFFFFFE
REVISION_NUMBER, CREATED, LAST_SAVED = 9, 12, 13  # the package code is PID 9
VT_LPSTR, VT_FILETIME = 30, 64
FILETIME_EPOCH = 11644473600  # seconds from 1601 to 1970
# Namespace of the derived package codes.
PACKAGE_CODES = uuid.UUID("F3C310D3-ADF8-4E05-8825-583D5FD79AA2")


class FormatError(Exception):
    pass


class CompoundFile:
    def __init__(self, data):
        if data[:8] != SIGNATURE:
            raise FormatError("not a compound file")
        self.data = data
        self.sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini_sector = 1 << struct.unpack_from("<H", data, 0x20)[0]
        (self.mini_cutoff,) = struct.unpack_from("<I", data, 0x38)
        if struct.unpack_from("<I", data, 0x48)[0]:
            raise FormatError("a FAT this large is not expected of a package")
        fat_count, first_dir = struct.unpack_from("<II", data, 0x2C)
        (first_minifat,) = struct.unpack_from("<I", data, 0x3C)
        fat_sectors = struct.unpack_from(f"<{fat_count}I", data, 0x4C)
        self.fat = [entry for s in fat_sectors for entry in self._words(s)]
        self.minifat = [entry for s in self._chain(first_minifat, self.fat) for entry in self._words(s)]
        self.entries = b"".join(self._sector_bytes(s) for s in self._chain(first_dir, self.fat))
        root_start, _ = self._entry_place(0)
        self.mini_stream = [self._offset(s) for s in self._chain(root_start, self.fat)]

    def _offset(self, sector):
        offset = (sector + 1) * self.sector
        if offset + self.sector > len(self.data):
            raise FormatError(f"sector {sector} lies beyond the end of the file")
        return offset

    def _sector_bytes(self, sector):
        offset = self._offset(sector)
        return self.data[offset:offset + self.sector]

    def _words(self, sector):
        return struct.unpack(f"<{self.sector // 4}I", self._sector_bytes(sector))

    def _chain(self, start, table):
        sectors = []
        while start != END_OF_CHAIN:
            if start >= len(table) or len(sectors) > len(table):
                raise FormatError("a broken sector chain")
            sectors.append(start)
            start = table[start]
        return sectors

    def _entry_place(self, index):
        start, size = struct.unpack_from("<IQ", self.entries, index * 128 + 116)
        return start, size & 0xFFFFFFFF if self.sector == 512 else size

    def stream_offsets(self, name):
        """The file offset of every byte of the named stream, in order."""
        for index in range(len(self.entries) // 128):
            length = struct.unpack_from("<H", self.entries, index * 128 + 64)[0]
            if self.entries[index * 128:index * 128 + max(length - 2, 0)].decode("utf-16-le") != name:
                continue
            start, size = self._entry_place(index)
            if size >= self.mini_cutoff:
                units = [self._offset(s) for s in self._chain(start, self.fat)]
                unit = self.sector
            else:
                mini_per_sector = self.sector // self.mini_sector
                units = []
                for m in self._chain(start, self.minifat):
                    if m // mini_per_sector >= len(self.mini_stream):
                        raise FormatError("a mini sector beyond the mini stream")
                    units.append(self.mini_stream[m // mini_per_sector] + (m % mini_per_sector) * self.mini_sector)
                unit = self.mini_sector
            offsets = [base + i for base in units for i in range(unit)]
            if len(offsets) < size:
                raise FormatError(f"the stream {name!r} is shorter than its entry says")
            return offsets[:size]
        raise FormatError(f"no stream {name!r}")


def _properties(stream):
    """(type, value offset) of each property of the first section, by PID."""
    (section,) = struct.unpack_from("<I", stream, 44)
    _, count = struct.unpack_from("<II", stream, section)
    found = {}
    for i in range(count):
        pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        (kind,) = struct.unpack_from("<I", stream, section + offset)
        found[pid] = (kind, section + offset + 4)
    return found


def fix_summary(data, epoch):
    """Returns the package with the commit's times and a package code of its
    content; raises FormatError when the stream is not as wixl writes it."""
    data = bytearray(data)
    offsets = CompoundFile(bytes(data)).stream_offsets(SUMMARY_STREAM)
    try:
        stream = bytearray(data[o] for o in offsets)
        properties = _properties(stream)
        filetime = struct.pack("<Q", (epoch + FILETIME_EPOCH) * 10_000_000)
        for pid in (CREATED, LAST_SAVED):
            kind, at = properties[pid]
            if kind != VT_FILETIME:
                raise FormatError(f"summary property {pid} is not a time")
            stream[at:at + 8] = filetime
        kind, at = properties[REVISION_NUMBER]
        (length,) = struct.unpack_from("<I", stream, at)
        if kind != VT_LPSTR or length != 39:
            raise FormatError("the package code is not a {GUID} text")
    except (struct.error, KeyError) as error:
        raise FormatError(f"the summary information is not as expected: {error}") from error
    code_at = at + 4
    stream[code_at:code_at + 38] = b"{" + b"0" * 36 + b"}"

    def write_back():
        for o, byte in zip(offsets, stream):
            data[o] = byte

    write_back()
    code = str(uuid.uuid5(PACKAGE_CODES, hashlib.sha256(data).hexdigest())).upper()
    stream[code_at:code_at + 38] = ("{" + code + "}").encode("ascii")
    write_back()
    return bytes(data)
