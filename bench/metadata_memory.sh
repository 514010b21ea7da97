#!/usr/bin/env bash
# Peak memory and wall time of velmora-cli on sources whose metadata is built to exhaust it,
# beside a plain source: a 300 MiB COMM frame and a 300 MiB picture deflated into ID3 frames of
# a few hundred KB, 18 ANNO chunks of 16 MiB, a 17 MiB ID3 chunk, an allowed 16 MiB cover; then
# tags built to cost by their count: a million one-byte pictures, 2.2 million tiny ID3v2.2
# frames, a million titles, a lying compressed text and picture followed by a million tiny
# pictures and 100,000 one-byte ANNO chunks, a deflated 16 MiB cover with a 1 MiB title, and
# six ID3 chunks of a 16 MiB cover each. Each cell is "peak RSS / wall time"; the last column
# names the MP3 output after the title (--name '{title}'), which reads the tags for the name too.
# Usage: bench/metadata_memory.sh [BUILD_DIR] [SOURCE...]
#   (needs python3; about 500 MB of scratch space; SOURCE limits the run to those rows; a run
#   is stopped after LIMIT seconds, 300 unless the environment sets LIMIT)
build=${1:-build}
shift || true
cli=$(realpath "$build/src/velmora-cli")
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME="$work/home"
mkdir -p "$HOME"
python3 - <<'PY'
import struct, zlib
def chunk(cid, data):
    return cid + struct.pack('>I', len(data)) + data + (b'\0' if len(data) & 1 else b'')
def aiff(extra):  # one second of 44.1 kHz 16-bit stereo
    frames = 44100
    comm = struct.pack('>hIh', 2, frames, 16) + struct.pack('>HII', 0x400E, 0xAC440000, 0)
    ssnd = struct.pack('>II', 0, 0) + bytes((i * 37) & 0xFF for i in range(frames * 4))
    body = b'AIFF' + chunk(b'COMM', comm) + chunk(b'SSND', ssnd) + b''.join(extra)
    return b'FORM' + struct.pack('>I', len(body)) + body
def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])
def deflated(prefix, size, fill):
    z = zlib.compressobj(9)
    out = z.compress(prefix)
    block = fill * (1 << 20)
    for _ in range(size >> 20):
        out += z.compress(block)
    out += z.compress(fill * (size & ((1 << 20) - 1)))
    return out + z.flush()
def frame(fid, payload, plain=None):  # ID3v2.3; with `plain`, zlib-compressed (flag 0x0080)
    if plain is None:
        return fid + struct.pack('>I', len(payload)) + b'\0\0' + payload
    data = struct.pack('>I', plain) + payload
    return fid + struct.pack('>I', len(data)) + b'\0\x80' + data
def id3(frames, major=3):
    body = b''.join(frames)
    return chunk(b'ID3 ', b'ID3' + bytes([major]) + b'\0\0' + syncsafe(len(body)) + body)
big = 300 << 20
comm = b'\0eng\0'
pic = b'\0image/png\0\x03\0'
tiny_pic = frame(b'APIC', b'\0\0\x03\0X')
cover = pic + b'\x89' * ((16 << 20) - 200)
deflated_cover = deflated(pic, (16 << 20) - len(pic), b'\x89')
files = {
    'plain': [],
    'comm_bomb': [id3([frame(b'TIT2', b'\0bomb'), frame(b'COMM', deflated(comm, big, b'A'), big + len(comm))])],
    'apic_bomb': [id3([frame(b'APIC', deflated(pic, big, b'\x89'), big + len(pic))])],
    'anno_18x16MiB': [chunk(b'ANNO', b'x' * (16 << 20))] * 18,
    'id3_17MiB': [id3([frame(b'TIT2', b'\0big'), frame(b'PRIV', b'\0' * (17 << 20))])],
    'cover_16MiB': [id3([frame(b'APIC', b'\0image/jpeg\0\x03\0' + b'\xff' * ((16 << 20) - 200))])],
    'apic_1M': [id3([frame(b'TIT2', b'\0pictures')] + [tiny_pic] * 1000000)],
    'v22_2M': [id3([b'TT2\0\0\x01\0'] * 2200000, 2)],
    'tit2_1M': [id3([frame(b'TIT2', b'\0abcd')] * 1000000)],
    'lying_1M_100k': [id3([frame(b'TCOP', deflated(b'\0c', 0, b''), 1 << 20),
                           frame(b'APIC', deflated(pic, 0, b''), 16 << 20)] + [tiny_pic] * 1000000)]
                     + [chunk(b'ANNO', b'a')] * 100000,
    'm16': [id3([frame(b'TIT2', b'\0' + b'T' * ((1 << 20) - 1)),
                 frame(b'APIC', deflated_cover, 16 << 20)])],
    'id3x6_16MiB': [id3([frame(b'APIC', cover)])] * 6,
}
for name, extra in files.items():
    open(name + '.aiff', 'wb').write(aiff(extra))
PY
rows=("$@")
[ ${#rows[@]} -gt 0 ] || rows=(plain comm_bomb apic_bomb anno_18x16MiB id3_17MiB cover_16MiB apic_1M v22_2M tit2_1M
                              lying_1M_100k m16 id3x6_16MiB)
printf "  %-14s %10s %18s %18s %18s %18s\n" source "size" "info" "convert wav" "convert mp3" "mp3 --name {title}"
for f in "${rows[@]}"; do
  row=()
  for command in "info" "convert -q -j 1 -f wav -o out" "convert -q -j 1 -f mp3 -o out" \
                 "convert -q -j 1 -f mp3 -o out --name {title}"; do
    rm -rf out
    /usr/bin/time -o time.txt -f "%M %e" timeout -k 5 "${LIMIT:-300}" "$cli" $command "$f.aiff" >/dev/null 2>&1 || true
    read -r kb seconds < <(tail -n 1 time.txt)
    row+=("$((kb / 1024)) MiB / ${seconds}s")
  done
  printf "  %-14s %10s %18s %18s %18s %18s\n" "$f" "$(stat -c %s "$f.aiff")" "${row[@]}"
done
