#!/usr/bin/env bash
# FLAC beside the flac tool at the same level (-5) on the same 10-minute 44.1 kHz 16-bit stereo
# file (best wall time of 3 runs each, warm cache), the ratio of the two, the sizes, a check that
# both decode to the source's samples, and -j1 against -j2 over a batch of four such files.
# Usage: bench/flac_vs_peers.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"

sox -V1 -n -r 44100 -c 2 -b 16 -e signed ten.aiff synth 600 pinknoise gain -6
echo "source: $(du -h ten.aiff | cut -f1) ten.aiff (10 minutes, 44.1 kHz, 16-bit stereo)"

mkdir -p v
lv=$(best velmora v/ "$cli" convert -q -j 1 -f flac --flac-level 5 -o v ten.aiff)
lf=$(best "flac -5" flac.flac flac -5 -s -f -o flac.flac ten.aiff)
printf "%s\n%s\n" "$lv" "$lf"
tv=$(echo "$lv" | awk '{print $(NF-1)}')
tf=$(echo "$lf" | awk '{print $(NF-1)}')
echo "  velmora / flac -5: $(echo "$tv $tf" | awk '{printf "%.2f", $1 / $2}')x"
echo "  sizes: velmora $(stat -c %s v/ten.flac) bytes, flac -5 $(stat -c %s flac.flac) bytes"
for f in v/ten.flac flac.flac; do
  if flac -t -s "$f" && sox -V1 "$f" -t raw - | cmp -s - <(sox -V1 ten.aiff -t raw -); then
    echo "  $f holds the source's samples"
  else
    echo "  $f DIFFERS from the source"
  fi
done

# A batch of four: one worker against two.
for i in 1 2 3 4; do cp ten.aiff "b$i.aiff"; done
mkdir -p j1 j2
best "batch of 4, -j1" j1/ "$cli" convert -q -j 1 -f flac -o j1 b1.aiff b2.aiff b3.aiff b4.aiff
best "batch of 4, -j2" j2/ "$cli" convert -q -j 2 -f flac -o j2 b1.aiff b2.aiff b3.aiff b4.aiff
