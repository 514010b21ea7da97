// Feeds arbitrary bytes to the WAV read-back as a closed output would be read: the first ten
// bytes say what was written (frames and rate as 32-bit, channels as 16-bit, little-endian; the
// top bit of the channels asks for the samples to be hashed), the rest is the file. Whatever the
// bytes, the answer comes without reading outside them, and a failure says what differed.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/wav_readback.h"

namespace {

constexpr std::size_t kWrittenBytes = 10;

std::uint32_t Le(const std::uint8_t* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kWrittenBytes) return 0;
  velmora::WrittenSound written;
  written.frames = Le(data, 4);
  written.sampleRate = static_cast<int>(Le(data + 4, 4) & 0x7FFFFFFF);
  const std::uint32_t channels = Le(data + 8, 2);
  written.channels = static_cast<int>(channels & 0x7FFF);
  if (channels & 0x8000) written.sampleHash = 0;
  const std::uint8_t* file = data + kWrittenBytes;
  const std::size_t fileSize = size - kWrittenBytes;
  const velmora::ReadBytesAt readAt = [&](std::uint64_t offset, std::uint8_t* out, std::size_t count) {
    if (offset > fileSize || count > fileSize - offset) return false;
    std::memcpy(out, file + offset, count);
    return true;
  };
  const velmora::FileOutcome outcome = velmora::CheckWavReadback(fileSize, readAt, written);
  if (outcome.result == velmora::FileResult::Failed && outcome.detail.empty()) __builtin_trap();
  return 0;
}
