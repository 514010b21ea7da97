#!/usr/bin/env bash
# The conversion engine beside the tools a user would otherwise script, in one run:
#  1. one 10-minute stereo file to MP3 at 128 kbit/s CBR: velmora beside `lame` on the same samples;
#  2. a batch of 8 one-minute files to MP3: velmora --jobs 1, --jobs 2, and lame one file after another;
#  3. 44100 to 22050 Hz WAV: velmora beside sox and ffmpeg;
#  4. peak resident memory of one job on the 10-minute file (MP3 and resampled WAV).
# Best wall time of 3 runs each, warm cache. Usage: bench/engine_vs_peers.sh [BUILD_DIR]
source "$(dirname "$0")/peers_common.sh" "$@"

sox -V1 -n -r 44100 -c 2 -b 16 -e signed ten.aiff synth 600 pinknoise gain -6
sox -V1 ten.aiff -t raw -e signed -b 16 -L ten.raw
echo "1. 10 minutes, 44.1 kHz 16-bit stereo, to MP3 128 kbit/s CBR joint stereo"
mkdir -p v
best "velmora" "v/*" "$cli" convert -q -j 1 -b 128 --mp3-rate 44100 --mode joint --no-id3 --no-copy-tags -o v ten.aiff
best "lame -b 128 --cbr -m j -t" "lame.mp3" lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian \
  -b 128 --cbr -m j -t ten.raw lame.mp3
cmp -s v/ten.mp3 lame.mp3 && echo "  velmora's MP3 is byte-identical to lame's"

echo "2. 8 one-minute files to MP3 (default settings)"
mkdir -p batch
for i in 1 2 3 4 5 6 7 8; do
  sox -V1 -n -r 44100 -c 2 -b 16 -e signed "batch/f$i.aiff" synth 60 pinknoise gain -6
done
best "velmora --jobs 1" "batch/*.mp3" "$cli" convert -q -j 1 batch
best "velmora --jobs 2" "batch/*.mp3" "$cli" convert -q -j 2 batch
best "lame, one after another" "batch/*.mp3" sh -c 'for f in batch/*.aiff; do lame --quiet "$f" "${f%.aiff}.mp3"; done'

echo "3. 10 minutes 44100 Hz to 22050 Hz 16-bit stereo WAV"
best "velmora" "v/*" "$cli" convert -q -j 1 -f wav --wav-rate 22050 --wav-channels 2 --wav-bits 16 -o v ten.aiff
best "sox (rate)" "sox.wav" sox -V1 ten.aiff -r 22050 sox.wav
best "ffmpeg (swr)" "ff.wav" ffmpeg -loglevel error -y -i ten.aiff -ar 22050 ff.wav

echo "4. peak resident memory of one job on the 10-minute file"
/usr/bin/time -o "$work/mem.txt" -f "%M" "$cli" convert -q -j 1 -o v ten.aiff >/dev/null
echo "  MP3:           $(cat "$work/mem.txt") KiB"
/usr/bin/time -o "$work/mem.txt" -f "%M" "$cli" convert -q -j 1 -f wav --wav-rate 22050 -o v ten.aiff >/dev/null
echo "  WAV 22050 Hz:  $(cat "$work/mem.txt") KiB"
