#!/usr/bin/env bash
# Converts the same sources with two builds of velmora-cli and compares every output byte for
# byte: a refactor of the engine must not change one. Usage:
#   bench/compare-outputs.sh OLD_CLI NEW_CLI [SOURCE_FOLDER...]
# Sources: the AIFF files below each SOURCE_FOLDER, by default ../shared/corpus/real beside the
# repository (skipped when absent) and a few generated here. Prints "N outputs compared, M differ"
# and exits 1 when anything differs (bytes, the set of files written, or an exit status).
set -euo pipefail

if [[ $# -lt 2 ]]; then
  echo "usage: $0 OLD_CLI NEW_CLI [SOURCE_FOLDER...]" >&2
  exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

folders=("$@")
if [[ ${#folders[@]} -eq 0 ]]; then
  corpus="$here/../../shared/corpus/real"
  [[ -d $corpus ]] && folders+=("$(realpath "$corpus")") || echo "no corpus at $corpus: skipped" >&2
fi

# Generated sources: 16-bit stereo, 24-bit mono at 48 kHz and 8-bit at 22.05 kHz, loud enough
# for the ceiling to matter and quiet enough for a gain to lift.
generated="$work/generated"
mkdir -p "$generated"
python3 - "$generated" <<'PY'
import math, struct, sys
def ext80(rate):
    e = 16383 + 63
    m = int(rate)
    while m < (1 << 63): m <<= 1; e -= 1
    return struct.pack('>HQ', e, m)
def aiff(path, rate, channels, bits, frames, level):
    width = (bits + 7) // 8
    data = bytearray()
    for i in range(frames):
        for c in range(channels):
            v = level * math.sin(2 * math.pi * (440 + 110 * c) * i / rate) + 0.1 * level * math.sin(i * 0.37)
            s = int(max(-1.0, min(1.0, v)) * ((1 << (bits - 1)) - 1))
            data += s.to_bytes(width, 'big', signed=True)
    comm = struct.pack('>hIh', channels, frames, bits) + ext80(rate)
    ssnd = struct.pack('>II', 0, 0) + bytes(data)
    body = b'AIFF' + b'COMM' + struct.pack('>I', len(comm)) + comm + b'SSND' + struct.pack('>I', len(ssnd)) + ssnd
    open(path, 'wb').write(b'FORM' + struct.pack('>I', len(body)) + body)
aiff(sys.argv[1] + '/loud16.aiff', 44100, 2, 16, 88200, 0.98)
aiff(sys.argv[1] + '/quiet24.aiff', 48000, 1, 24, 48000, 0.05)
aiff(sys.argv[1] + '/eight.aiff', 22050, 1, 8, 22050, 0.5)
PY
folders+=("$generated")

mapfile -d '' sources < <(find "${folders[@]}" -type f \( -iname '*.aif' -o -iname '*.aiff' -o -iname '*.aifc' \) -print0 | sort -z)
echo "${#sources[@]} sources" >&2

runs=(
  "mp3|-f mp3"
  "mp3-vbr|-f mp3 --vbr 2"
  "mp3-explicit|-f mp3 -b 96 --mp3-rate 22050 --mode mono"
  "mp3-gain|-f mp3 --gain 150"
  "mp3-normalize|-f mp3 --normalize -16"
  "mp3-replaygain|-f mp3 --replaygain album"
  "wav|-f wav"
  "wav-lossless|-f wav --wav-bits source"
  "wav-narrow|-f wav --wav-rate 22050 --wav-channels 1 --wav-bits 8"
  "wav-gain|-f wav --gain 50"
  "wav-lossless-gain|-f wav --wav-bits source --gain 200"
  "wav-normalize|-f wav --normalize -23 --true-peak-ceiling -2"
  "wav-replaygain|-f wav --replaygain track"
  "wav-lossless-replaygain|-f wav --wav-bits source --replaygain album"
)

compared=0
differ=0
for run in "${runs[@]}"; do
  name=${run%%|*}
  read -r -a args <<<"${run#*|}"
  for side in old new; do
    cli=$old
    [[ $side == new ]] && cli=$new
    # A home of its own: no saved settings of the user's take part.
    home="$work/home-$side"
    mkdir -p "$home" "$work/$side/$name"
    set +e
    HOME="$home" XDG_CONFIG_HOME="$home/.config" "$cli" convert -q -j 1 "${args[@]}" --mirror \
      -o "$work/$side/$name" "${sources[@]}" >"$work/$side/$name.out" 2>"$work/$side/$name.err"
    echo $? >"$work/$side/$name.status"
    set -e
  done
  if ! cmp -s "$work/old/$name.status" "$work/new/$name.status"; then
    echo "$name: exit status $(cat "$work/old/$name.status") before, $(cat "$work/new/$name.status") now"
    differ=$((differ + 1))
  fi
  if ! diff -q <(cd "$work/old/$name" && find . -type f | sort) <(cd "$work/new/$name" && find . -type f | sort) >/dev/null; then
    echo "$name: not the same files written"
    differ=$((differ + 1))
  fi
  while IFS= read -r -d '' file; do
    compared=$((compared + 1))
    if ! cmp -s "$work/old/$name/$file" "$work/new/$name/$file"; then
      echo "$name: $file differs"
      differ=$((differ + 1))
    fi
  done < <(cd "$work/old/$name" && find . -type f -print0)
done
echo "$compared outputs compared, $differ differ"
[[ $differ -eq 0 ]]
