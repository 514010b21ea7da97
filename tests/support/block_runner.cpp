#include "support/block_runner.h"

#include <array>

namespace velmora::test {
namespace {

// Stops a decoder that neither ends nor stops delivering frames.
constexpr int kMaxCalls = 1 << 20;

template <typename Sample, typename Step>
Decoded Run(bool stereo, Step step) {
  Decoded out;
  std::array<Sample, kMaxBlockFrames> left{};
  std::array<Sample, kMaxBlockFrames> right{};
  for (int call = 0; call < kMaxCalls && !out.end; ++call) {
    const int frames = step(left.data(), right.data(), out.end);
    if (frames <= 0) {
      out.stopped = true;
      break;
    }
    out.framesPerCall.push_back(frames);
    out.left.insert(out.left.end(), left.begin(), left.begin() + frames);
    if (stereo) out.right.insert(out.right.end(), right.begin(), right.begin() + frames);
  }
  return out;
}

}  // namespace

Decoded DecodeBytes(BlockDecoder& decoder, const std::vector<std::uint8_t>& sound, bool stereo) {
  SoundData data{sound.data(), 0, sound.size()};
  return Run<std::int16_t>(stereo, [&](void* l, void* r, bool& end) { return decoder.Decode(data, l, r, end); });
}

Decoded DecodeReader(AiffReader& reader) {
  const bool stereo = reader.Info().outputChannels == 2;
  auto step = [&](void* l, void* r, bool& end) { return reader.ReadBlock(l, r, end); };
  if (reader.Info().outputBits == 8) return Run<std::uint8_t>(stereo, step);
  return Run<std::int16_t>(stereo, step);
}

}  // namespace velmora::test
