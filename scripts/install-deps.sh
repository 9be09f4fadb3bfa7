#!/usr/bin/env bash
# Installs what building, running and testing the suite needs on Debian 12.
set -euo pipefail
packages=(
  cmake g++ make ninja-build pkg-config git
  qt6-base-dev libgl-dev
  libasound2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  sox libsox-fmt-all ffmpeg
  libsox-dev libmp3lame-dev libfftw3-dev
  ladspa-sdk cmt
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  fonts-dejavu-core xvfb xauth time python3
  desktop-file-utils appstream shared-mime-info
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
  $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
