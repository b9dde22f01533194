#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a plain build
# in build/ and an AddressSanitizer + UndefinedBehaviorSanitizer build in
# build-asan/. Checks what `cmake --install` lays out. Headless: Qt
# offscreen, SDL's dummy audio driver. Last, a few seconds of each libFuzzer
# target (build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
sonbridge_install_deps

export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
jobs="$(nproc)"

echo "== plain build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== install layout and desktop files"
scripts/check-install.sh build

echo "== sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSONBRIDGE_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"$jobs")

echo "== fuzz targets, a few seconds each"
SONBRIDGE_JOBS="$jobs" tests/fuzz/run.sh 5
