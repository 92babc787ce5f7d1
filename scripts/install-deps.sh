#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tastalo
# need, and only those that are missing, so a second run costs seconds.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n librsvg2-bin
  libsqlitecpp-dev libsqlite3-dev sqlite3
  libx11-dev libx11-xcb-dev libxtst-dev libxi-dev libxkbcommon-dev libwayland-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth openbox xdotool x11-utils x11-xserver-utils wmctrl imagemagick xinput xserver-xephyr
  sway xwayland qt6-wayland
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64 wine wine64
  fonts-liberation2 unzip
)
# The Windows program is 32-bit: Wine runs it with wine32, from Debian's i386
# architecture, where this machine runs 32-bit code at all. Where it does
# not, wine32 is left out: Debian's wine command would pick it and fail.
source "$(dirname "$0")/windows-common.sh"
if x86_32_runs; then
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run this script as root to install them." >&2
    exit 1
  fi
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding Debian's i386 architecture (for wine32)"
    dpkg --add-architecture i386
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A package list that fails to refresh (a mirror caught mid-sync) leaves
  # the lists at hand; the install below says whether they were enough.
  apt-get update -qq || echo "Some package lists could not be refreshed; going on with those at hand" >&2
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
