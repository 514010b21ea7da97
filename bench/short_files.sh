#!/usr/bin/env bash
# What a file costs beside its sound: the same 2,000 s of 44.1 kHz 16-bit stereo sound as
# 2,000 files of 1 s and as 200 files of 10 s, converted to WAV with -j2 (wall time and CPU
# time, user + system, best of RUNS runs, 3), and the ratios; then TINY files of 0.1 s (100,000
# unless given; 0 leaves them out), once. Outputs go to the same file system as the sources
# (TMPDIR); each run starts with an empty output folder, the disk synced and a warm cache.
# Then the file system's own share: the same count of outputs of the same size, only created,
# written, flushed and renamed on one thread, with no sound work at all.
#
# Usage: bench/short_files.sh [BUILD_DIR] [TINY]
#   (needs python3; about 3 GB of scratch space, and 40 KB more for each tiny file)
build=${1:-build}
tiny=${2:-100000}
cli=$(realpath "$build/src/velmora-cli")
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME"

python3 - "$cli" "$work" "$tiny" "${RUNS:-3}" <<'PY'
import os, shutil, struct, subprocess, sys, time

cli, work, tiny, runs = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])

def aiff(frames):
    def chunk(cid, data):
        return cid + struct.pack('>I', len(data)) + data + (b'\0' if len(data) & 1 else b'')
    comm = struct.pack('>hIh', 2, frames, 16) + struct.pack('>HII', 0x400E, 0xAC440000, 0)
    sound = (bytes((i * 37 + i // 251) & 0xFF for i in range(4 * 44100)) * (frames // 44100 + 1))[:frames * 4]
    body = b'AIFF' + chunk(b'COMM', comm) + chunk(b'SSND', struct.pack('>II', 0, 0) + sound)
    return b'FORM' + struct.pack('>I', len(body)) + body

def make(name, count, frames):
    folder = f'{work}/{name}'
    data = aiff(frames)
    for i in range(count):
        sub = f'{folder}/d{i // 1000:03d}'
        if i % 1000 == 0:
            os.makedirs(sub)
        with open(f'{sub}/s{i:06d}.aiff', 'wb') as f:
            f.write(data)
    return folder

# Each run writes to a folder of its own, and nothing is deleted until the end: ext4 without a
# journal looks long for a free inode among ones deleted a few seconds before, which would
# charge the next run for the last one's clean-up.
outputs = 0
def run(folder):
    global outputs
    outputs += 1
    out = f'{work}/out{outputs}'
    os.sync()
    started = time.monotonic()
    proc = subprocess.Popen([cli, 'convert', '-q', '-f', 'wav', '-j2', '-o', out, folder],
                            stdout=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - started
    if status != 0:
        sys.exit(f'velmora-cli failed on {folder}')
    return wall, usage.ru_utime + usage.ru_stime

def best(folder):
    results = [run(folder) for _ in range(runs)]
    return min(r[0] for r in results), min(r[1] for r in results)

sets = (('long', 200, 441000), ('short', 2000, 44100))
folders = {name: make(name, count, frames) for name, count, frames in sets}
print(f'to WAV, -j2, best of {runs}:')
rows = {}
for name, count, frames in sets:
    rows[name] = best(folders[name])
    print(f'{count:>7} x {frames / 44100:4g} s: {rows[name][0]:7.2f} s wall, {rows[name][1]:7.2f} s CPU', flush=True)
wall = rows['short'][0] / rows['long'][0]
cpu = rows['short'][1] / rows['long'][1]
print(f'2,000 x 1 s against 200 x 10 s: {wall:.2f}x the wall time, {cpu:.2f}x the CPU time', flush=True)

# The file system's own share: the same outputs made with no sound work at all, each created
# under a temporary name, written, flushed and renamed as the converter does, on one thread.
def floor(count, size):
    global outputs
    outputs += 1
    out = f'{work}/floor{outputs}'
    os.makedirs(out)
    data = b'\1' * size
    os.sync()
    started, before = time.monotonic(), os.times()
    for i in range(count):
        part = f'{out}/f{i:06d}.part'
        fd = os.open(part, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
        os.write(fd, data)
        os.fdatasync(fd)
        os.close(fd)
        os.rename(part, f'{out}/f{i:06d}.wav')
    after = os.times()
    return time.monotonic() - started, after.user - before.user + after.system - before.system

floors = {}
for name, count, frames in sets:
    floors[name] = min(floor(count, 44 + frames * 4) for _ in range(runs))
    print(f'{count:>7} files of the same size, only created, written, flushed and renamed: '
          f'{floors[name][0]:7.2f} s wall, {floors[name][1]:7.2f} s CPU', flush=True)
print(f'the file system alone: {floors["short"][0] / floors["long"][0]:.2f}x the wall time', flush=True)
if tiny > 0:
    folder = make('tiny', tiny, 4410)
    seconds, cpu = run(folder)
    print(f'{tiny:>7} x  0.1 s: {seconds:7.2f} s wall, {cpu:7.2f} s CPU (once), '
          f'{seconds / tiny * 1000:.2f} ms a file', flush=True)
PY
