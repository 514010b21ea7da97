#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Velmora needs.
# Run as root on Debian 12 (bookworm). Safe to run again.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  # build
  build-essential cmake ninja-build pkg-config git ca-certificates
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libmp3lame-dev libgsm1-dev
  # tests, sanitizers, fuzzing, benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # peers used only as test oracles, never linked into the program
  libsndfile1-dev sndfile-programs sox libsox-fmt-all ffmpeg mpg123 lame
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
