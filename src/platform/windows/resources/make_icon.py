#!/usr/bin/env python3
"""Draws the program's icon: a green tick in a light-green disc.

Three images, as the program carries them: 32x32 in 2 colours, 32x32 in 16
colours and 16x16 in 16 colours. The output depends on nothing but this
script, so every build makes the same bytes.
"""
import struct
import sys

LIGHT_GREEN = (224, 255, 224)  # the window's own background
DARK_GREEN = (0, 100, 0)
TICK = [(0.26, 0.53), (0.44, 0.71), (0.76, 0.31)]


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def classify(size):
    """Per pixel, top row first: 'out', 'fill' or 'ink' (border and tick)."""
    samples = 4
    border = max(1.2, size / 16) / size
    tick_half = 0.075 if size >= 32 else 0.09
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            votes = {"out": 0, "fill": 0, "ink": 0}
            for sy in range(samples):
                for sx in range(samples):
                    px = (x + (sx + 0.5) / samples) / size
                    py = (y + (sy + 0.5) / samples) / size
                    r = ((px - 0.5) ** 2 + (py - 0.5) ** 2) ** 0.5
                    if r > 0.48:
                        votes["out"] += 1
                    elif r > 0.48 - border or any(
                        segment_distance(px, py, *TICK[i], *TICK[i + 1]) < tick_half
                        for i in range(len(TICK) - 1)
                    ):
                        votes["ink"] += 1
                    else:
                        votes["fill"] += 1
            row.append(max(("ink", "fill", "out"), key=lambda k: votes[k]))
        rows.append(row)
    return rows


def pack_rows(rows, bits):
    """Bottom-up rows of palette indexes, each padded to 4 bytes."""
    data = b""
    for row in reversed(rows):
        value, count, out = 0, 0, bytearray()
        for index in row:
            value = (value << bits) | index
            count += bits
            if count == 8:
                out.append(value)
                value, count = 0, 0
        if count:
            out.append(value << (8 - count))
        out += b"\0" * (-len(out) % 4)
        data += bytes(out)
    return data


def image(size, colours):
    rows = classify(size)
    if colours == 2:
        palette = [(0, 0, 0), (255, 255, 255)]
        index = {"out": 0, "fill": 1, "ink": 0}
        bits = 1
    else:
        palette = [(0, 0, 0), DARK_GREEN, LIGHT_GREEN] + [(0, 0, 0)] * 13
        index = {"out": 0, "fill": 2, "ink": 1}
        bits = 4
    xor = pack_rows([[index[c] for c in row] for row in rows], bits)
    mask = pack_rows([[1 if c == "out" else 0 for c in row] for row in rows], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, len(palette), 0)
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colour_table + xor + mask, bits


def main(path):
    images = [(32, 2), (32, 16), (16, 16)]
    blobs = [(size, colours) + image(size, colours) for size, colours in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, colours, blob, bits in blobs:
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    out += b"".join(blob for _, _, blob, _ in blobs)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
