#!/usr/bin/env bash
# Installs every package the build and the tests need on a fresh Debian 12 machine.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config ccache
  juce-modules-source
  zlib1g-dev libpng-dev libjpeg-dev
  libfreetype-dev libfontconfig1-dev
  libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev libxcomposite-dev libxrender-dev
  libacl1-dev libcap-dev acl libcap2-bin
  libgtest-dev googletest
  # tests: real window, input, screenshots, fuzzing, reference extractor
  xvfb xauth xdotool x11-utils imagemagick zenity openbox wmctrl tesseract-ocr
  clang libclang-rt-14-dev
  unzip zip util-linux procps fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
