#!/usr/bin/env bash
# Lossless WAV side by side with sndfile-convert and sox on the same 10-minute 44.1 kHz 24-bit
# stereo file (best wall time of 3 runs each, warm cache), and a check that all three hold the
# same samples.
# Usage: bench/lossless_wav_vs_peers.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"

sox -V1 -n -r 44100 -c 2 -b 24 -e signed ten.aiff synth 600 pinknoise gain -6
echo "source: $(du -h ten.aiff | cut -f1) ten.aiff (10 minutes, 44.1 kHz, 24-bit stereo)"

mkdir -p v
best velmora v "$cli" convert -q -j 1 -f wav --wav-bits source -o v ten.aiff
best sndfile-convert sf.wav sndfile-convert -pcm24 ten.aiff sf.wav
best sox sox.wav sox -V1 ten.aiff -b 24 sox.wav
# The headers differ (extensible or not); the samples must not.
for peer in sf.wav sox.wav; do
  if sndfile-cmp v/ten.wav "$peer" >/dev/null 2>&1; then echo "velmora's samples equal $peer's"
  else echo "velmora's samples DIFFER from $peer's"; fi
done
