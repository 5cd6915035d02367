# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the session test scripts with the tools they need: the run is
# skipped (exit 77) when one is missing.  Then a private work folder, removed
# on exit together with the program whose process id is in $started.
for tool in "$@"; do
  command -v "$tool" >/dev/null || { echo "$(basename "$0" .sh): $tool is missing"; exit 77; }
done
work=$(mktemp -d)
started=
cleanup() {
  [ -n "$started" ] && kill "$started" 2>/dev/null && wait "$started" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
