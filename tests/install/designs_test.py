#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The sample designs: each is what the design maker writes today (so the
committed files cannot drift from the program's own writer), and each draws
on the command line into a picture of its stored size with a real gradient;
the designs with texts draw them, and their gradient text is not black.

Usage: designs_test.py OMBRIX_BINARY DESIGN_MAKER DESIGNS_DIR
"""
import filecmp
import os
import struct
import subprocess
import sys
import tempfile

binary, maker, designs = sys.argv[1:4]
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
failures = []


def read_bmp(path):
    """(width, height, set of pixels) of a 24-bit bottom-up BMP."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24, bits
    stride = (width * 3 + 3) & ~3
    pixels = set()
    for y in range(abs(height)):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        pixels.update(row[i:i + 3] for i in range(0, len(row), 3))
    return width, abs(height), pixels


def stored(path):
    """Stored image size in pixels (twips / 15, less the fixed 2 x 25 frame
    allowance) and whether a text is set."""
    data = open(path, "rb").read()
    width, height = struct.unpack_from("<HH", data, 4)
    pos, texts = 58, 0
    for _ in range(48):
        n, = struct.unpack_from("<h", data, pos)
        texts += n > 0
        pos += 2 + n
        m, = struct.unpack_from("<h", data, pos)
        pos += 2 + m + 26
    return round(width / 15) - 2, round(height / 15) - 25, texts


with tempfile.TemporaryDirectory() as tmp:
    fresh = os.path.join(tmp, "fresh")
    os.mkdir(fresh)
    subprocess.run([maker, fresh], check=True)
    names = sorted(f for f in os.listdir(fresh) if f.endswith(".obp"))
    committed = sorted(f for f in os.listdir(designs) if f.endswith(".obp"))
    if names != committed:
        failures.append(f"design maker writes {names}, the folder holds {committed}")
    if len(committed) < 6:
        failures.append(f"only {len(committed)} designs")
    with_texts = with_borders = 0
    for name in committed:
        path = os.path.join(designs, name)
        if name in names and not filecmp.cmp(path, os.path.join(fresh, name), shallow=False):
            failures.append(f"{name} differs from what the design maker writes (run it again)")
        width, height, texts = stored(path)
        with_texts += texts > 0
        with_borders += any(struct.unpack_from("<h", open(path, "rb").read(), -56 + 14 * b)[0] > 0
                            for b in range(4))
        plain = os.path.join(tmp, name + ".bmp")
        gradient = os.path.join(tmp, name + "-text.bmp")
        for out, extra in ((plain, []), (gradient, ["--gradient-text"])):
            r = subprocess.run([binary, "render", path, "--out", out, *extra], env=env,
                               capture_output=True, text=True, timeout=120)
            if r.returncode != 0:
                failures.append(f"render {name} {extra}: exit {r.returncode}: {r.stderr.strip()}")
        if failures and not os.path.exists(plain):
            continue
        w, h, pixels = read_bmp(plain)
        if (w, h) != (width, height):
            failures.append(f"{name} drew {w}x{h}, stored {width}x{height}")
        if len(pixels) < 64:
            failures.append(f"{name} has only {len(pixels)} colours: no gradient")
        if texts and os.path.exists(gradient):
            _, _, filled = read_bmp(gradient)
            if filled <= {b"\0\0\0"}:
                failures.append(f"{name}: gradient text is all black")
    if with_texts < 3 or with_borders < 3:
        failures.append(f"{with_texts} designs with texts and {with_borders} with borders; "
                        "want at least three of each")

for f in failures:
    print("FAIL:", f)
print(f"designs: {len(committed)} checked, {len(failures)} failure(s)")
sys.exit(1 if failures else 0)
