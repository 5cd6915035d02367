#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sway and swaybg back ends against a real sway: headless (no screen),
# with two outputs of different sizes, run as an unprivileged user because
# sway refuses root, the screen read back with grim.  Exit 77 (skipped)
# when sway, swaybg or grim is missing or sway does not start.
#
#   sway_tests.sh OMBRIX_TESTS OMBRIX
set -uo pipefail
tests=$1 ombrix=$2
. "$(dirname "$0")/session_lib.sh" sway swaybg grim swaymsg setpriv
chmod 755 "$work"

# sway runs as nobody when the test runs as root; its runtime folder must be
# its own.
as_user=()
mkdir -p "$work/run"
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  chown 65534:65534 "$work/run"
fi
chmod 700 "$work/run"
# Two outputs of different sizes.  The sway session has a background in its
# configuration (what Restore puts back); the swaybg session stands for a
# compositor that draws none itself, so sway starts no swaybg of its own.
outputs='xwayland disable
output HEADLESS-1 mode 320x200 position 0 0
output HEADLESS-2 mode 200x160 position 320 0'
printf '%s\noutput * bg #203040 solid_color\n' "$outputs" >"$work/sway.conf"
printf '%s\nswaybg_command -\n' "$outputs" >"$work/swaybg.conf"
chmod 644 "$work"/*.conf

# The wallpaper files must be readable by the swaybg sway starts as nobody.
mkdir -p "$work/files"
chmod 755 "$work/files"

status=0
run() { # CONFIG FILTER
  rm -rf "$work/run"/* "$work/files"/*
  env -i PATH="$PATH" XDG_RUNTIME_DIR="$work/run" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=2 "${as_user[@]}" \
    sway -c "$1" >"$work/sway.log" 2>&1 &
  started=$!
  local socket=
  for _ in $(seq 100); do
    socket=$(ls "$work"/run/sway-ipc.*.sock 2>/dev/null | head -n1)
    [ -n "$socket" ] && [ -e "$work/run/wayland-1" ] && break
    sleep 0.1
  done
  if [ -z "$socket" ]; then
    echo "sway_tests: sway did not start:"; cat "$work/sway.log"; exit 77
  fi
  env SWAYSOCK="$socket" WAYLAND_DISPLAY=wayland-1 XDG_RUNTIME_DIR="$work/run" \
    OMBRIX_TEST_SWAY="$work/files" QT_QPA_PLATFORM=offscreen \
    "$tests" --gtest_filter="$2" || status=1
  # The command line's list of monitors: from sway's IPC, and, for a
  # compositor with no list of its own to ask (GNOME without Xwayland),
  # from the outputs Qt's Wayland platform sees.
  local want='HEADLESS-1 320x200+0+0 scale 1 (primary)
HEADLESS-2 200x160+320+0 scale 1' got how
  for how in "SWAYSOCK=$socket XDG_CURRENT_DESKTOP=sway" "XDG_CURRENT_DESKTOP=GNOME"; do
    # shellcheck disable=SC2086 # $how is a list of assignments
    got=$(env -i PATH="$PATH" HOME="$work/files" XDG_RUNTIME_DIR="$work/run" \
      WAYLAND_DISPLAY=wayland-1 XDG_SESSION_TYPE=wayland $how "$ombrix" wallpaper --list-monitors 2>"$work/stderr")
    if [ "$got" = "$want" ]; then
      echo "ok: monitors listed ($how)"
    else
      echo "FAIL: monitors listed ($how):"; echo "$got"; cat "$work/stderr"; status=1
    fi
  done
  kill "$started"; wait "$started" 2>/dev/null
  started=
}
run "$work/sway.conf" 'WallpaperSwaySession.*'
run "$work/swaybg.conf" 'WallpaperSwaybgSession.*'
exit $status
