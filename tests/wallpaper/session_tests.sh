#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The wallpaper back ends against real desktop services private to this run:
# an Xvfb started with -noreset (so a retained root wallpaper survives between
# steps) and a session bus of its own on which xfconfd is activated; then the
# command line's exit codes.  Exit 77 (skipped) without Xvfb or dbus-run-session.
#
#   session_tests.sh OMBRIX_TESTS OMBRIX
set -uo pipefail
tests=$1 ombrix=$2
. "$(dirname "$0")/session_lib.sh" Xvfb dbus-run-session

# Starts an Xvfb of SIZE on the first free display number from FIRST (found
# through the lock files X servers leave), logging to LOG; it sets
# xvfb_display and xvfb_pid, or fails when none of 60 numbers is free.
start_xvfb() { # FIRST SIZE LOG
  local n
  for n in $(seq "$1" $(($1 + 59))); do
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    Xvfb ":$n" -noreset -screen 0 "$2" -nolisten tcp >"$3" 2>&1 &
    xvfb_pid=$! xvfb_display=":$n"
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    return 0
  done
  return 1
}
start_xvfb 140 320x200x24 "$work/xvfb.log" || { echo "session_tests: no free display"; exit 77; }
display=$xvfb_display started=$xvfb_pid

# D-Bus activation gives xfconfd the bus's environment, not the test's: the
# configuration folder is set before the bus starts.  The bus starts only
# xfconfd: a desktop portal installed on the machine would otherwise answer
# where the tests want none.
mkdir -p "$work/config" "$work/home" "$work/services"
cp /usr/share/dbus-1/services/org.xfce.Xfconf.service "$work/services/" 2>/dev/null
cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=$work</listen>
  <auth>EXTERNAL</auth>
  <servicedir>$work/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
status=0
env -u DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME="$work/config" HOME="$work/home" \
  OMBRIX_TEST_SESSION_BUS=1 OMBRIX_TEST_X_DISPLAY="$display" OMBRIX_TEST_PROGRAM="$ombrix" \
  QT_QPA_PLATFORM=offscreen \
  dbus-run-session --config-file="$work/bus.conf" -- "$tests" \
  --gtest_filter='WallpaperDesktopSession.*' || status=1

# The command line: 0 only when the desktop took the wallpaper, else one
# line that says why, and 1.
expect() { # STATUS PATTERN ENV... -- ARGS...
  local want=$1 pattern=$2 envs=() out rc
  shift 2
  while [ "$1" != "--" ]; do envs+=("$1"); shift; done
  shift
  out=$(env -i PATH="$PATH" HOME="$work/home" "${envs[@]}" "$ombrix" wallpaper "$@" 2>&1)
  rc=$?
  if [ $rc -ne "$want" ] || ! grep -q -- "$pattern" <<<"$out" ||
     { [ "$want" -ne 0 ] && [ "$(wc -l <<<"$out")" -ne 1 ]; }; then
    echo "FAIL: wallpaper $* (${envs[*]}): exit $rc, wanted $want matching '$pattern':"
    echo "$out"
    status=1
  else
    echo "ok: wallpaper $* -> $rc"
  fi
}
nobus=DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
expect 0 '' DISPLAY="$display" -- --preset 3 --mode tile
expect 0 '' DISPLAY="$display" -- --preset 1 --size 64x48 --mode center
expect 1 'sway' XDG_CURRENT_DESKTOP=sway WAYLAND_DISPLAY=wayland-1 -- --preset 3
expect 1 'swaybg' XDG_CURRENT_DESKTOP=river WAYLAND_DISPLAY=wayland-1 PATH=/nonexistent -- --preset 3
expect 1 'pcmanfm-qt' XDG_CURRENT_DESKTOP=LXQt DISPLAY="$display" -- --preset 3
# Inside a sandbox GLib's private keyfile would take any value and change
# nothing on the desktop: only the portal is asked.
expect 1 'portal' XDG_CURRENT_DESKTOP=GNOME FLATPAK_ID=org.example.Ombrix \
  GSETTINGS_BACKEND=keyfile "$nobus" -- --preset 3
expect 1 'portal' XDG_CURRENT_DESKTOP=KDE SNAP=/snap/ombrix/1 "$nobus" -- --preset 3
expect 1 'did not keep' XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=dconf "$nobus" -- --preset 3
expect 1 'XFCE' XDG_CURRENT_DESKTOP=XFCE "$nobus" -- --preset 3
expect 1 'Plasma\|session bus' XDG_CURRENT_DESKTOP=KDE "$nobus" -- --preset 3
expect 1 ':987' DISPLAY=:987 -- --preset 3
expect 1 'cannot read\|No such file' DISPLAY="$display" -- "$work/missing.obp"
expect 2 'tile, center or stretch' DISPLAY="$display" -- --preset 3 --mode fill
expect 2 'either a parameter file' DISPLAY="$display" --
expect 2 'given more than once' DISPLAY="$display" -- --preset 3 --mode tile --mode center
left=$(ls "$work/home/.local/share/ombrix/wallpapers" | wc -l)
[ "$left" -eq 1 ] || { echo "FAIL: $left wallpaper files left, wanted the one in force"; status=1; }

# LXQt's and LXDE's desktops, the real pcmanfm-qt and pcmanfm, drawn over
# the same Xvfb (their windows then hide the root, so this runs after the
# root window's tests), with a start-up wallpaper in their settings for
# Restore to put back.
mkdir -p "$work/start folder"
env -i PATH="$PATH" HOME="$work/home" QT_QPA_PLATFORM=offscreen \
  "$ombrix" render --preset 2 --size 64x48 --out "$work/start folder/start.png" >/dev/null 2>&1
for desktop in pcmanfm-qt pcmanfm; do
  command -v "$desktop" >/dev/null || { echo "skipped: $desktop is not installed"; continue; }
  if [ "$desktop" = pcmanfm-qt ]; then
    profile=lxqt settings="$work/config/pcmanfm-qt/lxqt/settings.conf"
    form='[Desktop]\nWallpaper=%s\nWallpaperMode=stretch\n'
  else
    # No Trash, Documents or mount icons over the picture (Trash shows
    # wherever GVfs is installed).
    profile=LXDE settings="$work/config/pcmanfm/LXDE/desktop-items-0.conf"
    form='[*]\nwallpaper_mode=stretch\nwallpaper=%s\nshow_trash=0\nshow_documents=0\nshow_mounts=0\n'
  fi
  mkdir -p "$(dirname "$settings")"
  # shellcheck disable=SC2059 # the format is one of the two above
  printf "$form" "$work/start folder/start.png" >"$settings"
  env -u DBUS_SESSION_BUS_ADDRESS XDG_CONFIG_HOME="$work/config" HOME="$work/home" \
    DISPLAY="$display" OMBRIX_TEST_PCMANFM_DISPLAY="$display" OMBRIX_TEST_PCMANFM="$desktop" \
    QT_QPA_PLATFORM=offscreen dbus-run-session -- bash -c '
      QT_QPA_PLATFORM=xcb "$1" --desktop --profile="$2" >/dev/null 2>&1 &
      desktop=$!
      for _ in $(seq 50); do
        xwininfo -root -children 2>/dev/null | grep -q pcmanfm && break
        sleep 0.1
      done
      sleep 1
      "$0" --gtest_filter="WallpaperPcmanfmSession.*"; rc=$?
      kill $desktop; wait $desktop 2>/dev/null; exit $rc' "$tests" "$desktop" "$profile" || status=1
done

# A root window larger than Qt reads by default (6000 x 6000 is 144 MB):
# the wallpaper is set, and the root shows it, not black.
if command -v xwd >/dev/null && start_xvfb 200 6000x6000x24 "$work/xvfb-big.log"; then
  big=$xvfb_display big_pid=$xvfb_pid
  expect 0 '' DISPLAY="$big" -- --preset 1
  if ! DISPLAY="$big" xwd -root -silent | python3 -c '
import struct, sys
d = sys.stdin.buffer.read()
head, w, h, bpl, ncolours = (struct.unpack(">I", d[i:i + 4])[0] for i in (0, 16, 20, 48, 76))
px = lambda x, y: d[head + ncolours * 12 + y * bpl + x * 4:][:3]
sys.exit(0 if (w, h) == (6000, 6000) and all(px(x, y) != bytes(3)
         for x, y in [(0, 0), (2999, 2999), (5999, 5999)]) else 1)'; then
    echo "FAIL: the 6000 x 6000 root window does not show the wallpaper"
    status=1
  else
    echo "ok: a 6000 x 6000 root window set and read back"
  fi
  kill "$big_pid"; wait "$big_pid" 2>/dev/null
else
  echo "skipped: a large root window (no free display or xwd)"
fi

# sway and swaybg against a real headless sway (skipped where it cannot run).
"$(dirname "$0")/sway_tests.sh" "$tests" "$ombrix"
case $? in
  0) echo "ok: sway and swaybg" ;;
  77) echo "skipped: sway and swaybg" ;;
  *) status=1 ;;
esac
exit $status
