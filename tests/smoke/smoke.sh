#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program on a private X server, waits until its main
# window, image window and colour picker are mapped, saves a screenshot and
# ends the program.  With a fourth argument, that window manager (openbox)
# runs first, as on a user's desktop.
# Usage: smoke.sh OMBRIX GRAB_SCREEN OUT.png [WINDOW_MANAGER]
set -euo pipefail
ombrix=$1 grab=$2 out=$3 wm=${4:-}
for tool in xvfb-run xwininfo $wm; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is missing, skipped"; exit 77; }
done
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export XDG_CONFIG_HOME=$settings XDG_RUNTIME_DIR=$settings QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  set -u
  if [ -n "$4" ]; then "$4" >/dev/null 2>&1 & sleep 1; fi
  "$1" & pid=$!
  seen=""
  for _ in $(seq 1 150); do
    tree=$(xwininfo -root -tree 2>/dev/null || true)
    if grep -q "\" Ombrix - Untitled\"" <<<"$tree" && grep -q "\" Ombrix\"" <<<"$tree" &&
       grep -q "\"Color\"" <<<"$tree"; then
      seen=yes
      break
    fi
    kill -0 "$pid" 2>/dev/null || { echo "smoke: the program ended early"; exit 1; }
    sleep 0.2
  done
  if [ -z "$seen" ]; then
    echo "smoke: the windows did not appear; the root window holds:"
    xwininfo -root -tree | grep -i ombrix || true
    kill "$pid"; exit 1
  fi
  sleep 1   # let the first paint land
  "$2" "$3"; rc=$?
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  exit $rc
' smoke "$ombrix" "$grab" "$out" "$wm"
echo "smoke: screenshot in $out"
