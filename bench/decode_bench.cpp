// Decoding throughput of each codec family, in bytes of source per second. The sources are
// built in memory (about 8 MB each) so the figures measure decoding, not the disk.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "audio/aiff_reader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBe32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// An AIFF-C image with `sound` as its SSND data.
Bytes BuildAifc(const char* code, int channels, int bits, std::uint32_t frames, const Bytes& sound) {
  Bytes comm = {0, static_cast<std::uint8_t>(channels)};
  PutBe32(comm, frames);
  comm.push_back(0);
  comm.push_back(static_cast<std::uint8_t>(bits));
  const std::uint8_t rate44100[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
  comm.insert(comm.end(), rate44100, rate44100 + 10);
  comm.insert(comm.end(), code, code + 4);
  comm.push_back(0);
  comm.push_back(0);
  Bytes out = {'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'C', 'C', 'O', 'M', 'M'};
  PutBe32(out, static_cast<std::uint32_t>(comm.size()));
  out.insert(out.end(), comm.begin(), comm.end());
  out.insert(out.end(), {'S', 'S', 'N', 'D'});
  PutBe32(out, static_cast<std::uint32_t>(sound.size() + 8));
  PutBe32(out, 0);
  PutBe32(out, 0);
  out.insert(out.end(), sound.begin(), sound.end());
  return out;
}

constexpr std::size_t kSoundBytes = std::size_t{8} << 20;

Bytes Noise(std::size_t size) {
  std::mt19937 random(42);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(random());
  return out;
}

void Decode(benchmark::State& state, const char* code, int channels, int bits, int bytesPerFrame) {
  Bytes sound = Noise(kSoundBytes);
  if (std::string(code) == "GSM ") {
    // Every 33-byte GSM frame starts with the signature nibble.
    for (std::size_t i = 0; i < sound.size(); i += 33) sound[i] = static_cast<std::uint8_t>(0xD0 | (sound[i] & 0x0F));
  }
  const auto frames = static_cast<std::uint32_t>(bytesPerFrame ? kSoundBytes / static_cast<std::size_t>(bytesPerFrame) : 0);
  const Bytes image = BuildAifc(code, channels, bits, frames, sound);
  std::array<std::int16_t, velmora::kMaxBlockFrames> left{}, right{};
  for (auto _ : state) {
    velmora::AiffReader reader;
    if (!reader.OpenMemory(image.data(), image.size())) {
      state.SkipWithError("cannot open the test image");
      return;
    }
    bool end = false;
    std::int64_t total = 0;
    while (!end) {
      const int n = reader.ReadBlock(left.data(), right.data(), end);
      if (n <= 0) break;
      total += n;
    }
    benchmark::DoNotOptimize(total);
    benchmark::DoNotOptimize(left);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSoundBytes));
}

BENCHMARK_CAPTURE(Decode, pcm16_stereo, "NONE", 2, 16, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, pcm24_stereo, "NONE", 2, 24, 6)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, pcm8_stereo, "NONE", 2, 8, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, sowt16_stereo, "sowt", 2, 16, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, fl32_stereo, "fl32", 2, 32, 8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, fl64_stereo, "fl64", 2, 64, 16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, ulaw_stereo, "ulaw", 2, 8, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, alaw_stereo, "alaw", 2, 8, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, ima4_stereo, "ima4", 2, 16, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, gsm_mono, "GSM ", 1, 16, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, dwvw16_stereo, "DWVW", 2, 16, 4)->Unit(benchmark::kMillisecond);

}  // namespace
