#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/source_info.h"

struct soxr;

namespace velmora {

// Turns the decoder's planar blocks into the output's format: first the sample rate
// (band-limited by libsoxr's high-quality linear-phase filter, which keeps the signal in time),
// then the channel count (1 -> 2 duplicates, 2 -> 1 averages), then the width (8-bit unsigned
// <-> 16-bit signed). Float samples (kFloatBits, 1.0 = full scale) go in and come out as
// floats, neither rounded nor clipped, for a gain that follows at full precision. One converter
// serves one stream: filter state carries from block to block, so the blocks must arrive in
// order, and Flush() ends the stream.
//
// A resampled stream of N input frames comes out as exactly ceil(N * outRate / inRate) frames,
// however the input was cut into blocks. Our buffers are allocated in Configure(); Convert()
// and Flush() allocate none.
class SampleConverter {
 public:
  SampleConverter() = default;
  virtual ~SampleConverter() = default;
  SampleConverter(const SampleConverter&) = delete;
  SampleConverter& operator=(const SampleConverter&) = delete;
  SampleConverter(SampleConverter&&) = default;
  SampleConverter& operator=(SampleConverter&&) = default;

  // The width that stands for planar float samples; floats in means floats out.
  static constexpr int kFloatBits = 32;

  // False (and unconfigured) for rates <= 0, channel counts other than 1 and 2, widths other
  // than 8 and 16 (or kFloatBits on both sides), a ratio beyond kMaxUpsampling or
  // kMaxDownsampling, or a resampler the library cannot create.
  bool Configure(int inRate, int inChannels, int inBits, int outRate, int outChannels, int outBits);
  bool IsConfigured() const { return m_inRate > 0; }
  // Whether the rate changes, so that Flush() has output to give.
  bool Resampling() const { return m_inRate != m_outRate; }

  // Converts `frames` input frames (any count) and returns the output frames written. The
  // right buffers are touched only for two-channel input or output; 8-bit samples are
  // uint8_t, 16-bit samples int16_t, kFloatBits samples float. The output buffers must hold
  // OutputCapacity(frames).
  int Convert(const void* inLeft, const void* inRight, int frames, void* outLeft, void* outRight);

  // Ends the stream: produces the output that still waits for input beyond the last block, as
  // if the source were followed by silence. Further calls produce nothing. The output buffers
  // must hold OutputCapacity(0). Stops early, with what it has, once `cancel` is set.
  int Flush(void* outLeft, void* outRight, const std::atomic<bool>* cancel = nullptr);

  // Output frames a Convert() of `inFrames` can produce at most; never less than what Flush()
  // can produce, so a buffer sized for the largest block also serves the flush.
  int OutputCapacity(int inFrames) const;

  // The largest outRate / inRate and inRate / outRate accepted. The filter's length, and so
  // the work of ending a stream, grows with the ratio: at 1024:1 the end costs about a tenth
  // of a second, at the 2^31:1000 a header can claim it would cost minutes.
  static constexpr int kMaxUpsampling = 1024;
  static constexpr int kMaxDownsampling = 1024;

 private:
  struct SoxrDeleter {
    void operator()(soxr* resampler) const;
  };

  // Frames moved through the resampler per pass, on both sides.
  static constexpr int kStageFrames = 2048;

  bool Floats() const { return m_inBits == kFloatBits; }
  int ConvertChunk(const void* inLeft, const void* inRight, int inOffset, int frames, void* outLeft,
                   void* outRight, int outOffset, int limit);
  int Resample(int frames, int limit, void* outLeft, void* outRight, int outOffset);
  int Drain(int limit, void* outLeft, void* outRight, int outOffset);
  void EmitResampled(int frames, void* outLeft, void* outRight, int outOffset);
  void Store(int frames);
  void Emit(int frames, void* outLeft, void* outRight, int outOffset) const;
  void EmitFloats(const float* left, const float* right, int frames, void* outLeft, void* outRight,
                  int outOffset) const;
  std::int64_t StreamLength(std::int64_t inFrames) const;

  int m_inRate = -1;
  int m_inChannels = -1;
  int m_inBits = -1;
  int m_outRate = -1;
  int m_outChannels = -1;
  int m_outBits = -1;

  std::unique_ptr<soxr, SoxrDeleter> m_resampler;
  std::int64_t m_framesIn = 0;   // source frames given to the resampler
  std::int64_t m_framesOut = 0;  // output frames handed to the caller
  // The resampler's input and output, planar floats with 8-bit samples centred on 0.
  std::array<std::vector<float>, 2> m_floatIn;
  std::array<std::vector<float>, 2> m_floatOut;
  std::array<std::vector<std::int32_t>, 2> m_stage;  // resampled or loaded samples, source width
  bool m_flushed = false;
};

}  // namespace velmora
