#!/usr/bin/env bash
# Renders every dialog, control and menu into docs/images/ (offscreen, no display needed): in
# English there, and in each translation into docs/images/LANGUAGE/.
# Usage: scripts/screenshots.sh [SCALE]   (SCALE 2 renders at twice the size, into .../2x/)
set -euo pipefail
cd "$(dirname "$0")/.."
scale=${1:-1}
cmake -S . -B build -G Ninja -DVELMORA_SCREENSHOTS=ON >/dev/null
cmake --build build --target velmora_screenshots
for language in en de fr; do
  out=docs/images
  [[ "$language" == en ]] || out=$out/$language
  [[ "$scale" == 1 ]] || out=$out/${scale}x
  # The window takes its language from LANGUAGE before LANG, as the desktop sets them.
  LANGUAGE=$language LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale \
    ./build/tools/velmora_screenshots "$out"
done
