#!/usr/bin/env python3
"""Writes the seed corpus of selectors_fuzz: short programs of host operations
(see selectors_fuzz.cpp for the operation codes)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ABOUT, PARAMETERS, PREPARE, START, CONTINUE, CONTINUE_EMPTY, FINISH, SELECTOR = range(8)
FAIL_ONE, FAIL_FROM, STOP, SUITES, PICTURE, BLOCK, DROP, RUN = range(8, 16)


def repeat_block(symmetry, feather=0):
    b = bytearray(688)
    struct.pack_into('<II', b, 0, 0xF00F, 0x1000)
    struct.pack_into('<3i', b, 232, symmetry, 1, 100)
    struct.pack_into('<i', b, 268, 2)
    struct.pack_into('<2i', b, 276, 64, 58)
    struct.pack_into('<5d', b, 288, 1 / 3, 1 / 3, 2 / 3, 2 / 3, 0.0)
    struct.pack_into('<i', b, 384, feather)
    return bytes(b)


SEEDS = {
    'dialog_run_by_hand': [PARAMETERS, PREPARE, START] + [CONTINUE] * 250 + [FINISH],
    'whole_runs': [PARAMETERS, RUN, RUN],
    'repeat_without_parameters': [RUN],
    'fail_first_allocation': [FAIL_ONE, 0, PARAMETERS, RUN],
    'out_of_memory_from_the_start': [FAIL_FROM, 0, PARAMETERS, PREPARE, START, CONTINUE, CONTINUE, FINISH],
    'stop_early': [PARAMETERS, STOP, 2, RUN, RUN],
    'no_suites': [SUITES, 3, PARAMETERS, RUN],
    'no_handle_suite': [SUITES, 2, PARAMETERS, PREPARE, START, CONTINUE, CONTINUE, FINISH],
    'gray_and_cmyk_pictures': [PICTURE, 0, 20, 30, PARAMETERS, RUN, PICTURE, 2, 40, 5, RUN],
    'two_channel_picture': [PICTURE, 3, 30, 30, PARAMETERS, RUN],
    'too_small_picture': [PICTURE, 1, 5, 5, PARAMETERS, PREPARE, START, CONTINUE, FINISH],
    'nothing_delivered': [PARAMETERS, PREPARE, START] + [CONTINUE_EMPTY] * 4 + [FINISH],
    'continue_without_start': [CONTINUE, CONTINUE_EMPTY, FINISH, CONTINUE, START, FINISH],
    'unknown_selectors': [SELECTOR, 6, SELECTOR, 0xFF, SELECTOR, 0x80, ABOUT],
    'restored_blocks': [BLOCK, 255] + list(repeat_block(12, 25)) + [RUN, BLOCK, 40] + [0xAB] * 120 + [RUN],
    'dropped_block': [PARAMETERS, DROP, RUN, FINISH, FINISH],
    'start_twice': [PARAMETERS, PREPARE, START, START, CONTINUE, PREPARE, CONTINUE, FINISH],
}

if __name__ == '__main__':
    corpus = os.path.join(HERE, 'corpus')
    os.makedirs(corpus, exist_ok=True)
    for name, program in SEEDS.items():
        with open(os.path.join(corpus, name), 'wb') as f:
            f.write(bytes(program))
