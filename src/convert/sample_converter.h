#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "audio/source_info.h"

namespace velmora {

// Turns the decoder's planar blocks into the output's format: first the sample rate
// (band-limited interpolation through a Blackman-windowed sinc filter bank), then the channel
// count (1 -> 2 duplicates, 2 -> 1 averages), then the width (8-bit unsigned <-> 16-bit
// signed). One converter serves one stream: filter state carries from block to block, so the
// blocks must arrive in order, and Flush() ends the stream.
//
// Every buffer is allocated in Configure(); Convert() and Flush() allocate nothing.
class SampleConverter {
 public:
  SampleConverter() = default;
  virtual ~SampleConverter() = default;
  SampleConverter(const SampleConverter&) = delete;
  SampleConverter& operator=(const SampleConverter&) = delete;
  SampleConverter(SampleConverter&&) = default;
  SampleConverter& operator=(SampleConverter&&) = default;

  // False (and unconfigured) for rates <= 0, channel counts other than 1 and 2, widths other
  // than 8 and 16, or an upsampling ratio beyond kMaxUpsampling.
  bool Configure(int inRate, int inChannels, int inBits, int outRate, int outChannels, int outBits);
  bool IsConfigured() const { return m_inRate > 0; }

  // Converts `frames` input frames (any count) and returns the output frames written. The
  // right buffers are touched only for two-channel input or output; 8-bit samples are
  // uint8_t, 16-bit samples int16_t. The output buffers must hold OutputCapacity(frames).
  int Convert(const void* inLeft, const void* inRight, int frames, void* outLeft, void* outRight);

  // Ends the stream: produces the output that still waits for input beyond the last block, as
  // if the source were followed by silence. Further calls produce nothing. The output buffers
  // must hold OutputCapacity(0).
  int Flush(void* outLeft, void* outRight);

  // Output frames a Convert() of `inFrames` can produce at most; never less than what Flush()
  // can produce, so a buffer sized for the largest block also serves the flush.
  int OutputCapacity(int inFrames) const;

  // The largest outRate / inRate accepted.
  static constexpr int kMaxUpsampling = 1024;

 private:
  // Input history kept between blocks: enough for the taps of every output still pending.
  static constexpr int kHistoryFrames = 33;
  // Output frames resampled per pass before channel and width conversion.
  static constexpr int kStageFrames = 2048;
  // Silence appended by Flush(): covers the look-ahead of the last outputs.
  static constexpr int kFlushFrames = 40;

  bool Resampling() const { return m_inRate != m_outRate; }
  void BuildFilterBank();
  std::int32_t Silence() const { return m_inBits == 8 ? kSilence8 : 0; }
  int ConvertChunk(const void* inLeft, const void* inRight, int inOffset, int frames,
                   void* outLeft, void* outRight, int outOffset);
  int Resample(int available, bool flushing, int limit);
  int RunResampler(int available, bool flushing, void* outLeft, void* outRight, int outOffset);
  void Emit(int frames, void* outLeft, void* outRight, int outOffset) const;

  int m_inRate = -1;
  int m_inChannels = -1;
  int m_inBits = -1;
  int m_outRate = -1;
  int m_outChannels = -1;
  int m_outBits = -1;

  // Time of the next output sample, exactly: input index m_nextIndex (relative to the start of
  // the block being converted) plus m_nextRemainder / m_step.den input samples.
  struct Step {
    std::int64_t num = 0;  // input samples per output sample = num / den
    std::int64_t den = 1;
  };
  Step m_step;
  std::int64_t m_nextIndex = 0;
  std::int64_t m_nextRemainder = 0;

  int m_order = 0;   // filter order L; each phase has L + 1 taps
  int m_phases = 0;  // P: the bank holds 2P + 1 phases covering offsets -0.5 .. 0.5
  std::vector<float> m_bank;  // (2P + 1) x (L + 1) taps, phase-major

  // Per channel: kHistoryFrames of history followed by room for one block, as floats.
  std::array<std::vector<float>, 2> m_window;
  std::array<std::vector<std::int32_t>, 2> m_stage;  // resampled or loaded samples
  bool m_flushed = false;
};

}  // namespace velmora
