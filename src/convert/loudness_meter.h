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
  double TruePeakDb() const;         // dBTP; very low for silence
};

// Measures one stream of interleaved frames, fed in order. Several meters can be summed up as
// one programme (an album): the gate then runs over all of their blocks together.
class LoudnessMeter {
 public:
  LoudnessMeter();
  ~LoudnessMeter();
  LoudnessMeter(LoudnessMeter&&) noexcept;
  LoudnessMeter& operator=(LoudnessMeter&&) noexcept;

  // False when the library refuses the format (no channels, a rate it cannot take) or has no
  // memory. With more than two channels the roles follow AIFF's orders: the third and fourth
  // of four channels and the sixth of six are surround channels, weighted as BS.1770 weights
  // them. Without the range the meter's window is 400 ms of sound instead of 3 seconds, which
  // is what it holds besides 16 bytes for every 100 ms measured.
  bool Start(int channels, int sampleRate, bool withRange = true);
  // Adds frames; the samples of one frame are consecutive. 8-bit samples are unsigned with
  // silence at 128; int32_t samples are right-justified at `bits` bits.
  void AddInt16(const std::int16_t* samples, std::size_t frames);
  void AddUint8(const std::uint8_t* samples, std::size_t frames);
  void AddInt32(const std::int32_t* samples, std::size_t frames, int bits);
  void AddFloat(const float* samples, std::size_t frames);
  void AddDouble(const double* samples, std::size_t frames);

  Loudness Result() const;
  // The meters' streams measured as one programme; the true peak is the highest of them.
  static Loudness Together(const std::vector<const LoudnessMeter*>& meters);

 private:
  struct State;
  std::unique_ptr<State> m_state;
  std::vector<float> m_scratch;  // conversion of the narrow integer formats
};

}  // namespace velmora
