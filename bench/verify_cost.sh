#!/usr/bin/env bash
# What reading each output back (--verify) costs: the same 10-minute 44.1 kHz 16-bit stereo
# source to WAV, lossless WAV, MP3, and FLAC and Opus where this build has them, each without and
# with --verify (best wall time of 3 runs, warm cache, one job), and the ratio.
# Usage: bench/verify_cost.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"

sox -V1 -n -r 44100 -c 2 -b 16 -e signed ten.aiff synth 600 pinknoise gain -6
sox -V1 -n -r 44100 -c 2 -b 16 -e signed tiny.aiff synth 0.1 sine 440
echo "source: $(du -h ten.aiff | cut -f1) ten.aiff (10 minutes, 44.1 kHz, 16-bit stereo)"

best_seconds() {  # best_seconds COMMAND...: the best wall-clock seconds of 3 runs into a fresh folder
  local best=999999 t
  for _ in 1 2 3; do
    rm -rf out && mkdir out
    /usr/bin/time -o "$work/time.txt" -f "%e" "$@" >/dev/null 2>&1
    t=$(tail -n 1 "$work/time.txt")
    best=$(echo "$t $best" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  echo "$best"
}

printf "  %-14s %9s %9s %7s\n" format plain verify ratio
while read -r name options; do
  # A format this build does not offer is a usage error (exit status 2): skipped.
  # shellcheck disable=SC2086
  if ! (rm -rf out && mkdir out && "$cli" convert -q $options -o out tiny.aiff >/dev/null 2>&1); then
    printf "  %-14s (not in this build)\n" "$name"
    continue
  fi
  # shellcheck disable=SC2086
  plain=$(best_seconds "$cli" convert -q -j 1 $options -o out ten.aiff)
  # shellcheck disable=SC2086
  verified=$(best_seconds "$cli" convert -q -j 1 --verify $options -o out ten.aiff)
  ratio=$(echo "$verified $plain" | awk '{printf "%.2f", ($2 > 0) ? $1 / $2 : 0}')
  printf "  %-14s %8.2fs %8.2fs %6sx\n" "$name" "$plain" "$verified" "$ratio"
done <<'FORMATS'
WAV -f wav
lossless-WAV -f wav --wav-bits source
MP3 -f mp3
FLAC -f flac
Opus -f opus
FORMATS
