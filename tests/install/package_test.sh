#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build (cpack -G DEB, into a temporary
# folder) and checks it: dependencies found by dpkg-shlibdeps, a stripped
# binary, the copyright file, and lintian without an error.  Skipped (77)
# where dpkg-shlibdeps or lintian is missing.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v $tool >/dev/null || { echo "$tool missing"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

log=$(cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" 2>&1) || { echo "$log"; fail "cpack failed"; }
deb=$(ls "$out"/*.deb)
[ -f "$deb" ] || fail "no package written"

depends=$(dpkg-deb -f "$deb" Depends)
# Found by dpkg-shlibdeps from what the binary links, with versions.
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libturbojpeg0; do
    echo "$depends" | grep -q "$lib (>= " || fail "Depends lacks $lib: $depends"
done

tree=$out/tree
dpkg-deb -x "$deb" "$tree"
if readelf -S "$tree/usr/bin/ombrix" | grep -q '\.debug_info\|\.symtab'; then fail "binary not stripped"; fi
grep -q 'GPL-3.0-or-later' "$tree/usr/share/doc/ombrix/copyright" || fail "copyright names no licence"
[ -f "$tree/usr/share/man/man1/ombrix.1.gz" ] || fail "no manual page"

report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges' || true)
[ -n "$report" ] && echo "$report"
if echo "$report" | grep -q '^E:'; then fail "lintian reports errors"; fi
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB; lintian: $(echo "$report" | grep -c '^[EW]:' || true) errors and warnings"
echo "Depends: $depends"
