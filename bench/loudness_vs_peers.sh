#!/usr/bin/env bash
# The cost of normalisation: a batch of 100 files (ten seconds of 44.1 kHz 16-bit stereo pink
# noise each, at levels from -30 to -10 dBFS) to MP3 and to WAV, as it is and normalised to
# -16 LUFS (the measuring pass included), beside ffmpeg's two-pass loudnorm on the same files
# (a measuring run, then a run that applies the measured figures, one file after another and
# as many files at once as velmora's jobs). Then the loudness each reached, velmora's measured
# again with `velmora-cli info --loudness` on a WAV copy. Best wall time of 3 runs, warm cache.
# Usage: bench/loudness_vs_peers.sh [BUILD_DIR] [JOBS]
source "$(dirname "$0")/peers_common.sh" "${1:-build}"
jobs=${2:-$(nproc)}

mkdir -p batch
for i in $(seq -w 1 100); do
  sox -V1 -n -r 44100 -c 2 -b 16 -e signed "batch/f$i.aiff" synth 10 pinknoise gain "-$((10 + 10#$i % 21))"
done
echo "100 files of 10 s to MP3 (default settings) and to WAV, $jobs job(s)"
best "velmora MP3" "out" "$cli" convert -q -j "$jobs" -o out batch
best "velmora MP3 --normalize -16" "out" "$cli" convert -q -j "$jobs" --normalize -16 -o out batch
best "velmora MP3 --replaygain track" "out" "$cli" convert -q -j "$jobs" --replaygain track -o out batch
best "velmora WAV" "out" "$cli" convert -q -j "$jobs" -f wav -o out batch
best "velmora WAV --normalize -16" "out" "$cli" convert -q -j "$jobs" -f wav --normalize -16 -o out batch

# ffmpeg's loudnorm in its two passes: measure, then normalise linearly with those figures.
cat > loudnorm.sh <<'SCRIPT'
#!/usr/bin/env bash
set -euo pipefail
in=$1 out=$2 codec=$3
json=$(ffmpeg -hide_banner -nostats -i "$in" -af loudnorm=I=-16:TP=-1:LRA=20:print_format=json -f null - 2>&1 |
  sed -n '/^{/,/^}/p')
get() { echo "$json" | sed -n "s/.*\"$1\" : \"\\([^\"]*\\)\".*/\\1/p"; }
ffmpeg -loglevel error -y -i "$in" -af "loudnorm=I=-16:TP=-1:LRA=20:linear=true:measured_I=$(get input_i):measured_TP=$(get input_tp):measured_LRA=$(get input_lra):measured_thresh=$(get input_thresh):offset=$(get target_offset),aresample=44100" $codec "$out"
SCRIPT
chmod +x loudnorm.sh
best "ffmpeg loudnorm MP3, 1 job" "ff" sh -c 'mkdir -p ff && for f in batch/*.aiff; do ./loudnorm.sh "$f" "ff/$(basename "${f%.aiff}").mp3" "-c:a libmp3lame -b:a 128k"; done'
best "ffmpeg loudnorm MP3, $jobs jobs" "ff" sh -c "mkdir -p ff && ls batch/*.aiff | xargs -P $jobs -I{} sh -c './loudnorm.sh {} ff/\$(basename {} .aiff).mp3 \"-c:a libmp3lame -b:a 128k\"'"

echo "Loudness reached (target -16 LUFS), first five files"
rm -rf out ff && mkdir -p ff
"$cli" convert -q -j "$jobs" -f wav --normalize -16 -o out batch >/dev/null
for i in 001 002 003 004 005; do
  ./loudnorm.sh "batch/f$i.aiff" "ff/f$i.wav" ""
  sox -V1 "out/f$i.wav" "v$i.aiff"
  sox -V1 "ff/f$i.wav" "f$i.aiff"
  v=$("$cli" info --loudness "v$i.aiff" | sed -n 's/ *loudness: //p')
  f=$("$cli" info --loudness "f$i.aiff" | sed -n 's/ *loudness: //p')
  echo "  f$i  velmora: $v"
  echo "        ffmpeg:  $f"
done

# Album ReplayGain keeps every file's gating blocks until its album is summed: 1,000 files of
# 2 s in 50 folders (copies of one file: the batch takes a file once however many links it has),
# peak memory of the whole batch.
mkdir -p albums
sox -V1 -n -r 44100 -c 2 -b 16 -e signed one.aiff synth 2 pinknoise gain -15
for a in $(seq -w 1 50); do
  mkdir -p "albums/a$a"
  for t in $(seq -w 1 20); do cp one.aiff "albums/a$a/t$t.aiff"; done
done
for mode in track album; do
  rm -rf out
  /usr/bin/time -o mem.txt -f "%M" "$cli" convert -q -j "$jobs" -f wav --replaygain "$mode" -o out albums >/dev/null
  echo "1,000 files in 50 folders, WAV --replaygain $mode: peak $(($(cat mem.txt) / 1024)) MiB"
done
