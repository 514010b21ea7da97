#!/usr/bin/env bash
# Builds Velmora and runs every test: the suite with the optimised build (the permission tests
# again as an unprivileged user when run as root), the desktop entry, the software-centre
# metainfo and the manual pages, clang-tidy over the sources, the suite again
# under AddressSanitizer and UBSan (clang), and a short libFuzzer run of the AIFF parser and of
# the whole conversion, half of the time each.
# Usage: scripts/run-tests.sh [FUZZ_SECONDS]   (default 60, in total)
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-60}
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build and test (g++)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=ON -DVELMORA_BENCH=ON \
  -DVELMORA_REQUIRE_MANPAGES=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"
# ctest runs every test in a process of its own; running each binary whole once also catches
# tests that depend on what an earlier test left behind.
echo "== each test binary whole, in one process"
./build/tests/velmora_tests
./build/tests/velmora_ui_tests

# Permissions do not bind root, so the tests of unreadable and read-only folders skip there. As
# root (CI), run them again as an unprivileged user on a copy of the test program, and require
# that they ran rather than skipped.
if [[ $(id -u) == 0 ]]; then
  echo "== permission tests as an unprivileged user"
  scratch=$(mktemp -d)
  chmod 755 "$scratch"
  install -m 755 build/tests/velmora_tests "$scratch/"
  install -d -o nobody "$scratch/home" "$scratch/tmp"
  log=$scratch/permissions.log
  env -i PATH="$PATH" HOME="$scratch/home" TMPDIR="$scratch/tmp" QT_QPA_PLATFORM=offscreen \
    setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all \
    "$scratch/velmora_tests" --gtest_filter='*Unreadable*:*ReadOnly*' | tee "$log"
  if grep -q '^\[  SKIPPED \]' "$log" || ! grep -q '^\[  PASSED  \] [1-9]' "$log"; then
    echo "permission tests did not run as an unprivileged user" >&2
    exit 1
  fi
  rm -rf "$scratch"
fi

echo "== desktop entry, metainfo and manual pages"
# Every remark fails, pedantic hints too: desktop-file-validate exits 0 on some of its errors, and
# the software centres' own checks are stricter still.
quiet_check() {
  local report
  report=$("$@" 2>&1) && ! grep -q '^[EWIP]:\|: error:\|: warning:\|: hint:' <<<"$report" || {
    echo "$report" >&2
    return 1
  }
}
quiet_check desktop-file-validate data/org.example.velmora.desktop
quiet_check appstreamcli validate --no-net --pedantic --strict build/data/org.example.velmora.metainfo.xml
for page in velmora velmora-cli; do
  # The page must hold the program's options, not just a header.
  zgrep -qF -- '\-\-version' "build/data/man/$page.1.gz" || { echo "manual page $page is empty" >&2; exit 1; }
done

echo "== clang-tidy over the sources"
./scripts/tidy.sh -p build

echo "== build and test under AddressSanitizer and UBSan (clang)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=ON -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"

echo "== fuzz the AIFF reader, the conversion and the WAV read-back for ${fuzz_seconds}s"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target aiff_reader_fuzz conversion_fuzz wav_readback_fuzz
seeds=$(mktemp -d)
wav_seeds=$(mktemp -d)
trap 'rm -rf "$seeds" "$wav_seeds"' EXIT
cp fuzz/seeds/* "$seeds"/ 2>/dev/null || true
if [[ -d ../shared/corpus/real ]]; then
  find ../shared/corpus/real -type f \( -name '*.aif*' -o -name '*.afc' \) -size -256k -exec cp -t "$seeds" {} + 2>/dev/null || true
fi
# 512 MB of memory is far more than any input may cost: a metadata bomb (a few kilobytes that
# inflate to hundreds of megabytes) ends the run. Inputs reach past the 1 MiB budget of texts.
for target in aiff_reader_fuzz conversion_fuzz; do
  ./build-fuzz/fuzz/$target -max_total_time=$((fuzz_seconds / 2)) -max_len=1200000 -rss_limit_mb=512 -timeout=10 \
    -print_final_stats=1 "$seeds"
done
# The read-back of a closed WAV output, from outputs Velmora wrote (the fuzzer adds to its copy).
cp fuzz/wav-seeds/* "$wav_seeds"/
./build-fuzz/fuzz/wav_readback_fuzz -max_total_time=$((fuzz_seconds / 4)) -rss_limit_mb=512 -timeout=10 \
  -print_final_stats=1 "$wav_seeds"
echo "== all tests passed"
