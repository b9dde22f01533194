#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# skipping those already present. Sourced by run.sh and test.sh.
set -euo pipefail

SONBRIDGE_PACKAGES=(
  cmake g++ make pkg-config clang-format
  qt6-base-dev libgl-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libsdl2-dev libvorbis-dev libtag1-dev libebur128-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  lame vorbis-tools ffmpeg flac opus-tools wavpack sox python3-numpy
  dbus dbus-daemon ccache
  xvfb xauth
  desktop-file-utils appstream
  clang libclang-rt-14-dev
)

sonbridge_install_deps() {
  local missing=()
  local p
  for p in "${SONBRIDGE_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
