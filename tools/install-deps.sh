#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Lumarra need,
# only when some are missing: directly as root, otherwise through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  libsdl2-dev libpixman-1-dev libfreetype-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-color-emoji
  libmp3lame-dev lame espeak-ng sox libsox-fmt-mp3
  libgif-dev xvfb xdotool imagemagick x11-utils
  libx11-dev openbox weston
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
