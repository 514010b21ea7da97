#!/usr/bin/env bash
# Installs the Debian packages Velmora needs. Run as root on Debian 12 (bookworm); safe to run
# again. Without arguments: what building and running the program need. With --tests: also the
# test, sanitizer, fuzzing and benchmark tools and the peer programs the tests compare against.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libmp3lame-dev libgsm1-dev libtag1-dev libsoxr-dev zlib1g-dev libebur128-dev libmpg123-dev
  libflac-dev libopusenc-dev libopusfile-dev
)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev clang clang-tidy libclang-rt-14-dev xvfb xauth
    # the manual pages and the Debian package (file: CPack's library scan), and the checks of the
    # desktop entry, the software-centre metainfo and the shell completion
    help2man file appstream desktop-file-utils bash-completion
    # peers used only as test oracles, never linked into the program
    libsndfile1-dev sndfile-programs sox libsox-fmt-all ffmpeg mpg123 lame loudgain flac opus-tools
  )
elif [[ -n "${1:-}" ]]; then
  echo "usage: $0 [--tests]" >&2
  exit 2
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
