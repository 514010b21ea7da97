#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "audio/source_info.h"
#include "convert/sample_converter.h"

namespace velmora {

// The source's full-resolution blocks (AiffReader::ReadFullBlock) as planar floats, 1.0 = full
// scale, in the channels the 16-bit path delivers, then at the output's rate and channel count
// where they differ from the source's. Nothing is rounded or clipped on the way: a gain and the
// reduction to the output's width come after. One converter serves one stream.
class FullPrecisionConverter {
 public:
  // False when the rates or channel counts cannot be converted (see SampleConverter).
  bool Configure(const SourceInfo& source, int outRate, int outChannels);
  // Every channel of the source in its own order, at `outRate`, for an output that keeps them
  // all. Each channel is resampled on its own, by the same filter as above.
  bool ConfigureEveryChannel(const SourceInfo& source, int outRate);

  // Room for one full-resolution block of the source, for ReadFullBlock.
  void* Block() { return m_block.data(); }

  // Converts `frames` frames of Block(); returns the output frames, in Left() and Right().
  int Convert(int frames);
  // Ends the stream (see SampleConverter::Flush); returns the last output frames, as Convert.
  int Flush(const std::atomic<bool>* cancel = nullptr);
  bool Resampling() const { return m_converting && m_converter.Resampling(); }
  // The NaN and infinite samples met so far, which a meter counts as silence.
  std::uint64_t NonFinite() const { return m_nonFinite; }

  // The most frames Convert() or Flush() returns.
  int OutputCapacity() const { return static_cast<int>(m_out[0].size()); }
  const float* Left() const { return m_out[0].data(); }
  const float* Right() const { return m_out[1].data(); }  // two output channels only
  // Output channel `c`, 0 to Channels() - 1.
  const float* Channel(int c) const { return m_out[static_cast<std::size_t>(c)].data(); }
  int Channels() const { return m_outChannels; }

 private:
  // Samples of Block() beyond this magnitude are held there: far louder than any gain would
  // keep, and finite for the resampler's sums. Samples that are no numbers are counted; NaNs
  // become silence and infinities full scale, as the 16-bit path clamps them.
  static constexpr double kLargest = 65536.0;

  template <typename Sample>
  void Split(const Sample* block, int frames, double scale);

  void Allocate(const SourceInfo& source, int capacity);

  int m_sourceChannels = 0;
  int m_outChannels = 0;
  int m_second = -1;  // the source channel delivered as the right one, -1 for mono
  bool m_everyChannel = false;
  int m_fullBits = 0;
  bool m_fullFloat = false;
  bool m_converting = false;
  std::uint64_t m_nonFinite = 0;
  std::vector<double> m_block;  // room for the widest sample type
  std::array<std::vector<float>, kMaxChannels> m_planar;
  std::array<std::vector<float>, kMaxChannels> m_out;
  SampleConverter m_converter;
  std::vector<SampleConverter> m_perChannel;  // every-channel mode: one mono stream each
};

}  // namespace velmora
