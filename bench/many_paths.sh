#!/usr/bin/env bash
# A --files-from list of a million sources: how long `velmora-cli convert --files-from LIST -o
# OUT -f wav -j2` takes to publish its first output, and its peak resident memory until then,
# with stderr on a terminal (the progress bar) and off one; then the whole list run again over
# outputs that all exist (--skip-existing), which goes through every entry: its wall time and
# peak memory.
#
# The sources are COUNT distinct files of 10 ms (44.1 kHz 16-bit stereo, 1,818 bytes) in
# folders of 1,000, with names unique across the tree so that the outputs, all in one folder,
# need no numbers. Hard links to a few files would not do: a file reached under two names is
# converted once, so the list would shrink to those few. The first output is seen by polling the
# output folder every 5 ms; the run is then stopped with SIGINT, as Ctrl+C would. Each figure is
# the best of RUNS runs (3); the CPU time (user + system) counts until the program ended.
#
# Usage: bench/many_paths.sh [BUILD_DIR] [COUNT]
#   (COUNT 1,000,000 by default; needs python3 and, for a million, about 4.5 GB and a million
#   inodes of scratch space in TMPDIR; KEEP=DIR makes the tree in DIR, or reuses the one there,
#   and leaves it)
build=${1:-build}
count=${2:-1000000}
cli=$(realpath "$build/src/velmora-cli")
set -euo pipefail
if [[ -n ${KEEP:-} ]]; then
  work=$KEEP
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
export HOME="$work/home"
mkdir -p "$HOME"

python3 - "$cli" "$work" "$count" "${RUNS:-3}" <<'PY'
import fcntl, os, pty, shutil, signal, struct, subprocess, sys, termios, threading, time

cli, work, count, runs = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
src, out, listing = f'{work}/src', f'{work}/out', f'{work}/list-{count}.txt'

def aiff(frames):
    def chunk(cid, data):
        return cid + struct.pack('>I', len(data)) + data + (b'\0' if len(data) & 1 else b'')
    comm = struct.pack('>hIh', 2, frames, 16) + struct.pack('>HII', 0x400E, 0xAC440000, 0)
    ssnd = struct.pack('>II', 0, 0) + bytes((i * 37) & 0xFF for i in range(frames * 4))
    body = b'AIFF' + chunk(b'COMM', comm) + chunk(b'SSND', ssnd)
    return b'FORM' + struct.pack('>I', len(body)) + body

def path_of(i):
    return f'{src}/d{i // 1000:04d}/t{i:07d}.aiff'

if not os.path.exists(listing):
    started = time.monotonic()
    data = aiff(441)
    with open(listing + '.new', 'w') as paths:
        for i in range(count):
            path = path_of(i)
            if i % 1000 == 0:
                os.makedirs(os.path.dirname(path), exist_ok=True)
            if not os.path.exists(path):
                with open(path, 'wb') as f:
                    f.write(data)
            paths.write(path + '\n')
    os.rename(listing + '.new', listing)
    print(f'made {count} sources in {time.monotonic() - started:.0f} s', flush=True)

def run(args, terminal, first_only):
    """Runs velmora-cli; returns (seconds to the first output or to the end, its CPU seconds,
    peak RSS in MiB)."""
    if first_only:
        shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out, exist_ok=True)
    master = None
    if terminal:
        master, slave = pty.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack('HHHH', 24, 100, 0, 0))
        err = slave
    else:
        err = subprocess.DEVNULL
    started = time.monotonic()
    proc = subprocess.Popen([cli] + args, stdout=subprocess.DEVNULL, stderr=err, stdin=subprocess.DEVNULL)
    if master is not None:
        os.close(slave)
        # The bar is drained so that a full terminal never holds the program up.
        threading.Thread(target=lambda: [None for _ in iter(lambda: _read(master), b'')], daemon=True).start()
    seen = None
    if first_only:
        while seen is None and proc.poll() is None:
            with os.scandir(out) as entries:
                if any(e.name.endswith('.wav') for e in entries):
                    seen = time.monotonic() - started
                    proc.send_signal(signal.SIGINT)
                    break
            time.sleep(0.005)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = status
    ended = time.monotonic() - started
    if master is not None:
        os.close(master)
    return (seen if first_only else ended), usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024

def _read(fd):
    try:
        return os.read(fd, 65536)
    except OSError:
        return b''

def best(label, args, terminal, first_only):
    results = [run(args, terminal, first_only) for _ in range(runs)]
    timed = [r for r in results if r[0] is not None]
    memory = min(r[2] for r in results)
    what = 'to the first output' if first_only else 'in all'
    if timed:
        seconds, cpu = min(r[0] for r in timed), min(r[1] for r in timed)
        shown = f'{seconds:7.2f} s {what} ({cpu:6.2f} s CPU)'
    else:
        shown = 'no output'
    print(f'{label:<40} {shown}, peak {memory:6.1f} MiB', flush=True)

convert = ['convert', '--files-from', listing, '-o', out, '-f', 'wav', '-j2']
print(f'{count} sources, best of {runs}:')
best('convert, stderr on a terminal', convert, True, True)
best('convert, stderr not a terminal', convert, False, True)

# Every output in place: hard links to a few finished files are regular files as good as any
# (a file takes at most 65,000 names on ext4).
shutil.rmtree(out, ignore_errors=True)
os.makedirs(out)
subprocess.run([cli, 'convert', '-f', 'wav', '-o', work, path_of(0)], check=True,
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
for i in range(count):
    if i % 50000 == 0:
        done = f'{work}/done-{i}.wav'
        shutil.copyfile(f'{work}/t0000000.wav', done)
    os.link(done, f'{out}/t{i:07d}.wav')
best('--skip-existing, every output there', convert + ['--skip-existing'], True, False)
shutil.rmtree(out, ignore_errors=True)
for name in os.listdir(work):
    if name.endswith('.wav'):
        os.remove(f'{work}/{name}')
PY
