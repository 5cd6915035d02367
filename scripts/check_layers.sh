#!/usr/bin/env bash
# Checks the includes between the layers: each layer includes only itself
# and the layers below it, nothing below the windows includes a window
# header, and of the windows' files only the program's start-up knows the
# main window.  Prints every offending line and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
# refuse FILES... -- PATTERN MESSAGE: fails on every include of FILES that
# matches PATTERN.
refuse() {
  local pattern=$1 message=$2; shift 2
  local hits
  hits=$(grep -nE "^\s*#\s*include\s*[<\"]($pattern)" "$@" 2>/dev/null || true)
  if [ -n "$hits" ]; then
    echo "layers: $message"
    echo "$hits"
    status=1
  fi
}

windows='src/text/|text/frm_|src/main/(frm|ui)_|src/picture/frm_|src/colour/|src/help/frm_|main/(frm|ui)_|picture/frm_|colour/|help/frm_|main/app_state'
model=$(git ls-files 'src/model/*')
engine=$(git ls-files 'src/render/*')
picture=$(git ls-files 'src/picture/*' | grep -v '/frm_')
io=$(git ls-files 'src/io/*')
wallpaper=$(git ls-files 'src/wallpaper/*')
window_models=$(git ls-files 'src/main/palette.*' 'src/main/undo_history.*' \
  'src/main/pattern_setup.*' 'src/main/image_size_rules.*' 'src/help/hints.*')

refuse 'render/|picture/|io/|main/|colour/|help/|app/|Q' \
  "the model is plain C++ and includes nothing above it" $model
refuse "picture/|io/|main/|colour/|help/|app/|$windows" \
  "the engine includes only the model and itself" $engine
refuse "io/|main/|colour/|help/|app/|$windows" \
  "the picture includes only the engine, the model and itself" $picture
refuse "render/|picture/|main/|colour/|help/|app/|$windows" \
  "files include only the model and themselves" $io
refuse "render/|picture/|main/|colour/|help/|app/|$windows" \
  "the wallpaper includes only files, the model and itself" $wallpaper
refuse "render/|picture/|io/|colour/|app/|$windows|Q" \
  "the windows' models are plain C++ over the model" $window_models
refuse 'main/frm_main\.h' "only the program's start-up includes the main window" \
  $(git ls-files 'src/*' | grep -v '^src/app/gui.cpp$' | grep -v '^src/main/frm_main')
[ $status -eq 0 ] && echo "layers: every include goes down"
exit $status
