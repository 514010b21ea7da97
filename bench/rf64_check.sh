#!/usr/bin/env bash
# A WAV output past 4 GiB, end to end: a 100-minute 8 kHz 16-bit stereo AIFF (sparse: silence
# but for a 1 kHz tone in its last second, so it costs no disk) converted with --wav-rate 192000
# gives 1,152,000,000 frames, 4.6 GB, read back (--verify) before it is kept. libsndfile (sndfile-info), ffprobe and sox must agree on the
# frame count, and the tone must come out of the output's last second. Needs about 5 GB free in
# TMPDIR. Prints the figures and "rf64 check: ok", or exits 1 saying what differed.
# Usage: bench/rf64_check.sh [BUILD_DIR]   (default: build)
source "$(dirname "$0")/peers_common.sh" "$@"

python3 - <<'EOF'
import math, struct
rate, channels, frames = 8000, 2, 100 * 60 * 8000
sound_bytes = frames * channels * 2
exponent = int(math.floor(math.log2(rate)))
extended = struct.pack(">HQ", 16383 + exponent, int(rate * 2 ** (63 - exponent)))
comm = b"COMM" + struct.pack(">IhIh", 18, channels, frames, 16) + extended
ssnd = b"SSND" + struct.pack(">III", 8 + sound_bytes, 0, 0)
with open("long.aiff", "wb") as f:
    f.write(b"FORM" + struct.pack(">I", 4 + len(comm) + len(ssnd) + sound_bytes) + b"AIFF" + comm + ssnd)
    header = f.tell()
    f.truncate(header + sound_bytes)
    f.seek(header + sound_bytes - rate * channels * 2)
    tone = (int(16000 * math.sin(2 * math.pi * 1000 * i / rate)) for i in range(rate))
    f.write(b"".join(struct.pack(">hh", s, s) for s in tone))
EOF
echo "source: $(stat -c %s long.aiff) bytes, $(du -k long.aiff | cut -f1) KiB on disk (100 minutes, 8 kHz, 16-bit stereo)"

/usr/bin/time -o time.txt -f "%e s, %M KiB peak" "$cli" convert -q --verify -f wav --wav-rate 192000 --wav-channels 2 \
  --wav-bits 16 -o . long.aiff
echo "conversion with --verify: $(tail -n 1 time.txt)"
echo "output: $(stat -c %s long.wav) bytes, starts with $(head -c 4 long.wav)"

expected=1152000000
libsndfile=$(sndfile-info long.wav | awk '/^Frames/ {print $3; exit}')
ffprobe=$(ffprobe -v error -show_entries stream=duration_ts -of csv=p=0 long.wav)
sox=$(soxi -s long.wav)
echo "frames: libsndfile $libsndfile, ffprobe $ffprobe, sox $sox (expected $expected)"

# The last second: the tone at its level in sox, and ffmpeg decoding it without an error.
rms=$(sox long.wav -n trim $((expected - 192000))s stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
echo "last second: RMS amplitude $rms (a 16000/32768 sine is 0.345)"
ffmpeg -v error -sseof -1 -i long.wav -f null - && echo "last second: ffmpeg decodes it"

status=0
for count in "$libsndfile" "$ffprobe" "$sox"; do [[ $count == "$expected" ]] || status=1; done
awk -v r="$rms" 'BEGIN { exit !(r > 0.33 && r < 0.36) }' || status=1
[[ $(head -c 4 long.wav) == RF64 ]] || status=1
[[ $status == 0 ]] && echo "rf64 check: ok" || echo "rf64 check: FAILED"
exit $status
