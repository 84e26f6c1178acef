#!/usr/bin/env python3
"""Writes the seed corpus of the BMP fuzz target: small valid files of every
kind the reader takes, and a few it refuses."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def bmp(width, height, bits, rows, table=(), header_size=40, compression=0, colours_used=0):
    if header_size == 12:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table_bytes = b"".join(bytes(entry) for entry in table)
    else:
        header = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression, 0, 0, 0,
                             colours_used, 0)
        header += b"\0" * (header_size - 40)
        table_bytes = b"".join(bytes(entry) + b"\0" for entry in table)
    pixels = b"".join(pad(row) for row in rows)
    offset = 14 + len(header) + len(table_bytes)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + table_bytes + pixels


def gray_table():
    return [(i, i, i) for i in range(256)]


def seeds():
    colours = [(0, 0, 255), (0, 255, 0), (255, 0, 0), (40, 80, 120)]
    rgb_row = bytes(range(0, 15))
    yield "rgb24_5x2", bmp(5, 2, 24, [rgb_row, rgb_row[::-1]])
    yield "rgb24_topdown", bmp(3, -2, 24, [bytes(range(9)), bytes(range(9, 18))])
    yield "gray8_3x2", bmp(3, 2, 8, [b"\x00\x80\xff", b"\x07\x08\x09"], gray_table())
    yield "indexed8_short_table", bmp(4, 1, 8, [b"\x00\x01\x02\x07"], colours, colours_used=4)
    yield "indexed4_5x2", bmp(5, 2, 4, [b"\x12\x34\x50", b"\xfe\xdc\xb0"], [(i * 16, 255 - i * 16, i) for i in range(16)])
    yield "mono1_10x2", bmp(10, 2, 1, [b"\xb1\x80", b"\x4e\x40"], colours[:2])
    yield "v5_indexed8", bmp(3, 1, 8, [b"\x01\x00\x01"], colours[:2], header_size=124, colours_used=2)
    yield "core12_indexed8", bmp(3, 1, 8, [b"\x00\xc8\xff"], gray_table(), header_size=12)
    yield "rle8_refused", bmp(2, 2, 8, [b"\x02\x01", b"\x00\x00"], colours, compression=1, colours_used=4)
    yield "truncated", bmp(5, 2, 24, [rgb_row, rgb_row])[:60]


def main():
    os.makedirs(HERE, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(HERE, name + ".bmp"), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
