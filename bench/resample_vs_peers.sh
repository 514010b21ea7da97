#!/usr/bin/env bash
# Sample-rate conversion beside sox and ffmpeg, speed and quality:
#  1. a 10-minute 44.1 kHz 16-bit stereo file (pink noise) to 22050 Hz and to 48000 Hz WAV, best
#     wall and CPU time of 3 runs each, warm cache;
#  2. -6 dBFS sines through the same commands: the level of a tone that must pass (0.9 of the
#     lower Nyquist frequency) and of one that must vanish (above it), from sox's RMS figures;
#     16-bit rounding alone leaves a tone about 92 dB down, "silent" means all samples are 0.
# Usage: bench/resample_vs_peers.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"
mkdir -p v

best_cpu() {  # best of 3: wall-clock and CPU (user + system) seconds; the output is removed between runs
  local name=$1 out=$2; shift 2
  local wall=999999 cpu=999999 t
  for _ in 1 2 3; do
    rm -rf "$out"
    /usr/bin/time -o "$work/time.txt" -f "%e %U %S" bash -c "$(declare -f convert); cli=$cli; convert $*" >/dev/null 2>&1
    t=$(tail -n 1 "$work/time.txt")
    wall=$(echo "$t $wall" | awk '{print ($1 < $4) ? $1 : $4}')
    cpu=$(echo "$t $cpu" | awk '{c = $2 + $3; print (c < $4) ? c : $4}')
  done
  printf "  %-26s %6.2f s wall %6.2f s CPU\n" "$name" "$wall" "$cpu"
}

# Converts $1 to rate $2 into $3 with tool $4. Velmora forces each finished file to the disk
# (fsync) before giving it its name; the others do not, which shows in wall time, not CPU time.
convert() {
  case $4 in
    velmora) "$cli" convert -q -j 1 -f wav --wav-rate "$2" --wav-bits 16 -o v "$1" >/dev/null && mv "v/${1%.aiff}.wav" "$3" ;;
    sox) sox -V1 "$1" -b 16 "$3" rate "$2" ;;
    sox-v) sox -V1 "$1" -b 16 "$3" rate -v "$2" ;;
    ffmpeg) ffmpeg -loglevel error -y -i "$1" -ar "$2" "$3" ;;
    ffmpeg-soxr) ffmpeg -loglevel error -y -i "$1" -af aresample=resampler=soxr -ar "$2" "$3" ;;
  esac
}
tools="velmora sox sox-v ffmpeg ffmpeg-soxr"
label() {
  case $1 in
    velmora) echo "velmora" ;; sox) echo "sox (rate)" ;; sox-v) echo "sox (rate -v)" ;;
    ffmpeg) echo "ffmpeg (swr default)" ;; ffmpeg-soxr) echo "ffmpeg (swr with soxr)" ;;
  esac
}

sox -V1 -n -r 44100 -c 2 -b 16 -e signed ten.aiff synth 600 pinknoise gain -6
for rate in ${RATES-22050 48000}; do
  echo "1. 10 minutes 44100 Hz 16-bit stereo to $rate Hz WAV"
  for tool in $tools; do
    best_cpu "$(label $tool)" "out.wav" ten.aiff "$rate" out.wav "$tool"
  done
done

# RMS amplitude of seconds 1 to 4, away from the transients where the tone starts and stops.
rms() { sox "$1" -n trim 1 3 stat 2>&1 | awk '/RMS +amplitude/ {print $3}'; }
echo "2. -6 dBFS sines, 16-bit mono, 5 s: output RMS against the input's (seconds 1 to 4)"
for pair in "44100 22050 9922 12000" "44100 48000 19845 0" "48000 44100 19845 22500" "44100 8000 3600 5000"; do
  read -r from to pass stop <<<"$pair"
  printf "  %s to %s Hz: %s Hz must pass" "$from" "$to" "$pass"
  [ "$stop" != 0 ] && printf ", %s Hz must vanish" "$stop"
  echo
  sox -V1 -n -r "$from" -c 1 -b 16 -e signed pass.aiff synth 5 sine "$pass" gain -6
  [ "$stop" != 0 ] && sox -V1 -n -r "$from" -c 1 -b 16 -e signed stop.aiff synth 5 sine "$stop" gain -6
  for tool in $tools; do
    convert pass.aiff "$to" pass.wav "$tool"
    line=$(awk -v a="$(rms pass.aiff)" -v b="$(rms pass.wav)" 'BEGIN { printf "pass %+.3f dB", 20 * log(b / a) / log(10) }')
    if [ "$stop" != 0 ]; then
      convert stop.aiff "$to" stop.wav "$tool"
      line+=$(awk -v a="$(rms stop.aiff)" -v b="$(rms stop.wav)" \
        'BEGIN { if (b == 0) print ", stop: silent"; else printf ", stop %.1f dB down", 20 * log(a / b) / log(10) }')
    fi
    printf "    %-26s %s\n" "$(label $tool)" "$line"
  done
done
