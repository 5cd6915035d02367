#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Ombrix needs to build, test and run, but only
# those that are missing.  Nothing is downloaded from anywhere but Debian.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev          # Qt 6 Widgets and Gui (Gui needs the GL headers)
  libturbojpeg0-dev               # JPEG encoder
  zlib1g-dev                      # deflate for the PNG writer
  fonts-liberation2               # "Arial" resolves to the metric-compatible Liberation Sans
  libgtest-dev libbenchmark-dev   # tests and benchmarks
  clang libclang-rt-14-dev        # clang and clang++ (clang 14) with libFuzzer for the fuzzer
  clang-tidy                      # the static checks of the test command (.clang-tidy)
  clang-format                    # the format check of the test command
  qt6-qpa-plugins                 # the X11 platform the desktop program runs on
  xvfb xauth x11-utils x11-apps            # a private X server and xwininfo for the smoke test
  openbox                         # a window manager for the smoke test
  xclip                           # reads the copied image back in the clipboard test
  desktop-file-utils shared-mime-info libxml2-utils  # the install test's checks
  libglib2.0-dev libglib2.0-bin   # GSettings (GIO) for the wallpaper; glib-compile-schemas in tests
  dconf-gsettings-backend         # the desktops' GSettings store
  gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common  # wallpaper schemas
  libxcb1-dev                     # the X root window wallpaper
  dbus-daemon xfconf              # a private session bus and xfconfd for the wallpaper tests
  appstream man-db                # the install test's metainfo and manual page checks
  zsh fish bash-completion        # the completion test runs each shell
  x11-xserver-utils               # xrandr: completions offer the screens' sizes; --setmonitor in the wallpaper tests
  lintian                         # checks the Debian package (cpack -G DEB)
  python3-pyatspi at-spi2-core    # the accessibility test drives the windows over AT-SPI
  xdotool                         # types keys into the real program on Xvfb
  libxcb-randr0-dev               # the X monitors (RandR 1.5) for a wallpaper per monitor
  sway swaybg grim                # sway headless, its wallpaper drawer, and the screen read back
  qt6-wayland wtype               # the desktop program under sway, keys typed into it
  pcmanfm-qt pcmanfm              # the LXQt and LXDE desktops, set through their command lines
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
