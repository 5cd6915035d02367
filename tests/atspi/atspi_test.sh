#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs atspi_test.py against the real program on a private X server with a
# private session bus and accessibility bus, so that nothing of the user's
# desktop is touched.  Skipped (77) where the AT-SPI tools are missing.
# Usage: atspi_test.sh OMBRIX
set -euo pipefail
ombrix=$1
here=$(cd "$(dirname "$0")" && pwd)
launcher=""
for l in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$l" ] && launcher=$l && break
done
for tool in xvfb-run dbus-run-session; do
    command -v $tool >/dev/null || { echo "atspi: $tool missing, skipped"; exit 77; }
done
[ -n "$launcher" ] || { echo "atspi: at-spi-bus-launcher missing, skipped"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "atspi: python3-pyatspi missing, skipped"; exit 77; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
chmod 700 "$home"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" dbus-run-session -- bash -c '
  "$1" --launch-immediately >/dev/null 2>&1 & bus=$!
  sleep 1
  "$2" >/dev/null 2>&1 & pid=$!
  /usr/bin/python3 "$3"; rc=$?
  kill $pid $bus 2>/dev/null; wait $pid 2>/dev/null
  exit $rc
' atspi "$launcher" "$ombrix" "$here/atspi_test.py" 2> >(grep -v "dbus-daemon\|SpiRegistry" >&2)
