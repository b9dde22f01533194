#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Sonbridge.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
sonbridge_install_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONBRIDGE_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target sonbridge

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display was found, so Sonbridge cannot open its window; try it anyway with: xvfb-run -a ./build/sonbridge"
  exit 1
fi
exec ./build/sonbridge "$@"
