#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace velmora {

// A programme's loudness by ITU-R BS.1770-4 and EBU R128: integrated loudness (gated) in LUFS,
// loudness range in LU and true peak (4x oversampled below 96 kHz) in dBTP. Sound too short
// or too quiet for the gate has no integrated loudness.
struct Loudness {
  std::optional<double> integrated;  // LUFS
  double range = 0;                  // LU
  double truePeak = 0;               // linear, 1.0 = full scale
  std::uint64_t nonFinite = 0;       // NaN and infinite samples, measured as silence
  double TruePeakDb() const;         // dBTP; very low for silence
};

// Measures one stream of interleaved frames, fed in order. Several meters can be summed up as
// one programme (an album): the gate then runs over all of their blocks together.
//
// The meter keeps the energy of every 400 ms gating block itself (8 bytes for each 100 ms of
// sound), so that a finished meter can let go of the library's state, a few hundred kilobytes,
// and so that the loudness can be told as it will be once a gain is applied: the absolute gate
// at -70 LUFS then lets in blocks it shut out before.
class LoudnessMeter {
 public:
  // The rates the meter measures correctly. Below 18 Hz the library either refuses the rate or,
  // at 16 and 17 Hz, writes past its own buffer.
  static constexpr int kMinRate = 18;
  static constexpr int kMaxRate = 2822400;
  static bool MeasurableRate(int rate) { return rate >= kMinRate && rate <= kMaxRate; }

  LoudnessMeter();
  ~LoudnessMeter();
  LoudnessMeter(LoudnessMeter&&) noexcept;
  LoudnessMeter& operator=(LoudnessMeter&&) noexcept;

  // False when the format cannot be measured (no channels, a rate outside the bounds above) or
  // there is no memory. With more than two channels the roles follow AIFF's orders: the third
  // and fourth of four channels and the sixth of six are surround channels, weighted as BS.1770
  // weights them. Without the range the library's window is 400 ms of sound instead of 3 s.
  bool Start(int channels, int sampleRate, bool withRange = true);
  // Adds frames; the samples of one frame are consecutive. int32_t samples are right-justified
  // at `bits` bits. Samples that are not finite count as silence and are counted.
  void AddInt32(const std::int32_t* samples, std::size_t frames, int bits);
  void AddFloat(const float* samples, std::size_t frames);
  void AddDouble(const double* samples, std::size_t frames);
  // Counts samples that were not numbers, which the meter's feeder already made finite.
  void CountNonFinite(std::uint64_t samples) { m_nonFinite += samples; }
  // Ends the measurement: the peaks and the range are taken and the library's state is released.
  // Nothing can be added afterwards; the results stay.
  void Finish();

  Loudness Result() const;
  // The meters' streams measured as one programme; the true peak is the highest of them.
  static Loudness Together(const std::vector<const LoudnessMeter*>& meters);
  // The integrated loudness of the meters' streams together once `gainDb` is applied, in LUFS.
  static std::optional<double> IntegratedWithGain(const std::vector<const LoudnessMeter*>& meters, double gainDb);

 private:
  struct State;
  template <typename Sample, typename Add>
  void Feed(const Sample* samples, std::size_t frames, Add add);
  void TakePeaks();

  std::unique_ptr<State> m_state;
  int m_channels = 0;
  std::vector<double> m_blocks;  // the mean square of every gating block, weighted by channel
  double m_truePeak = 0;
  double m_range = 0;
  std::uint64_t m_nonFinite = 0;
  std::vector<float> m_scratch;  // conversion of int32_t samples
  std::vector<double> m_finite;  // float and double frames with their non-finite samples silenced
};

}  // namespace velmora
