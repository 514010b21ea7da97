#!/usr/bin/env bash
# AIFF to Opus at 128 kbit/s beside opusenc on the same 10-minute 44.1 kHz 16-bit stereo file
# (best wall time of 3 runs each, warm cache, one file at a time), with the ratio of the two;
# then the decoded length of each output at 48 kHz, which must be the source's duration.
# Usage: bench/opus_vs_peers.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"

sox -V1 -n -r 44100 -c 2 -b 16 -e signed ten.aiff synth 600 pinknoise gain -6
echo "source: $(du -h ten.aiff | cut -f1) ten.aiff (10 minutes, 44.1 kHz, 16-bit stereo)"

ours=$(best velmora v "$cli" convert -q -j 1 -f opus --opus-bitrate 128 -o v ten.aiff)
"$cli" convert -q -j 1 -f opus --opus-bitrate 128 -o v ten.aiff >/dev/null
theirs=$(best opusenc opusenc.opus opusenc --quiet --bitrate 128 ten.aiff opusenc.opus)
opusenc --quiet --bitrate 128 ten.aiff opusenc.opus
echo "$ours"
echo "$theirs"
awk -v a="$(awk '{print $2}' <<<"$ours")" -v b="$(awk '{print $2}' <<<"$theirs")" \
  'BEGIN { printf "  velmora / opusenc: %.2f\n", a / b }'
for f in v/ten.opus opusenc.opus; do
  opusdec --quiet --rate 48000 "$f" decoded.wav 2>/dev/null
  printf "  %-28s %s frames at 48 kHz (source: 28,800,000), %s\n" "$f" "$(soxi -s decoded.wav)" "$(du -h "$f" | cut -f1)"
done
