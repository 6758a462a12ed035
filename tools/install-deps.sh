#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# skipping the ones already there.
set -euo pipefail
PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev sqlite3
  # The window (Qt 6 Widgets) and the wait window (Xlib, Xft, fontconfig)
  qt6-base-dev libgl-dev libx11-dev libxft-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core
  # Names in Chinese, Japanese, Korean and Devanagari in the demo data
  fonts-wqy-microhei fonts-lohit-deva
  # Tests under a display of their own, and screenshots of it
  xvfb xauth x11-apps imagemagick
  # Fuzzers (clang's libFuzzer) and the checks of the installed program
  clang libclang-rt-14-dev desktop-file-utils appstream
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
