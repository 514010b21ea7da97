#!/usr/bin/env bash
# AIFF to WAV side by side with sox, ffmpeg and sndfile-convert on the same 10-minute 44.1 kHz
# 16-bit stereo file (best wall time of 3 runs each, warm cache), then the peak resident memory
# of Velmora converting a 1 GiB source.
# Usage: bench/wav_vs_peers.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"

sox -V1 -n -r 44100 -c 2 -b 16 -e signed ten.aiff synth 600 pinknoise gain -6
echo "source: $(du -h ten.aiff | cut -f1) ten.aiff (10 minutes, 44.1 kHz, 16-bit stereo)"

mkdir -p v
best velmora v "$cli" convert -q -j 1 -f wav -o v ten.aiff
best sox sox.wav sox -V1 ten.aiff sox.wav
best ffmpeg ffmpeg.wav ffmpeg -loglevel error -y -i ten.aiff -c:a pcm_s16le ffmpeg.wav
best sndfile-convert sf.wav sndfile-convert ten.aiff sf.wav
cmp -s v/ten.wav sox.wav && echo "velmora output is byte-identical to sox's"
rm -rf v sox.wav ffmpeg.wav sf.wav

echo "peak memory converting a 1 GiB source:"
sox -V1 -n -r 44100 -c 2 -b 16 -e signed big.aiff synth 6086 sine 440 gain -3
mkdir -p v
/usr/bin/time -f "  velmora  %M KiB peak RSS, %e s (source $(du -h big.aiff | cut -f1))" \
  "$cli" convert -q -j 1 -f wav -o v big.aiff >/dev/null
