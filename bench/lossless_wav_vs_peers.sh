#!/usr/bin/env bash
# Lossless WAV side by side with sndfile-convert and sox on the same 10-minute 44.1 kHz 24-bit
# stereo file (best wall time of 3 runs each, warm cache), and a check that all three hold the
# same samples.
# Usage: bench/lossless_wav_vs_peers.sh [BUILD_DIR]   (default: build)
set -euo pipefail
build=${1:-build}
cli=$(realpath "$build/src/velmora-cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

sox -V1 -n -r 44100 -c 2 -b 24 -e signed ten.aiff synth 600 pinknoise gain -6
echo "source: $(du -h ten.aiff | cut -f1) ten.aiff (10 minutes, 44.1 kHz, 24-bit stereo)"

best() {  # best of 3 wall-clock seconds of a command that writes $out
  local name=$1 out=$2; shift 2
  local best=999999
  for _ in 1 2 3; do
    rm -rf "$out"
    local t
    /usr/bin/time -o "$work/time.txt" -f "%e" "$@" >/dev/null 2>&1
    t=$(tail -n 1 "$work/time.txt")
    best=$(echo "$t $best" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  printf "%-16s %6.2f s\n" "$name" "$best"
}

mkdir -p v
best velmora v "$cli" convert -q -j 1 -f wav --wav-bits source -o v ten.aiff
best sndfile-convert sf.wav sndfile-convert -pcm24 ten.aiff sf.wav
best sox sox.wav sox -V1 ten.aiff -b 24 sox.wav
# The headers differ (extensible or not); the samples must not.
for peer in sf.wav sox.wav; do
  if sndfile-cmp v/ten.wav "$peer" >/dev/null 2>&1; then echo "velmora's samples equal $peer's"
  else echo "velmora's samples DIFFER from $peer's"; fi
done
