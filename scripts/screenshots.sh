#!/usr/bin/env bash
# Renders every dialog, control and menu into docs/images/ (offscreen, no display needed).
# Usage: scripts/screenshots.sh [SCALE]   (SCALE 2 renders at twice the size, into docs/images/2x/)
set -euo pipefail
cd "$(dirname "$0")/.."
scale=${1:-1}
out=docs/images
[[ "$scale" == 1 ]] || out=docs/images/${scale}x
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target velmora_screenshots
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale ./build/tests/velmora_screenshots "$out"
