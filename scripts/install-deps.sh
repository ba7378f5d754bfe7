#!/usr/bin/env bash
# Installs the Debian 12 packages Glimmora needs to build, test and run
# (only those that are missing). Needs root, or sudo.
set -eu
packages=(
  cmake make g++ pkg-config ccache
  libgtk-3-dev libx11-dev libxrandr-dev libxext-dev libxtst-dev libxdamage-dev libjpeg-dev libpng-dev libgif-dev libwebp-dev libheif-dev libseccomp-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix meson ninja-build nasm
  wine wine64 fonts-wine
  xvfb xauth xdotool x11-utils x11-xserver-utils openbox fuse3 python3-fusepy
  xserver-xorg-core xserver-xorg-video-dummy
  imagemagick fonts-liberation attr feh python3 libjpeg-turbo-progs libheif-examples webp
  nsis
  libgdk-pixbuf2.0-bin libwmf-0.2-7-gtk
  clang libclang-rt-14-dev
  librsvg2-bin dpkg-dev file lintian desktop-file-utils
  xscreensaver procps
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
