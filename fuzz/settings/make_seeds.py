#!/usr/bin/env python3
"""Writes the seed corpus of settings_fuzz: eight bytes of run choices, then a
688-byte settings block, for several symmetries, modes, feathers and sources."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def block(symmetry, feather=0, blend=1, opacity=100, show_dialog=0, source_kind=2,
          area=(0, 0, 0, 0), source_size=(60, 60), offset=(0.0, 0.0)):
    b = bytearray(688)
    struct.pack_into('<II', b, 0, 0xF00F, 0x1000)
    struct.pack_into('<4i', b, 192, *area)
    struct.pack_into('<i', b, 212, show_dialog)
    struct.pack_into('<3i', b, 220, 1, 1, 1)
    struct.pack_into('<3i', b, 232, symmetry, blend, opacity)
    w, h = source_size
    struct.pack_into('<4i', b, 244, w // 3, h // 3, w // 3 + w // 3, h // 3 + h // 3)
    struct.pack_into('<2i', b, 260, h, w)
    struct.pack_into('<i', b, 268, source_kind)
    struct.pack_into('<2i', b, 276, w, h)
    struct.pack_into('<5d', b, 288, 1 / 3, 1 / 3, 2 / 3, 2 / 3, 0.0)
    struct.pack_into('<2d', b, 336, *offset)
    side = min(w, h) // 3
    struct.pack_into('<7i', b, 352, w // 3, h // 3, side, side, side, 0, 0)
    struct.pack_into('<i', b, 384, feather)
    return bytes(b)


def choices(mode, dialog=False, width=60, height=60, left=0, top=0, file=0, size=0, repeat=0, suites=0):
    first = mode | (4 if dialog else 0) | (suites << 3)
    return bytes([first, (width - 50) % 41, (height - 50) % 41, left | (top << 3), file, size, repeat, 0])


SEEDS = {
    'gray_s1': choices(0) + block(1),
    'rgb_s8_dialog': choices(1, dialog=True, width=70, height=55, left=2, top=3) + block(8),
    'cmyk_s13_feather': choices(2, width=90, height=90, repeat=1) + block(13, feather=40),
    'rgb_s17_offset': choices(1, width=57, height=53) + block(17, offset=(0.25, -0.5), blend=8, opacity=60),
    'rgb_s5_no_suites': choices(1, suites=3) + block(5, feather=20),
    'gray_s10_no_buffer_suite': choices(0, suites=1, width=77) + block(10, blend=4),
    'rgb_bmp_source': choices(1, file=0) + block(9, source_kind=1, area=(3, 2, 40, 33), source_size=(37, 31)),
    'cmyk_bmp_feather': choices(2, file=0, repeat=1) + block(14, feather=30, source_kind=1, area=(0, 0, 41, 37),
                                                            source_size=(41, 37)),
    'gray_bmp_pixel': choices(0, file=1) + block(3, source_kind=1, area=(0, 0, 1, 1), source_size=(1, 1)),
    'rgb_bmp_wide_area_outside': choices(1, file=2) + block(11, source_kind=1, area=(250, -5, 400, 9),
                                                            source_size=(150, 14)),
    'rgb_bmp_truncated': choices(1, file=3) + block(2, source_kind=1, area=(0, 0, 40, 30), source_size=(40, 30)),
    'rgb_bmp_missing': choices(1, file=4, dialog=True) + block(6, source_kind=1, area=(0, 0, 40, 30)),
    'rgb_short_block': choices(1, size=244) + block(8),
    'rgb_foreign_block': choices(1) + bytes(range(256)) * 2 + bytes(176),
}

# corpus/saved_record_repeat is not made here: its block is a record that
# `quiltora --save-settings` wrote after a run from a BMP source (symmetry 14,
# feather 25, offset 3,4), with its stale object ids, as `--settings` hands it back.

if __name__ == '__main__':
    corpus = os.path.join(HERE, 'corpus')
    os.makedirs(corpus, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(corpus, name), 'wb') as f:
            f.write(data)
