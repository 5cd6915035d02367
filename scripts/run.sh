#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets everything up and runs Ombrix.  Without arguments it starts the
# desktop program; with arguments they are passed to the ombrix command (for
# example: render --preset 1 --size 1920x1080 --out a.jpg), in the folder it
# was called from, so that relative file names mean what they say.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

# The desktop program needs a display: say so before minutes of building.
gui=0
if [ $# -eq 0 ] || { [ $# -eq 1 ] && [[ $1 != -* ]] && [[ $1 == *.[oO][bB][pP] || -f $1 ]] &&
  [[ $1 != render && $1 != params && $1 != wallpaper && $1 != help ]]; }; then
  gui=1
fi
if [ $gui -eq 1 ] && [ -z "${DISPLAY-}" ] && [ -z "${WAYLAND_DISPLAY-}" ]; then
  echo "run.sh: the desktop program needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set);" \
    "without one, use the command line: scripts/run.sh help" >&2
  exit 1
fi

(
  cd "$repo"
  scripts/bootstrap.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j2 --target ombrix
)
exec "$repo/build/ombrix" "$@"
