#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs Ombrix.  Without arguments it starts the
# desktop program; with arguments they are passed to the ombrix command (for
# example: render --preset 1 --size 1920x1080 --out a.jpg).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target ombrix
exec ./build/ombrix "$@"
