#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the program's icon (data/ombrix.svg) into the PNG sizes that
# desktops without SVG support, and the compiled-in window icon, take.
# Run again after changing the SVG; the PNGs are kept in the repository so
# that building needs no SVG renderer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (Debian: librsvg2-bin)"; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$root/data/ombrix.svg" -o "$root/data/icons/$size.png"
done
# Smaller files, same pixels: no time stamps or other text chunks.
if command -v optipng >/dev/null; then optipng -quiet -strip all "$root"/data/icons/*.png; fi
