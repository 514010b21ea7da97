#include "convert/full_precision_converter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "audio/block_decoder.h"

namespace velmora {

bool FullPrecisionConverter::Configure(const SourceInfo& source, int outRate, int outChannels) {
  *this = FullPrecisionConverter();
  const int inChannels = std::min(source.channels, 2);
  m_converting = outRate != source.sampleRate || outChannels != inChannels;
  constexpr int kFloat = SampleConverter::kFloatBits;
  if (m_converting && !m_converter.Configure(source.sampleRate, inChannels, kFloat, outRate, outChannels, kFloat)) {
    return false;
  }
  m_second = SecondDeliveredChannel(source.channels);
  m_outChannels = outChannels;
  Allocate(source, m_converting ? m_converter.OutputCapacity(kMaxBlockFrames) : 0);
  return true;
}

bool FullPrecisionConverter::ConfigureEveryChannel(const SourceInfo& source, int outRate) {
  *this = FullPrecisionConverter();
  if (source.channels < 1 || source.channels > kMaxChannels) return false;
  m_converting = outRate != source.sampleRate;
  constexpr int kFloat = SampleConverter::kFloatBits;
  for (int c = 0; m_converting && c < source.channels; ++c) {
    if (!m_perChannel.emplace_back().Configure(source.sampleRate, 1, kFloat, outRate, 1, kFloat)) return false;
  }
  m_everyChannel = true;
  m_outChannels = source.channels;
  Allocate(source, m_converting ? m_perChannel.front().OutputCapacity(kMaxBlockFrames) : 0);
  return true;
}

void FullPrecisionConverter::Allocate(const SourceInfo& source, int capacity) {
  m_sourceChannels = source.channels;
  m_fullBits = source.fullBits;
  m_fullFloat = source.fullFloat;
  m_block.assign(static_cast<std::size_t>(kMaxBlockFrames) * static_cast<std::size_t>(source.channels), 0.0);
  const auto planar = static_cast<std::size_t>(m_everyChannel ? source.channels : 2);
  for (std::size_t c = 0; c < planar; ++c) {
    m_planar[c].assign(kMaxBlockFrames, 0.0f);
    // Without conversion the output is the planar block itself.
    m_out[c].assign(static_cast<std::size_t>(capacity), 0.0f);
  }
  if (!m_converting) std::swap(m_out, m_planar);
}

template <typename Sample>
void FullPrecisionConverter::Split(const Sample* block, int frames, double scale) {
  std::vector<float>* planar = m_converting ? m_planar.data() : m_out.data();
  const int delivered = m_everyChannel ? m_sourceChannels : m_second < 0 ? 1 : 2;
  for (int c = 0; c < delivered; ++c) {
    const Sample* in = block + (m_everyChannel || c == 0 ? c : m_second);
    float* out = planar[c].data();
    for (int i = 0; i < frames; ++i, in += m_sourceChannels) {
      const double v = static_cast<double>(*in) * scale;
      if (std::isfinite(v)) {
        out[i] = static_cast<float>(std::clamp(v, -kLargest, kLargest));
        continue;
      }
      ++m_nonFinite;
      out[i] = std::isnan(v) ? 0.0f : v > 0 ? 1.0f : -1.0f;
    }
  }
}

int FullPrecisionConverter::Convert(int frames) {
  if (frames <= 0 || m_sourceChannels == 0) return 0;
  if (m_fullFloat && m_fullBits == 64) Split(m_block.data(), frames, 1.0);
  else if (m_fullFloat) Split(reinterpret_cast<const float*>(m_block.data()), frames, 1.0);
  else Split(reinterpret_cast<const std::int32_t*>(m_block.data()), frames, std::ldexp(1.0, 1 - m_fullBits));
  if (!m_converting) return frames;
  if (!m_everyChannel) {
    return m_converter.Convert(m_planar[0].data(), m_planar[1].data(), frames, m_out[0].data(), m_out[1].data());
  }
  // The channels' streams are alike, so each gives the same count.
  int produced = 0;
  for (std::size_t c = 0; c < m_perChannel.size(); ++c) {
    produced = m_perChannel[c].Convert(m_planar[c].data(), nullptr, frames, m_out[c].data(), nullptr);
  }
  return produced;
}

int FullPrecisionConverter::Flush(const std::atomic<bool>* cancel) {
  if (!m_converting) return 0;
  if (!m_everyChannel) return m_converter.Flush(m_out[0].data(), m_out[1].data(), cancel);
  // A Cancel may end the channels at different points; the shortest is what they all hold.
  int produced = -1;
  for (std::size_t c = 0; c < m_perChannel.size(); ++c) {
    const int frames = m_perChannel[c].Flush(m_out[c].data(), nullptr, cancel);
    produced = produced < 0 ? frames : std::min(produced, frames);
  }
  return std::max(produced, 0);
}

}  // namespace velmora
