#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop program's windows under a tiling Wayland compositor: a real
# headless sway, run as an unprivileged user because sway refuses root.  The
# colour picker and the image window must float (a tiled image window takes
# the compositor's size, not the user's), the picker must show above the
# main window, and the image window must take the size typed into the Resize
# dialog.  Keys are typed with wtype.  Exit 77 (skipped) when a tool is
# missing or sway does not start.  With OUT_DIR, the screen before and after
# the resize is saved there (grim) with the window trees.
#
#   sway_windows.sh OMBRIX [OUT_DIR]
set -uo pipefail
ombrix=$1
out=${2:-}
for tool in sway swaymsg wtype grim python3; do
  command -v "$tool" >/dev/null || { echo "sway_windows: $tool is missing"; exit 77; }
done
[ "$(id -u)" -ne 0 ] || command -v setpriv >/dev/null || { echo "sway_windows: setpriv is missing"; exit 77; }

work=$(mktemp -d)
sway_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
mkdir -p "$work/run" "$work/home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  chown 65534:65534 "$work/run" "$work/home"
fi
chmod 700 "$work/run"
cat >"$work/sway.conf" <<'EOF'
xwayland disable
default_border normal
output HEADLESS-1 mode 1600x1000 position 0 0 bg #303030 solid_color
EOF
chmod 644 "$work/sway.conf"

env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" WLR_BACKENDS=headless \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" \
  sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
socket=
for _ in $(seq 100); do
  socket=$(ls "$work"/run/sway-ipc.*.sock 2>/dev/null | head -n1)
  [ -n "$socket" ] && [ -e "$work/run/wayland-1" ] && break
  sleep 0.1
done
if [ -z "$socket" ] || [ ! -e "$work/run/wayland-1" ]; then
  echo "sway_windows: sway did not start:"; cat "$work/sway.log"; exit 77
fi
inside() {
  env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY=wayland-1 \
    SWAYSOCK="$socket" XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland "${as_user[@]}" "$@"
}

# The program is started the way a sway user's session starts it.
inside env QT_QPA_PLATFORM=wayland "$ombrix" >"$work/ombrix.log" 2>&1 &
app_pid=$!

# window NAME FIELD: one fact about the program's window titled NAME, from
# sway's tree: "floating", "size" (the client's own area, WxH), "above"
# (the picker stacked over the main window), "focused"; empty while absent.
window() {
  inside swaymsg -t get_tree >"$work/tree.json" 2>/dev/null || return
  python3 - "$work/tree.json" "$1" "$2" <<'EOF'
import json, sys
tree = json.load(open(sys.argv[1]))
name, field = sys.argv[2], sys.argv[3]
found = {}
def walk(node, floating, order):
    for kind in ("nodes", "floating_nodes"):
        for child in node.get(kind, []):
            order.append(child)
            if child.get("pid") is not None:
                found[child.get("name")] = (child, kind == "floating_nodes" or floating, len(order))
            walk(child, floating or kind == "floating_nodes", order)
walk(tree, False, [])
if name not in found:
    sys.exit(0)
node, floating, rank = found[name]
if field == "floating":
    print("yes" if floating else "no")
elif field == "size":
    g = node["window_rect"]
    print("%dx%d" % (g["width"], g["height"]))
elif field == "focused":
    print("yes" if node.get("focused") else "no")
elif field == "above":
    main = [v for k, v in found.items() if k and k.startswith(" Ombrix - ")]
    print("yes" if main and node.get("visible") and rank > main[0][2] else "no")
EOF
}
wait_for() { # NAME
  for _ in $(seq 100); do
    [ -n "$(window "$1" floating)" ] && return 0
    sleep 0.1
  done
  echo "FAIL: no window \"$1\" in sway's tree"; cat "$work/ombrix.log"
  exit 1
}
failures=0
expect() { # WHAT ACTUAL WANTED
  if [ "$2" = "$3" ]; then echo "ok: $1: $2"; else echo "FAIL: $1: $2, not $3"; failures=$((failures + 1)); fi
}
shoot() { # NAME
  [ -n "$out" ] || return 0
  inside grim -t png - >"$out/$1.png"
  inside swaymsg -t get_tree >"$out/$1-tree.json"
}

# wtype adds a keyboard to a seat that has none; keys sent before the
# program has taken that keyboard are lost, and so are keys still queued
# when the keyboard goes away again.
type_keys() { inside wtype -s 600 "$@" -s 300; }

wait_for " Ombrix - Untitled"
wait_for " Ombrix"
wait_for "Color"
sleep 1
shoot sway-start
expect "colour picker floats" "$(window Color floating)" yes
expect "colour picker shows above the main window" "$(window Color above)" yes
expect "image window floats" "$(window " Ombrix" floating)" yes
expect "image window at the program's first size" "$(window " Ombrix" size)" 260x200

# Resize from the image window: Ctrl+R, the new size typed into the dialog.
# On a busy machine a key can still be lost; each step is tried again until
# its window shows (or goes), a few times.
for _ in 1 2 3; do
  inside swaymsg '[title="^ Ombrix$"] focus' >/dev/null
  for _ in $(seq 20); do [ "$(window " Ombrix" focused)" = yes ] && break; sleep 0.1; done
  type_keys -M ctrl r -m ctrl
  for _ in $(seq 30); do [ -n "$(window " Resize" floating)" ] && break 2; sleep 0.1; done
done
wait_for " Resize"
expect "size dialog floats" "$(window " Resize" floating)" yes
for _ in 1 2 3; do
  sleep 0.5
  type_keys -M ctrl a -m ctrl 500 -k Tab -M ctrl a -m ctrl 330 -k Return
  for _ in $(seq 30); do [ -z "$(window " Resize" floating)" ] && break 2; sleep 0.1; done
done
for _ in $(seq 30); do
  [ "$(window " Ombrix" size)" = 500x330 ] && break
  sleep 0.1
done
sleep 0.5
shoot sway-resized
expect "size dialog closed" "$(window " Resize" floating)" ""
expect "image window at the size typed" "$(window " Ombrix" size)" 500x330
expect "image window still floats" "$(window " Ombrix" floating)" yes
[ $failures -eq 0 ] || { echo "--- ombrix:"; cat "$work/ombrix.log"; }
exit $((failures > 0))
