#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Lumarra need,
# only when some are missing: directly as root, otherwise through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  libsdl2-dev libpixman-1-dev libfreetype-dev libfontconfig-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-color-emoji
  libmp3lame-dev lame open-jtalk open-jtalk-mecab-naist-jdic espeak-ng sox libsox-fmt-mp3
  libgif-dev xvfb xdotool imagemagick x11-utils desktop-file-utils appstream
  libx11-dev openbox weston
)
# The reading voice lives in Debian's contrib section, which a machine's own
# package sources often leave out. Without it the voices are spoken by
# espeak-ng instead.
contrib_packages=(hts-voice-nitech-jp-atr503-m001)

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

missing_of() {
  local p status
  for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || echo "$p"
  done
}

# Fetches packages from the contrib section of the Debian archive that the
# machine already uses, through a package list of its own, so the machine's
# sources stay as they are and nothing else comes from contrib.
install_from_contrib() {
  local codename uri work
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  uri=$(apt-get indextargets --format '$(REPO_URI)' "Release: $codename" 'Component: main' \
    'Identifier: Packages' | head -n 1)
  [[ -n $codename && -n $uri ]] || return 1
  work=$(mktemp -d)
  # apt fetches as its own unprivileged user, which must reach this folder.
  chmod 755 "$work"
  mkdir -p "$work/lists/partial" "$work/archives/partial"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $codename contrib" \
    > "$work/contrib.list"
  local own=(-o "Dir::Etc::SourceList=$work/contrib.list" -o Dir::Etc::SourceParts=/nonexistent
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives"
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
  local ok=0
  if "${sudo[@]}" apt-get "${own[@]}" update -qq \
    && (cd "$work" && "${sudo[@]}" apt-get "${own[@]}" download "$@"); then
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$work"/*.deb || ok=1
  else
    ok=1
  fi
  "${sudo[@]}" rm -rf "$work"
  return $ok
}

missing=($(missing_of "${packages[@]}"))
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

missing=($(missing_of "${contrib_packages[@]}"))
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing from Debian contrib: ${missing[*]}"
  install_from_contrib "${missing[@]}" \
    || echo "Could not install ${missing[*]} from Debian contrib: the voices will be spoken by espeak-ng" >&2
fi
