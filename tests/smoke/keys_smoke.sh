#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The keys on the real program, typed by xdotool on a private X server under
# openbox: the image size dialog from Ctrl+N and Ctrl+R (in the main window
# and in the image window), F1 for the dialog's own help, Escape closing
# dialogs, the file dialogs of Ctrl+O and Ctrl+Shift+S, and Ctrl+Q's exit
# question.  Each step waits for the window it should open or close.
# Usage: keys_smoke.sh OMBRIX
set -euo pipefail
ombrix=$1
for tool in xvfb-run xdotool openbox; do
  command -v "$tool" >/dev/null || { echo "keys: $tool is missing, skipped"; exit 77; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  set -u
  openbox >/dev/null 2>&1 & sleep 1
  "$1" & pid=$!
  failures=0
  # wait_for present|absent TITLE: the window with that exact title.
  wait_for() {
    for _ in $(seq 1 50); do
      if [ -n "$(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null)" ]; then
        [ "$1" = present ] && return 0
      else
        [ "$1" = absent ] && return 0
      fi
      sleep 0.1
    done
    echo "FAIL: window \"$2\" not $1 after $3"
    failures=$((failures + 1))
    return 1
  }
  # key WINDOW_TITLE KEYS...: activates that window and types the keys.
  key() {
    local title=$1; shift
    local id
    id=$(xdotool search --onlyvisible --name "^$title\$" | head -1)
    [ -n "$id" ] || { echo "FAIL: no window \"$title\""; failures=$((failures + 1)); return 1; }
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    xdotool key --clearmodifiers "$@"
    sleep 0.3
  }
  wait_for present " Ombrix - Untitled" "start" || { kill $pid; exit 1; }
  wait_for present " Ombrix" "start"
  sleep 1

  key " Ombrix - Untitled" ctrl+n; wait_for present " New Image" "Ctrl+N in the main window"
  key " New Image" F1; wait_for present " Ombrix Help" "F1 in the size dialog"
  key " Ombrix Help" Escape; wait_for absent " Ombrix Help" "Escape in the help"
  key " New Image" Escape; wait_for absent " New Image" "Escape in the size dialog"
  key " Ombrix" ctrl+r; wait_for present " Resize" "Ctrl+R in the image window"
  key " Resize" Escape; wait_for absent " Resize" "Escape in the size dialog"
  key " Ombrix" ctrl+o; wait_for present " Open Parameter Settings File" "Ctrl+O in the image window"
  key " Open Parameter Settings File" Escape
  wait_for absent " Open Parameter Settings File" "Escape in the open dialog"
  key " Ombrix - Untitled" ctrl+shift+s
  wait_for present " Save Parameter Settings As" "Ctrl+Shift+S in the main window"
  key " Save Parameter Settings As" Escape
  wait_for absent " Save Parameter Settings As" "Escape in the save dialog"
  key " Ombrix - Untitled" F1; wait_for present " Ombrix Help" "F1 in the main window"
  key " Ombrix Help" Escape
  key " Ombrix" ctrl+q; wait_for present " Exit" "Ctrl+Q in the image window"
  key " Exit" Escape; wait_for absent " Exit" "Escape in the exit question"
  kill -0 $pid 2>/dev/null || { echo "FAIL: the program ended"; failures=$((failures + 1)); }
  kill $pid 2>/dev/null; wait $pid 2>/dev/null
  echo "keys: $failures failure(s)"
  [ $failures -eq 0 ]
' keys "$ombrix"
