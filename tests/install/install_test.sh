#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build, stripped, into a temporary prefix and checks the tree a
# desktop and a shell need: the stripped program; the desktop entry, icon,
# AppStream data and MIME package under one id, each through its validator;
# the ".obp" type known by its glob; the licence, manual page (its warnings are
# manpage_test.py's), completions and sample designs where each belongs; then
# the `uninstall` target takes every installed file away again.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
id=io.github.ombrix.Ombrix
for tool in desktop-file-validate update-mime-database appstreamcli; do
    command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }
done

prefix=$(mktemp -d)
manifest="$build/install_manifest.txt"
# The user's own install manifest (what `uninstall` removes) survives the test.
saved=""
[ -f "$manifest" ] && { saved=$(mktemp); cp "$manifest" "$saved"; }
cleanup() {
    rm -rf "$prefix"
    if [ -n "$saved" ]; then cat "$saved" >"$manifest"; rm -f "$saved"; else rm -f "$manifest"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

out=$(DESTDIR= cmake --install "$build" --prefix "$prefix" --strip 2>&1) ||
    { echo "$out"; fail "cmake --install --strip failed"; }
share=$prefix/share

# The program, without its debugging data.
bin=$prefix/bin/ombrix
[ -x "$bin" ] || fail "no program in bin"
if readelf -S "$bin" | grep -q '\.debug_info\|\.symtab'; then fail "bin/ombrix is not stripped"; fi
"$bin" --version | grep -q '^ombrix ' || fail "installed program does not run"

# Every file where it belongs, under the one id.
for f in applications/$id.desktop metainfo/$id.metainfo.xml mime/packages/$id.xml \
         icons/hicolor/scalable/apps/$id.svg man/man1/ombrix.1.gz \
         bash-completion/completions/ombrix zsh/vendor-completions/_ombrix \
         fish/vendor_completions.d/ombrix.fish doc/ombrix/copyright doc/ombrix/LICENSE; do
    [ -s "$share/$f" ] || fail "share/$f missing"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    [ -f "$png" ] || fail "no ${size}x$size icon"
    file "$png" | grep -q "$size x $size" || fail "$png is not $size x $size"
done
cmp -s "$share/doc/ombrix/LICENSE" "$(dirname "$0")/../../LICENSE" || fail "licence differs"
designs=$(find "$share/ombrix/designs" -name '*.obp' | wc -l)
[ "$designs" -ge 6 ] || fail "only $designs sample designs installed"
if find "$prefix" -name 'ombrix.desktop' -o -name 'ombrix.svg' | grep -q .; then
    fail "files still installed under the old names"
fi

# The validators, each clean: no error and no warning.
entry=$share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx 'Exec=ombrix %f' "$entry" || fail "desktop entry does not pass the file"
grep -qx "Icon=$id" "$entry" || fail "desktop entry does not name the icon $id"
appstream=$(appstreamcli validate --no-net --explain "$share/metainfo/$id.metainfo.xml" 2>&1) ||
    { echo "$appstream"; fail "metainfo does not validate"; }
if echo "$appstream" | grep -q '^[EW]:'; then echo "$appstream"; fail "metainfo has warnings"; fi
echo "$appstream" | tail -1
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$share/metainfo/$id.metainfo.xml" ||
    fail "metainfo does not launch the desktop entry"
version=$("$bin" --version | sed 's/^ombrix //')
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
    fail "metainfo has no release entry for $version"

# The file type: the desktop entry names it, the database built from the
# package (the install ran update-mime-database) maps the glob to it.
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$entry")
[ -n "$type" ] || fail "desktop entry names no MIME type"
xml=$share/mime/packages/$id.xml
xmllint --noout "$xml" 2>/dev/null || [ ! -x "$(command -v xmllint)" ] || fail "MIME package is not well-formed"
grep -q "type=\"$type\"" "$xml" || fail "MIME package does not define $type"
grep -q "<mediatype>$type</mediatype>" "$share/metainfo/$id.metainfo.xml" ||
    fail "metainfo does not provide $type"
grep -qx "50:$type:\*.obp" "$share/mime/globs2" || fail "*.obp is not mapped to $type"
[ -f "$share/mime/application/${type#application/}.xml" ] || fail "type not in the database"

# Uninstalling takes every file of the manifest away, and the type with them.
installed=$(wc -l <"$manifest")
cmake --build "$build" --target uninstall >/dev/null || fail "uninstall target failed"
left=$(while read -r f; do if [ -e "$f" ]; then echo "$f"; fi; done <"$manifest")
[ -z "$left" ] || fail "uninstall left: $left"
if grep -q '\*.obp' "$share/mime/globs2" 2>/dev/null; then fail "*.obp still known after uninstall"; fi
[ ! -e "$share/ombrix" ] || fail "share/ombrix left behind"
echo "installed and uninstalled $installed files: bin/ombrix (stripped, $(stat -c %s "$build/ombrix" 2>/dev/null || echo ?) bytes unstripped), $id, $designs designs"
