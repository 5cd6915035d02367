#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence identifier at the top of every source file that lacks it
# (after a "#!" line, and after an XML declaration), or with --check lists the
# files without it and fails.  Source files: C++, shell, Python, CMake,
# completion scripts, and the XML and desktop data; not the licence text, the
# pictures, the sample parameter files or the documents.
# Usage: scripts/spdx.sh [--check]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tag="SPDX-License-Identifier: GPL-3.0-or-later"
check=0
[ "${1-}" = "--check" ] && check=1

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    list() { git ls-files --cached --others --exclude-standard; }
else
    list() { find . -path ./build -prune -o -path './build-*' -prune -o -type f -print | sed 's|^\./||'; }
fi

# The comment that carries the line in each kind of file.
comment_for() {
    case $1 in
        *.cpp | *.h | *.c) echo "// $tag" ;;
        *.sh | *.py | *.bash | *.fish | *.zsh | */_ombrix | *.cmake | *.cmake.in | *CMakeLists.txt | \
            *.supp | *.desktop | .clang-format | .editorconfig | .gitignore) echo "# $tag" ;;
        *.xml | *.svg | *.qrc) echo "<!-- $tag -->" ;;
        *.1) echo ".\\\" $tag" ;;
        *) return 1 ;;
    esac
}

missing=0
while IFS= read -r file; do
    [ -f "$file" ] || continue
    line=$(comment_for "$file") || continue
    if head -n 3 "$file" | grep -qF "$tag"; then continue; fi
    if [ $check -eq 1 ]; then
        echo "no licence line: $file"
        missing=$((missing + 1))
        continue
    fi
    first=$(head -n 1 "$file")
    tmp=$(mktemp)
    # A "#!" line, "#compdef" or an XML declaration must stay first.
    if [[ $first == '#!'* || $first == '#compdef'* || $first == '<?xml'* ]]; then
        { echo "$first"; echo "$line"; tail -n +2 "$file"; } >"$tmp"
    else
        { echo "$line"; cat "$file"; } >"$tmp"
    fi
    chmod --reference="$file" "$tmp"
    mv "$tmp" "$file"
done < <(list)

if [ $check -eq 1 ]; then
    [ $missing -eq 0 ] || { echo "$missing file(s) without the licence line (run scripts/spdx.sh)"; exit 1; }
    echo "every source file carries the licence line"
fi
