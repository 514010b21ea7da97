#include "convert/sample_converter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <numeric>

#include "audio/source_info.h"

namespace velmora {
namespace {

constexpr int kMaxPhases = 320;
// A ratio this close to an integer gets the symmetric odd-length filter (order 32), whose
// centre tap falls on an input sample.
constexpr double kIntegralTolerance = 0.0001;
constexpr int kBaseOrder = 31;
constexpr double kCentreTolerance = 1e-9;

constexpr std::int32_t kMin16 = -32768;
constexpr std::int32_t kMax16 = 32767;
constexpr std::int32_t kMax8 = 255;

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

// Four independent partial sums let the products run in parallel instead of waiting on one
// accumulator; the sum stays in double precision.
double DotProduct(const float* x, const float* filter, int taps) {
  double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
  int i = 0;
  for (; i + 4 <= taps; i += 4) {
    s0 += static_cast<double>(x[i]) * filter[i];
    s1 += static_cast<double>(x[i + 1]) * filter[i + 1];
    s2 += static_cast<double>(x[i + 2]) * filter[i + 2];
    s3 += static_cast<double>(x[i + 3]) * filter[i + 3];
  }
  for (; i < taps; ++i) s0 += static_cast<double>(x[i]) * filter[i];
  return (s0 + s1) + (s2 + s3);
}

double Blackman(double x) {
  return 0.42 - 0.5 * std::cos(2.0 * std::numbers::pi * x) + 0.08 * std::cos(4.0 * std::numbers::pi * x);
}

}  // namespace

bool SampleConverter::Configure(int inRate, int inChannels, int inBits, int outRate, int outChannels,
                                int outBits) {
  *this = SampleConverter();  // unconfigured unless everything below checks out
  auto validChannels = [](int n) { return n == 1 || n == 2; };
  auto validBits = [](int n) { return n == 8 || n == 16; };
  if (inRate <= 0 || outRate <= 0 || !validChannels(inChannels) || !validChannels(outChannels) ||
      !validBits(inBits) || !validBits(outBits)) {
    return false;
  }
  if (static_cast<std::int64_t>(outRate) > static_cast<std::int64_t>(inRate) * kMaxUpsampling) return false;

  m_inRate = inRate;
  m_inChannels = inChannels;
  m_inBits = inBits;
  m_outRate = outRate;
  m_outChannels = outChannels;
  m_outBits = outBits;
  for (auto& stage : m_stage) stage.assign(kStageFrames, 0);
  if (!Resampling()) return true;

  const int g = std::gcd(inRate, outRate);
  m_step = {inRate / g, outRate / g};
  BuildFilterBank();
  for (auto& window : m_window) {
    window.assign(kHistoryFrames + std::max(kMaxBlockFrames, kFlushFrames), 0.0f);
    std::fill_n(window.begin(), kHistoryFrames, static_cast<float>(Silence()));
  }
  return true;
}

// The bank holds 2P + 1 windowed-sinc filters for fractional offsets d = -0.5 .. 0.5 in steps
// of 1 / 2P. With P = outRate / gcd every output position hits a phase exactly; P is capped,
// after which the nearest phase is used.
void SampleConverter::BuildFilterBank() {
  const double ratio = static_cast<double>(m_inRate) / m_outRate;
  const bool integral = std::abs(ratio - std::floor(ratio + 0.5)) < kIntegralTolerance;
  m_order = kBaseOrder + (integral ? 1 : 0);
  m_phases = static_cast<int>(std::min<std::int64_t>(m_step.den, kMaxPhases));
  // Below 1 the filter also band-limits to the output's Nyquist frequency.
  const double cutoff = std::min(1.0, 1.0 / ratio);
  const int taps = m_order + 1;
  const double order = m_order;

  m_bank.assign(static_cast<std::size_t>((2 * m_phases + 1) * taps), 0.0f);
  for (int phase = 0; phase <= 2 * m_phases; ++phase) {
    float* filter = m_bank.data() + static_cast<std::ptrdiff_t>(phase) * taps;
    const double d = static_cast<double>(phase - m_phases) / (2.0 * m_phases);
    double sum = 0.0;
    for (int i = 0; i < taps; ++i) {
      const double x = std::clamp((i - d) / order, 0.0, 1.0);
      const double u = x - 0.5;
      const double tap = std::abs(u) < kCentreTolerance
                             ? cutoff
                             : Blackman(x) * std::sin(std::numbers::pi * cutoff * order * u) /
                                   (std::numbers::pi * order * u);
      filter[i] = static_cast<float>(tap);
      sum += filter[i];
    }
    // Unity gain at DC for every phase.
    for (int i = 0; i < taps; ++i) filter[i] = static_cast<float>(filter[i] / sum);
  }
}

int SampleConverter::OutputCapacity(int inFrames) const {
  if (!IsConfigured()) return 0;
  if (!Resampling()) return std::max(inFrames, 0);
  // Outputs of one call lie in an input interval at most one frame longer than the block.
  const std::int64_t frames = std::max(inFrames, kFlushFrames) + 2;
  const std::int64_t capacity = frames * m_step.den / m_step.num + 2;
  return static_cast<int>(std::min<std::int64_t>(capacity, INT_MAX));
}

int SampleConverter::Convert(const void* inLeft, const void* inRight, int frames, void* outLeft,
                             void* outRight) {
  if (!IsConfigured() || m_flushed || frames <= 0) return 0;
  const int chunk = Resampling() ? kMaxBlockFrames : kStageFrames;
  int produced = 0;
  for (int done = 0; done < frames; done += chunk) {
    produced += ConvertChunk(inLeft, inRight, done, std::min(chunk, frames - done), outLeft, outRight,
                             produced);
  }
  return produced;
}

int SampleConverter::ConvertChunk(const void* inLeft, const void* inRight, int inOffset, int frames,
                                  void* outLeft, void* outRight, int outOffset) {
  const void* inputs[2] = {inLeft, inRight};
  if (!Resampling()) {
    for (int c = 0; c < m_inChannels; ++c) {
      for (int i = 0; i < frames; ++i) m_stage[c][i] = ReadSample(inputs[c], m_inBits, inOffset + i);
    }
    Emit(frames, outLeft, outRight, outOffset);
    return frames;
  }

  for (int c = 0; c < m_inChannels; ++c) {
    float* block = m_window[c].data() + kHistoryFrames;
    for (int i = 0; i < frames; ++i) block[i] = static_cast<float>(ReadSample(inputs[c], m_inBits, inOffset + i));
  }
  const int produced = RunResampler(frames, false, outLeft, outRight, outOffset);
  // The block becomes history: the next block's index 0 follows its last sample.
  m_nextIndex -= frames;
  for (int c = 0; c < m_inChannels; ++c) {
    std::copy_n(m_window[c].begin() + frames, kHistoryFrames, m_window[c].begin());
  }
  return produced;
}

int SampleConverter::Flush(void* outLeft, void* outRight) {
  if (!IsConfigured() || m_flushed) return 0;
  m_flushed = true;
  if (!Resampling()) return 0;
  for (int c = 0; c < m_inChannels; ++c) {
    std::fill_n(m_window[c].begin() + kHistoryFrames, kFlushFrames, static_cast<float>(Silence()));
  }
  return RunResampler(kFlushFrames, true, outLeft, outRight, 0);
}

int SampleConverter::RunResampler(int available, bool flushing, void* outLeft, void* outRight,
                                  int outOffset) {
  int produced = 0;
  for (;;) {
    const int got = Resample(available, flushing, kStageFrames);
    Emit(got, outLeft, outRight, outOffset + produced);
    produced += got;
    if (got < kStageFrames) return produced;
  }
}

// Produces up to `limit` outputs into m_stage from the `available` samples after the history.
// An output is made once its last tap is inside the input; when flushing, every output
// centred before the end of the real input is made, its later taps reading the silence.
int SampleConverter::Resample(int available, bool flushing, int limit) {
  const int taps = m_order + 1;
  const bool evenTaps = m_order % 2 == 1;
  const std::int64_t half = m_order / 2;
  const std::int64_t p = m_phases;
  const std::int32_t lo = m_inBits == 8 ? 0 : kMin16;
  const std::int32_t hi = m_inBits == 8 ? kMax8 : kMax16;

  int produced = 0;
  while (produced < limit) {
    // The output is centred at m_nextIndex + r / den.
    const std::int64_t r = m_nextRemainder;
    const std::int64_t den = m_step.den;
    if (flushing && m_nextIndex >= 0) break;
    const std::int64_t nearest = (4 * p * r + den) / (2 * den);  // round(2P * r / den)
    std::int64_t first;
    std::int64_t phase;
    if (evenTaps) {
      // Offsets -0.5 .. 0.5 from the midpoint between taps half and half + 1.
      first = m_nextIndex - half;
      phase = nearest;
    } else if (2 * r <= den) {
      // Offsets 0 .. 0.5 from the centre tap.
      first = m_nextIndex - half;
      phase = nearest + p;
    } else {
      // Closer to the next input sample: centre there with a negative offset.
      first = m_nextIndex + 1 - half;
      phase = nearest - p;
    }
    if (first + m_order >= available) break;
    phase = std::clamp<std::int64_t>(phase, 0, 2 * p);

    const float* filter = m_bank.data() + phase * taps;
    const std::ptrdiff_t base = kHistoryFrames + first;
    for (int c = 0; c < m_inChannels; ++c) {
      const double sum = DotProduct(m_window[c].data() + base, filter, taps);
      // Rounded, not truncated: the taps sum to 1 only within float precision, and truncating
      // 127.99999 would turn 8-bit silence into 127. Overshoot saturates instead of wrapping.
      const double clipped = std::clamp(std::floor(sum + 0.5), static_cast<double>(lo), static_cast<double>(hi));
      m_stage[c][produced] = static_cast<std::int32_t>(clipped);
    }
    ++produced;

    m_nextRemainder += m_step.num;
    m_nextIndex += m_nextRemainder / den;
    m_nextRemainder %= den;
  }
  return produced;
}

// Channel count, then width, from m_stage into the caller's buffers.
void SampleConverter::Emit(int frames, void* outLeft, void* outRight, int outOffset) const {
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

}  // namespace velmora
