#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants an include from a lower folder into a higher one in a copy of the
# tree, written from src/ and with "../", and checks that `cmake --build`
# stops with a message naming both folders; the same for Qt headers in the
# folders that may not use them.  Also checks that the architecture page
# shows the layer table the build reads.
#   planted_include_test.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
source_dir=$1
scratch=$2
status=0

# The architecture page's copy of the table, line for line.
table=$(grep -vE '^\s*(#|$)' "$source_dir/src/layers.txt")
shown=$(awk '/^<!-- src\/layers.txt -->/{on=1; next} on&&/^```$/{if(++fence==2) exit; next} on&&fence==1' \
  "$source_dir/docs/ARCHITECTURE.md" | grep -vE '^\s*(#|$)')
if [ "$table" != "$shown" ]; then
  echo "docs/ARCHITECTURE.md does not show src/layers.txt as it is:"
  diff <(echo "$table") <(echo "$shown") || true
  status=1
fi

rm -rf "$scratch"
mkdir -p "$scratch/tree"
cp -r "$source_dir/CMakeLists.txt" "$source_dir/cmake" "$source_dir/src" "$source_dir/data" "$scratch/tree/"
cmake -S "$scratch/tree" -B "$scratch/build" -G Ninja -DOMBRIX_BUILD_TESTS=OFF \
  -DOMBRIX_BUILD_BENCH=OFF >"$scratch/configure.log" 2>&1 || { cat "$scratch/configure.log"; exit 1; }

# file | line planted at its end | words the build's message must hold
cases=(
  'model/image_params.cpp|#include "io/param_file.h"|model/ includes io/param_file.h from io/'
  'model/numeric.h|#include "../io/settings.h"|model/ includes ../io/settings.h from io/'
  'render/engine.cpp|#include "wallpaper/wallpaper.h"|render/ includes wallpaper/wallpaper.h from wallpaper/'
  'editing/palette.cpp|#include "ui/common/prompter.h"|editing/ includes ui/common/prompter.h from ui/common/'
  'ui/picture/frm_picture.cpp|#include "../main/frm_main.h"|ui/picture/ includes ../main/frm_main.h from ui/main/'
  'ui/colour/frm_color.h|#include "ui/text/frm_border.h"|ui/colour/ includes ui/text/frm_border.h from ui/text/'
  'io/settings.cpp|#include <picture/texts.h>|io/ includes picture/texts.h from picture/'
  'wallpaper/wallpaper.cpp|#include "editing/app_state.h"|wallpaper/ includes editing/app_state.h from editing/'
  'editing/hints.cpp|#include <QString>|editing/ is plain C++ but includes <QString>'
  'picture/texts.cpp|#include <QWidget>|picture/ draws no window but includes the widget header <QWidget>'
)
for c in "${cases[@]}"; do
  IFS='|' read -r file line words <<<"$c"
  target="$scratch/tree/src/$file"
  cp "$target" "$scratch/saved"
  printf '%s\n' "$line" >>"$target"
  if cmake --build "$scratch/build" -j2 >"$scratch/build.log" 2>&1; then
    echo "FAIL: src/$file with '$line' built"
    status=1
  elif ! grep -qF "src/$file: $words" "$scratch/build.log"; then
    echo "FAIL: src/$file with '$line' stopped the build without naming both folders:"
    cat "$scratch/build.log"
    status=1
  elif grep -q "Building CXX" "$scratch/build.log"; then
    echo "FAIL: src/$file with '$line': files were compiled before the check stopped the build"
    status=1
  else
    echo "refused: src/$file with '$line'"
  fi
  cp "$scratch/saved" "$target"
done

# Untouched, the copy's includes pass.
cmake --build "$scratch/build" --target ombrix_layer_check >"$scratch/build.log" 2>&1 ||
  { echo "FAIL: the untouched tree does not pass the check"; cat "$scratch/build.log"; status=1; }
[ $status -eq 0 ] && rm -rf "$scratch"
exit $status
