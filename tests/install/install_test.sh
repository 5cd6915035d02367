#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs
# to offer Ombrix for ".obp" files: the program, a valid desktop entry naming
# the parameter files' type, the icon, and the type known by its glob.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate missing"; exit 77; }
command -v update-mime-database >/dev/null || { echo "update-mime-database missing"; exit 77; }

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR= cmake --install "$build" --prefix "$prefix" >/dev/null 2>&1 || fail "cmake --install failed"

[ -x "$prefix/bin/ombrix" ] || fail "no program in bin"
entry="$prefix/share/applications/ombrix.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx 'Exec=ombrix %f' "$entry" || fail "desktop entry does not pass the file"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon '$icon' not in hicolor"

type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$entry")
[ -n "$type" ] || fail "desktop entry names no MIME type"
xml="$prefix/share/mime/packages/ombrix.xml"
[ -f "$xml" ] || fail "no shared-mime-info package"
xmllint --noout "$xml" 2>/dev/null || [ ! -x "$(command -v xmllint)" ] || fail "MIME package is not well-formed"
grep -q "type=\"$type\"" "$xml" || fail "MIME package does not define $type"
# The database built from the package (the install ran update-mime-database)
# maps the glob to the type.
grep -qx "50:$type:\*.obp" "$prefix/share/mime/globs2" || fail "*.obp is not mapped to $type"
[ -f "$prefix/share/mime/application/${type#application/}.xml" ] || fail "type not in the database"
echo "installed: bin/ombrix, $(basename "$entry") ($type), icon $icon"
