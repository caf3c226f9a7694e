#!/usr/bin/env bash
# Installs every Debian package Kestrava needs to build, generate its content, run and test.
# Idempotent and non-interactive; run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libepoxy-dev libglm-dev libstb-dev
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-noto-cjk
  libimgui-dev
  libopenal-dev libfluidsynth-dev timgm6mb-soundfont
  libenet-dev libopus-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  espeak-ng
  xvfb xauth libgl1-mesa-dri xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
