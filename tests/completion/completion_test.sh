#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs ombrix's completion in bash, zsh and fish themselves and checks what
# each offers: commands, options per command, presets, modes, the sizes of
# the connected screens (a stand-in xrandr reports two) and ".obp" files.
# Usage: completion_test.sh DIR   (DIR holds ombrix.bash, _ombrix, ombrix.fish)
set -uo pipefail
dir=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
skipped=0

# A folder to complete in, and a screen report as xrandr gives it.
mkdir -p "$work/files/sub dir" "$work/bin"
touch "$work/files/dawn.obp" "$work/files/Night.OBP" "$work/files/notes.txt" \
      "$work/files/picture.png" "$work/files/photo.jpeg"
cat > "$work/bin/xrandr" <<'XR'
#!/bin/sh
cat <<'OUT'
Screen 0: minimum 8 x 8, current 4480 x 1440, maximum 32767 x 32767
DP-1 connected primary 2560x1440+0+0 (normal left inverted right x axis y axis) 597mm x 336mm
   2560x1440     59.95*+
HDMI-1 connected 1920x1080+2560+0 (normal left inverted right x axis y axis) 527mm x 296mm
   1920x1080     60.00*+
HDMI-2 disconnected (normal left inverted right x axis y axis)
OUT
XR
chmod +x "$work/bin/xrandr"
export PATH="$work/bin:$PATH" DISPLAY=:77 HOME="$work"
cd "$work/files"

# expect SHELL "WORDS BEFORE THE CURSOR" "PARTIAL WORD" EXPECTED...
# The candidates must be exactly the expected ones, as a set.
expect() {
    local shell=$1 line=$2 cur=$3
    shift 3
    local want got
    want=$(printf '%s\n' "$@" | sort -u)
    # A folder may come with or without its slash (readline adds it in bash).
    want=$(echo "$want" | sed 's,/$,,')
    got=$("complete_$shell" "$line" "$cur" | sed 's/[[:space:]]*$//; s,/$,,; s/\\ / /g' | grep -v '^$' | sort -u)
    if [ "$got" != "$want" ]; then
        echo "FAIL [$shell] '$line$cur'"
        echo "  expected: $(echo $want)"
        echo "  got:      $(echo $got)"
        failures=$((failures + 1))
    fi
}

complete_bash() {
    bash --norc --noprofile -c '
        source "$1"
        read -ra COMP_WORDS <<<"$2"
        COMP_WORDS+=("$3")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$2$3"
        COMP_POINT=${#COMP_LINE}
        _ombrix ombrix "$3" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$dir/ombrix.bash" "$1" "$2"
}

complete_zsh() {
    zsh -f "$here/capture.zsh" "$dir" "$work/zsh-hits" "$1$2"
}

complete_fish() {
    fish --no-config -c 'source $argv[1]; complete -C "$argv[2]"' "$dir/ombrix.fish" "$1$2" |
        cut -f1
}

shells=()
for s in bash zsh fish; do
    if command -v "$s" >/dev/null; then shells+=("$s"); else echo "$s missing: skipped"; skipped=$((skipped + 1)); fi
done
[ ${#shells[@]} -eq 0 ] && exit 77

for sh in "${shells[@]}"; do
    expect "$sh" "ombrix " "re" render
    expect "$sh" "ombrix " "" render params wallpaper dawn.obp Night.OBP "sub dir/"
    expect "$sh" "ombrix render " "--p" --preset
    expect "$sh" "ombrix params " "--o" --out
    expect "$sh" "ombrix render --preset " "" 0 1 2 3
    expect "$sh" "ombrix wallpaper --mode " "" tile center stretch
    expect "$sh" "ombrix wallpaper --mode " "c" center
    expect "$sh" "ombrix render --size " "" 2560x1440 1920x1080
    expect "$sh" "ombrix render --preset 1 --out " "p" picture.png photo.jpeg
    expect "$sh" "ombrix params --out " "d" dawn.obp
    expect "$sh" "ombrix wallpaper " "N" Night.OBP
done

echo "completion: ${shells[*]} checked, $failures failure(s)"
[ $failures -eq 0 ]
