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
  m_sourceChannels = source.channels;
  m_second = SecondDeliveredChannel(source.channels);
  m_fullBits = source.fullBits;
  m_fullFloat = source.fullFloat;
  m_block.assign(static_cast<std::size_t>(kMaxBlockFrames) * static_cast<std::size_t>(source.channels), 0.0);
  for (auto& planar : m_planar) planar.assign(kMaxBlockFrames, 0.0f);
  const auto capacity = static_cast<std::size_t>(m_converting ? m_converter.OutputCapacity(kMaxBlockFrames) : 0);
  // Without conversion the output is the planar block itself.
  for (auto& out : m_out) out.assign(capacity, 0.0f);
  if (!m_converting) std::swap(m_out, m_planar);
  return true;
}

template <typename Sample>
void FullPrecisionConverter::Split(const Sample* block, int frames, double scale) {
  std::vector<float>* planar = m_converting ? m_planar.data() : m_out.data();
  const int channels[2] = {0, m_second};
  for (int c = 0; c < (m_second < 0 ? 1 : 2); ++c) {
    const Sample* in = block + channels[c];
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
  return m_converter.Convert(m_planar[0].data(), m_planar[1].data(), frames, m_out[0].data(), m_out[1].data());
}

int FullPrecisionConverter::Flush(const std::atomic<bool>* cancel) {
  if (!m_converting) return 0;
  return m_converter.Flush(m_out[0].data(), m_out[1].data(), cancel);
}

}  // namespace velmora
