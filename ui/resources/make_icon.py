#!/usr/bin/env python3
"""Builds a 32x32, 16-colour .ico from a text pixel map.

Each of the 32 lines holds 32 characters: a hex digit is an index into the standard 16-colour
palette, '.' is a transparent pixel. Usage: make_icon.py MAP.txt OUT.ico
"""
import struct
import sys

# The classic 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SIZE = 32


def read_map(path):
    with open(path, encoding="ascii") as f:
        rows = [line.rstrip("\n") for line in f if line.strip()]
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit(f"{path}: need {SIZE} lines of {SIZE} characters")
    for r in rows:
        for c in r:
            if c != "." and c.upper() not in "0123456789ABCDEF":
                sys.exit(f"{path}: bad pixel {c!r}")
    return rows


def build_ico(rows):
    # Bitmap rows are stored bottom-up; colour rows are 16 bytes (4 bits a pixel), mask rows 4.
    xor = bytearray()
    mask = bytearray()
    for r in reversed(rows):
        idx = [0 if c == "." else int(c, 16) for c in r]
        for x in range(0, SIZE, 2):
            xor.append((idx[x] << 4) | idx[x + 1])
        bits = 0
        for x, c in enumerate(r):
            if c == ".":
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_icon.py MAP.txt OUT.ico")
    data = build_ico(read_map(sys.argv[1]))
    with open(sys.argv[2], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
