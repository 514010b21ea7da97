#!/usr/bin/env bash
# Builds Velmora and runs every test: the suite with the optimised build, the suite again under
# AddressSanitizer and UBSan (clang), and a short libFuzzer run of the AIFF parser.
# Usage: scripts/run-tests.sh [FUZZ_SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-60}
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== build and test (g++)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=ON -DVELMORA_BENCH=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"
# ctest runs every test in a process of its own; running each binary whole once also catches
# tests that depend on what an earlier test left behind.
echo "== each test binary whole, in one process"
./build/tests/velmora_tests
./build/tests/velmora_ui_tests

echo "== build and test under AddressSanitizer and UBSan (clang)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=ON -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"

echo "== fuzz the AIFF reader for ${fuzz_seconds}s"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target aiff_reader_fuzz
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
cp fuzz/seeds/* "$seeds"/ 2>/dev/null || true
if [[ -d ../shared/corpus/real ]]; then
  find ../shared/corpus/real -type f \( -name '*.aif*' -o -name '*.afc' \) -size -256k -exec cp -t "$seeds" {} + 2>/dev/null || true
fi
./build-fuzz/fuzz/aiff_reader_fuzz -max_total_time="$fuzz_seconds" -max_len=65536 -timeout=10 \
  -print_final_stats=1 "$seeds"
echo "== all tests passed"
