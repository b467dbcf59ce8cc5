#!/usr/bin/env bash
# Installs every Debian package Tavlo needs to build, run and test.
# Safe to run again: apt-get only installs what is missing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config git ninja-build clang-format
  # libraries
  juce-modules-source
  libcurl4-openssl-dev libssl-dev libboost-regex-dev libboost-dev
  libflac-dev libvorbis-dev libogg-dev libpng-dev libjpeg-dev zlib1g-dev
  libasound2-dev libfreetype-dev libfontconfig1-dev
  libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev libxcomposite-dev libxrender-dev
  libgtest-dev
  # test tools and fixtures
  xvfb xauth x11-utils xdotool imagemagick fonts-liberation
  sox flac xorriso genisoimage libburn-dev cdrskin
  python3
)

want=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || want+=("$p")
done

if [ ${#want[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -q
  $sudo_cmd apt-get install -y -q --no-install-recommends "${want[@]}"
fi
