#!/usr/bin/env bash
# Peak memory of velmora-cli on sources whose metadata is built to exhaust it, beside a plain
# source: a 300 MiB COMM frame and a 300 MiB picture deflated into ID3 frames of a few hundred
# KB, 18 ANNO chunks of 16 MiB, a 17 MiB ID3 chunk, and an allowed 16 MiB cover.
# Usage: bench/metadata_memory.sh [BUILD_DIR]   (needs python3; about 330 MB of scratch space)
build=${1:-build}
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
    return out + z.flush()
def frame(fid, payload, plain=None):  # ID3v2.3; with `plain`, zlib-compressed (flag 0x0080)
    if plain is None:
        return fid + struct.pack('>I', len(payload)) + b'\0\0' + payload
    data = struct.pack('>I', plain) + payload
    return fid + struct.pack('>I', len(data)) + b'\0\x80' + data
def id3(frames):
    body = b''.join(frames)
    return chunk(b'ID3 ', b'ID3\x03\0\0' + syncsafe(len(body)) + body)
big = 300 << 20
comm = b'\0eng\0'
pic = b'\0image/png\0\x03\0'
files = {
    'plain': [],
    'comm_bomb': [id3([frame(b'TIT2', b'\0bomb'), frame(b'COMM', deflated(comm, big, b'A'), big + len(comm))])],
    'apic_bomb': [id3([frame(b'APIC', deflated(pic, big, b'\x89'), big + len(pic))])],
    'anno_18x16MiB': [chunk(b'ANNO', b'x' * (16 << 20))] * 18,
    'id3_17MiB': [id3([frame(b'TIT2', b'\0big'), frame(b'PRIV', b'\0' * (17 << 20))])],
    'cover_16MiB': [id3([frame(b'APIC', b'\0image/jpeg\0\x03\0' + b'\xff' * ((16 << 20) - 200))])],
}
for name, extra in files.items():
    open(name + '.aiff', 'wb').write(aiff(extra))
PY
printf "  %-16s %10s %14s %14s %14s\n" source "size" "info" "convert wav" "convert mp3"
for f in plain comm_bomb apic_bomb anno_18x16MiB id3_17MiB cover_16MiB; do
  row=()
  for command in "info" "convert -q -j 1 -f wav -o out" "convert -q -j 1 -f mp3 -o out"; do
    rm -rf out
    /usr/bin/time -o time.txt -f "%M" "$cli" $command "$f.aiff" >/dev/null 2>&1 || true
    row+=("$(tail -n 1 time.txt) KB")
  done
  printf "  %-16s %10s %14s %14s %14s\n" "$f" "$(stat -c %s "$f.aiff")" "${row[@]}"
done
