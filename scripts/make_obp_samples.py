#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the sample parameter files: the fuzzer's seed corpus (fuzz/corpus/)
and the test fixtures (tests/data/obp/).

The layout is spelled out here with struct, independently of the C++ encoder,
so that the fixtures check the encoder instead of repeating it.  Run it from
anywhere; it writes relative to the repository and overwrites the samples.
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def string(text):
    data = text.encode("cp1252") if isinstance(text, str) else bytes(text)
    return struct.pack("<h", len(data)) + data


def role_colour(t):
    return [(0, 0, 0), (255, 255, 255), (64, 64, 64)][t % 3]


def default_text(t):
    return {"text": "", "font": "Arial", "size": 18, "colour": role_colour(t),
            "style": (0, 0, 0, 0), "left": -50, "top": -50}


def image_file(left=450, top=0, width=9000, height=6750, pattern=1, rotation=1, slant=0,
               ver_offset=0, hump=10, hor_rep=1, ver_rep=1, rainbow=0,
               colours=((0, 0, 0),) * 3, texts=None, borders=None, tail=b""):
    texts = texts or {}
    borders = borders or {}
    out = struct.pack("<hhHHhhhhhhh", left, top, width, height, pattern, rotation,
                      ver_offset * 100 + slant, hump, hor_rep, ver_rep, rainbow)
    for c in colours:
        out += struct.pack("<iii", *c)
    for t in range(48):
        rec = default_text(t)
        rec.update(texts.get(t, {}))
        # raw bytes may stand in for a text, to reach every byte value
        out += string(rec["text"]) + string(rec["font"])
        out += struct.pack("<h", rec["size"]) + struct.pack("<iii", *rec["colour"])
        out += struct.pack("<hhhh", *rec["style"]) + struct.pack("<hh", rec["left"], rec["top"])
    for b in range(4):
        size, colour = borders.get(b, (0, (0, 0, 0)))
        out += struct.pack("<h", size) + struct.pack("<iii", *colour)
    return out + tail


# The four presets of a new image, each in a 600 x 450 pixel window at 15 twips
# per pixel.
PRESETS = [
    dict(colours=((0, 0, 0), (0, 0, 0), (0, 0, 0)), pattern=5, hor_rep=1, ver_rep=1, hump=20,
         slant=0, ver_offset=0),
    dict(colours=((255, 104, 192), (32, 0, 112), (0, 216, 208)), pattern=4, hor_rep=1,
         ver_rep=1, hump=10, slant=0, ver_offset=0),
    dict(colours=((224, 176, 255), (0, 0, 176), (0, 0, 0)), pattern=1, hor_rep=3, ver_rep=3,
         hump=18, slant=-5, ver_offset=-6),
    dict(colours=((176, 224, 255), (0, 0, 80), (0, 0, 0)), pattern=1, hor_rep=3, ver_rep=3,
         hump=18, slant=-3, ver_offset=-3),
]

GREETING = "Grüße – €"  # ü, ß, en dash and euro sign all exist in Windows-1252

# The layout fixture: a distinct value in every field, so that a field read
# from the wrong offset cannot pass.  tests/data/obp/README.md lists them.
LAYOUT = image_file(
    left=345, top=-120, width=40000, height=9000, pattern=7, rotation=-1, slant=7,
    ver_offset=-3, hump=13, hor_rep=4, ver_rep=2, rainbow=4,
    colours=((1, 2, 3), (250, 128, 7), (0, 255, 17)),
    texts={
        0: dict(text=GREETING, font="Arial", size=36, colour=(10, 20, 30), style=(1, 0, 1, 0),
                left=100, top=200),
        1: dict(text=GREETING, font="Times New Roman", size=37, colour=(255, 255, 254),
                style=(0, 1, 0, 1), left=102, top=198),
        2: dict(text=GREETING, font="Courier", size=38, colour=(64, 65, 66), style=(1, 1, 1, 1),
                left=96, top=204),
        47: dict(text="Z", font="Verdana", size=200, colour=(7, 8, 9), style=(0, 0, 0, 1),
                 left=32767, top=-32768),
    },
    borders={0: (5, (255, 0, 0)), 2: (100, (1, 1, 1)), 3: (12, (0, 128, 255))},
)


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


def main():
    for n, preset in enumerate(PRESETS):
        write(f"fuzz/corpus/preset{n}.obp", image_file(**preset))
    write("tests/data/obp/preset3.obp", image_file(**PRESETS[3]))
    write("tests/data/obp/layout.obp", LAYOUT)
    write("fuzz/corpus/layout.obp", LAYOUT)

    sets = {}
    for k in range(16):
        sets[3 * k] = dict(text=f"Set {k}", font="Liberation Sans", size=12 + k,
                           left=10 * k, top=20 * k)
        sets[3 * k + 1] = dict(text=f"Set {k}", left=10 * k + 2, top=20 * k - 2)
        sets[3 * k + 2] = dict(text=f"Set {k}", left=10 * k - 3, top=20 * k + 3)
    write("fuzz/corpus/texts.obp", image_file(pattern=0, texts=sets))

    # Every byte value once, spread over the texts and font names.
    every_byte = bytes(range(256))
    chunks = {t: dict(text=every_byte[16 * t:16 * t + 16], font=every_byte[255 - 16 * t::-1][:16])
              for t in range(16)}
    nonascii = image_file(pattern=10, texts={**chunks, 20: dict(text=GREETING)})
    write("fuzz/corpus/nonascii.obp", nonascii)
    write("tests/data/obp/nonascii.obp", nonascii)

    write("fuzz/corpus/borders.obp",
          image_file(pattern=3, borders={0: (1, (255, 255, 255)), 1: (50, (12, 34, 56)),
                                         2: (99, (200, 0, 100)), 3: (100, (0, 0, 255))}))
    write("fuzz/corpus/rainbow.obp", image_file(pattern=9, rainbow=2, slant=10, ver_offset=-10))
    # An old file saved over by a shorter one: the tail is ignored.
    write("fuzz/corpus/tail.obp", image_file(pattern=8, tail=b"\x7f\xff" * 40))


if __name__ == "__main__":
    main()
