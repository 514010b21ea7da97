#include "convert/sample_converter.h"

#include <soxr.h>

#include <algorithm>
#include <climits>

#include "audio/source_info.h"

namespace velmora {
namespace {

constexpr std::int32_t kMin16 = -32768;
constexpr std::int32_t kMax16 = 32767;
constexpr std::int32_t kMin8 = -kSilence8;
constexpr std::int32_t kMax8 = 255 - kSilence8;

// The resampler holds output back while its filter waits for input: measured from 1:1024 to
// 192:1, at most about 1,900 input frames' worth when upsampling and 1,300 output frames when
// downsampling. The output buffers allow for twice that.
constexpr std::int64_t kHeldBackFrames = 4096;

// Adding and taking away 1.5 * 2^23 rounds a float of magnitude below 2^22 to the nearest
// integer (ties to even, as std::lrint does) in plain arithmetic the compiler can vectorise,
// where std::lrint is a library call per sample.
constexpr float kRoundingBias = 12582912.0f;

std::int32_t ReadSample(const void* buffer, int bits, int index) {
  if (bits == 8) return static_cast<const std::uint8_t*>(buffer)[index];
  return static_cast<const std::int16_t*>(buffer)[index];
}

void WriteSample(void* buffer, int bits, int index, std::int32_t value) {
  if (bits == 8) {
    static_cast<std::uint8_t*>(buffer)[index] = static_cast<std::uint8_t>(value);
  } else {
    static_cast<std::int16_t*>(buffer)[index] = static_cast<std::int16_t>(value);
  }
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

}  // namespace

void SampleConverter::SoxrDeleter::operator()(soxr* resampler) const { soxr_delete(resampler); }

bool SampleConverter::Configure(int inRate, int inChannels, int inBits, int outRate, int outChannels,
                                int outBits) {
  *this = SampleConverter();  // unconfigured unless everything below checks out
  auto validChannels = [](int n) { return n == 1 || n == 2; };
  auto validBits = [](int n) { return n == 8 || n == 16; };
  const bool floats = inBits == kFloatBits && outBits == kFloatBits;
  if (inRate <= 0 || outRate <= 0 || !validChannels(inChannels) || !validChannels(outChannels) ||
      (!floats && (!validBits(inBits) || !validBits(outBits)))) {
    return false;
  }
  if (static_cast<std::int64_t>(outRate) > static_cast<std::int64_t>(inRate) * kMaxUpsampling) return false;
  if (static_cast<std::int64_t>(inRate) > static_cast<std::int64_t>(outRate) * kMaxDownsampling) return false;

  if (inRate != outRate) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_S, SOXR_FLOAT32_S);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, SOXR_LINEAR_PHASE);
    // One thread: the batch already runs one file per core.
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    m_resampler.reset(soxr_create(inRate, outRate, static_cast<unsigned>(inChannels), &error, &io, &quality, &runtime));
    if (!m_resampler || error) return false;
    for (int c = 0; c < inChannels; ++c) {
      m_floatIn[c].assign(kStageFrames, 0.0f);
      m_floatOut[c].assign(kStageFrames, 0.0f);
    }
  }
  m_inRate = inRate;
  m_inChannels = inChannels;
  m_inBits = inBits;
  m_outRate = outRate;
  m_outChannels = outChannels;
  m_outBits = outBits;
  for (auto& stage : m_stage) stage.assign(kStageFrames, 0);
  return true;
}

std::int64_t SampleConverter::StreamLength(std::int64_t inFrames) const {
  return CeilDiv(inFrames * m_outRate, m_inRate);
}

int SampleConverter::OutputCapacity(int inFrames) const {
  if (!IsConfigured()) return 0;
  if (!Resampling()) return std::max(inFrames, 0);
  const std::int64_t heldBack = CeilDiv(kHeldBackFrames * std::max(m_inRate, m_outRate), m_inRate);
  const std::int64_t capacity = StreamLength(std::max(inFrames, 0)) + heldBack + 2;
  return static_cast<int>(std::min<std::int64_t>(capacity, INT_MAX));
}

int SampleConverter::Convert(const void* inLeft, const void* inRight, int frames, void* outLeft,
                             void* outRight) {
  if (!IsConfigured() || m_flushed || frames <= 0) return 0;
  // The caller's buffers bound the output; the measured hold-back keeps it well inside.
  const int capacity = OutputCapacity(frames);
  int produced = 0;
  for (int done = 0; done < frames; done += kStageFrames) {
    produced += ConvertChunk(inLeft, inRight, done, std::min(kStageFrames, frames - done), outLeft, outRight,
                             produced, capacity - produced);
  }
  return produced;
}

int SampleConverter::ConvertChunk(const void* inLeft, const void* inRight, int inOffset, int frames,
                                  void* outLeft, void* outRight, int outOffset, int limit) {
  const void* inputs[2] = {inLeft, inRight};
  if (Floats()) {
    const float* in[2] = {static_cast<const float*>(inLeft) + inOffset,
                          m_inChannels == 2 ? static_cast<const float*>(inRight) + inOffset : nullptr};
    if (!Resampling()) {
      EmitFloats(in[0], in[1], frames, outLeft, outRight, outOffset);
      return frames;
    }
    for (int c = 0; c < m_inChannels; ++c) std::copy(in[c], in[c] + frames, m_floatIn[c].begin());
    m_framesIn += frames;
    return Resample(frames, limit, outLeft, outRight, outOffset);
  }
  if (!Resampling()) {
    for (int c = 0; c < m_inChannels; ++c) {
      for (int i = 0; i < frames; ++i) m_stage[c][i] = ReadSample(inputs[c], m_inBits, inOffset + i);
    }
    Emit(frames, outLeft, outRight, outOffset);
    return frames;
  }
  const float centre = m_inBits == 8 ? static_cast<float>(kSilence8) : 0.0f;
  for (int c = 0; c < m_inChannels; ++c) {
    float* in = m_floatIn[c].data();
    if (m_inBits == 8) {
      const std::uint8_t* samples = static_cast<const std::uint8_t*>(inputs[c]) + inOffset;
      for (int i = 0; i < frames; ++i) in[i] = static_cast<float>(samples[i]) - centre;
    } else {
      const std::int16_t* samples = static_cast<const std::int16_t*>(inputs[c]) + inOffset;
      for (int i = 0; i < frames; ++i) in[i] = static_cast<float>(samples[i]);
    }
  }
  m_framesIn += frames;
  return Resample(frames, limit, outLeft, outRight, outOffset);
}

// Passes `frames` samples of m_floatIn through the resampler and emits at most `limit` frames.
int SampleConverter::Resample(int frames, int limit, void* outLeft, void* outRight, int outOffset) {
  const float* inputs[2] = {m_floatIn[0].data(), m_floatIn[1].data()};
  float* outputs[2] = {m_floatOut[0].data(), m_floatOut[1].data()};
  std::size_t left = static_cast<std::size_t>(frames);
  int produced = 0;
  while (produced < limit) {
    const std::size_t room = static_cast<std::size_t>(std::min(kStageFrames, limit - produced));
    std::size_t used = 0, made = 0;
    if (soxr_process(m_resampler.get(), inputs, left, &used, outputs, room, &made)) break;
    for (int c = 0; c < m_inChannels; ++c) inputs[c] += used;
    left -= used;
    EmitResampled(static_cast<int>(made), outLeft, outRight, outOffset + produced);
    produced += static_cast<int>(made);
    if (left == 0 && made < room) break;
  }
  m_framesOut += produced;
  return produced;
}

// The outputs still held back once the input has ended, up to `limit` frames.
int SampleConverter::Drain(int limit, void* outLeft, void* outRight, int outOffset) {
  float* outputs[2] = {m_floatOut[0].data(), m_floatOut[1].data()};
  int produced = 0;
  while (produced < limit) {
    const std::size_t room = static_cast<std::size_t>(std::min(kStageFrames, limit - produced));
    std::size_t made = 0;
    if (soxr_process(m_resampler.get(), nullptr, 0, nullptr, outputs, room, &made) || made == 0) break;
    EmitResampled(static_cast<int>(made), outLeft, outRight, outOffset + produced);
    produced += static_cast<int>(made);
  }
  m_framesOut += produced;
  return produced;
}

int SampleConverter::Flush(void* outLeft, void* outRight, const std::atomic<bool>* cancel) {
  auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
  if (!IsConfigured() || m_flushed) return 0;
  m_flushed = true;
  if (!Resampling()) return 0;
  // The library ends the stream at round(N * ratio) frames; silence worth two output frames
  // carries it past ceil(N * ratio), and the surplus is cut.
  const std::int64_t target = StreamLength(m_framesIn);
  const std::int64_t silence = CeilDiv(2 * static_cast<std::int64_t>(m_inRate), m_outRate);
  for (auto& in : m_floatIn) std::fill(in.begin(), in.end(), 0.0f);
  int produced = 0;
  for (std::int64_t fed = 0; fed < silence && m_framesOut < target && !cancelled(); fed += kStageFrames) {
    const int frames = static_cast<int>(std::min<std::int64_t>(kStageFrames, silence - fed));
    produced += Resample(frames, static_cast<int>(target - m_framesOut), outLeft, outRight, produced);
  }
  if (!cancelled()) produced += Drain(static_cast<int>(target - m_framesOut), outLeft, outRight, produced);
  return produced;
}

// The resampler's output, m_floatOut, into the caller's buffers.
void SampleConverter::EmitResampled(int frames, void* outLeft, void* outRight, int outOffset) {
  if (Floats()) {
    EmitFloats(m_floatOut[0].data(), m_floatOut[1].data(), frames, outLeft, outRight, outOffset);
    return;
  }
  Store(frames);
  Emit(frames, outLeft, outRight, outOffset);
}

// Rounds the resampler's output into m_stage in the source's width; overshoot saturates.
void SampleConverter::Store(int frames) {
  const bool eight = m_inBits == 8;
  const float lo = static_cast<float>(eight ? kMin8 : kMin16);
  const float hi = static_cast<float>(eight ? kMax8 : kMax16);
  const std::int32_t offset = eight ? kSilence8 : 0;
  for (int c = 0; c < m_inChannels; ++c) {
    const float* out = m_floatOut[c].data();
    std::int32_t* stage = m_stage[c].data();
    for (int i = 0; i < frames; ++i) {
      const float rounded = (std::clamp(out[i], lo, hi) + kRoundingBias) - kRoundingBias;
      stage[i] = static_cast<std::int32_t>(rounded) + offset;
    }
  }
}

// Channel count, then width, from m_stage into the caller's buffers.
void SampleConverter::Emit(int frames, void* outLeft, void* outRight, int outOffset) const {
  // The common case, 16 bits and the channels as they are, is a plain copy.
  if (m_inBits == 16 && m_outBits == 16 && m_inChannels == m_outChannels) {
    void* outputs[2] = {outLeft, outRight};
    for (int c = 0; c < m_outChannels; ++c) {
      std::int16_t* out = static_cast<std::int16_t*>(outputs[c]) + outOffset;
      const std::int32_t* stage = m_stage[c].data();
      for (int i = 0; i < frames; ++i) out[i] = static_cast<std::int16_t>(stage[i]);
    }
    return;
  }
  const bool eightIn = m_inBits == 8;
  for (int i = 0; i < frames; ++i) {
    std::int32_t left = m_stage[0][i];
    std::int32_t right = m_inChannels == 2 ? m_stage[1][i] : left;
    if (m_outChannels == 1 && m_inChannels == 2) {
      // Truncates toward zero for signed samples; unsigned sums are never negative.
      left = (left + right) / 2;
    }
    if (m_outBits != m_inBits) {
      if (eightIn) {
        left = (left - kSilence8) * 256;
        right = (right - kSilence8) * 256;
      } else {
        left = (left >> 8) + kSilence8;
        right = (right >> 8) + kSilence8;
      }
    }
    WriteSample(outLeft, m_outBits, outOffset + i, left);
    if (m_outChannels == 2) WriteSample(outRight, m_outBits, outOffset + i, right);
  }
}

// Channel count alone, for float samples: the mix to one channel is the exact average.
void SampleConverter::EmitFloats(const float* left, const float* right, int frames, void* outLeft, void* outRight,
                                 int outOffset) const {
  float* outL = static_cast<float*>(outLeft) + outOffset;
  float* outR = m_outChannels == 2 ? static_cast<float*>(outRight) + outOffset : nullptr;
  if (m_inChannels == 2 && m_outChannels == 1) {
    for (int i = 0; i < frames; ++i) outL[i] = (left[i] + right[i]) * 0.5f;
    return;
  }
  std::copy(left, left + frames, outL);
  const float* second = m_inChannels == 2 ? right : left;
  if (outR) std::copy(second, second + frames, outR);
}

}  // namespace velmora
