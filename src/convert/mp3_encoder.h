#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "convert/id3_block.h"
#include "platform/output_file.h"

struct lame_global_struct;

namespace velmora {

// Writes one MP3 file through libmp3lame, with an optional tag before the first frame and an
// optional ID3v1 block at the end. Constant bit
// rate by default, as a strictly sequential stream of audio frames; or variable bit rate at a
// quality level. A variable-bit-rate stream, and a constant one when asked for gapless
// playback, opens with an information frame (frame count, seek table, encoder delay and
// padding) that lets players show the duration and trim the encoder's silence. Usage: Open,
// the setters, Start, Encode per block, then Close. Parameters left unset keep the library's
// defaults, which it resolves for the input in Start(). The output file belongs to the caller,
// who discards it when anything failed.
class Mp3Encoder {
 public:
  Mp3Encoder() = default;
  virtual ~Mp3Encoder();
  Mp3Encoder(const Mp3Encoder&) = delete;
  Mp3Encoder& operator=(const Mp3Encoder&) = delete;

  // Writes into an already created output file, which must outlive the encoder. False when the
  // library cannot be initialised.
  bool Open(OutputFile& file);

  void SetId3Block(const Id3Block& block) { m_id3 = block; }
  // A tag written before the first frame (an ID3v2 tag), by Start.
  void SetLeadingTag(std::vector<std::uint8_t> tag) { m_leadingTag = std::move(tag); }
  void SetInputChannels(int channels);  // <= 0 becomes 1, > 2 becomes 2
  void SetInputRate(int hz) { m_inputRate = hz; }
  void SetBitRate(int kbps);          // clamped to 8..320
  void SetOutputRate(int hz) { m_outputRate = hz; }
  void SetChannelMode(int mode);      // the library's 0 stereo, 1 joint stereo, 3 mono; else 0
  // Variable bit rate at quality 0 (best) to 9, clamped; kMp3ConstantBitRate (or any negative
  // value) keeps the constant bit rate. The bit rate is then ignored.
  void SetVbrQuality(int quality);
  // Whether a constant-bit-rate stream gets the information frame too.
  void SetGapless(bool on) { m_gapless = on; }
  // ReplayGain for the information frame, in place of the library's own: gains in dB, the
  // track's peak linear (1.0 = full scale).
  struct ReplayGain {
    double trackGain = 0;
    std::optional<double> albumGain;
    double peak = 0;
  };
  void SetReplayGain(const ReplayGain& values) { m_replayGain = values; }

  // Applies the parameters; false when the library rejects them or cannot write the requested
  // output rate.
  bool Start();
  // Before or without Open: the output rate and channel count the library would choose for
  // the parameters set so far; nothing when it rejects them.
  struct Output {
    int rate = 0;
    int channels = 0;
  };
  std::optional<Output> PlannedOutput() const;
  // After Start: false when a constant-bit-rate stream asked to be gapless has frames too small
  // to hold the information frame (always so at 8 kbit/s), so the library leaves it out.
  bool GaplessFrameFits() const;
  // After Start: the bit rate, output rate and channels the library chose, in kbit/s and Hz.
  int BitRate() const;
  int OutputRate() const;
  int OutputChannels() const;
  // Encodes `frames` 16-bit frames (right may be null for one channel) and writes the result.
  bool Encode(const std::int16_t* left, const std::int16_t* right, int frames);
  // The same for samples not cut to 16 bits: floats on the 16-bit scale (+-32768 = full scale).
  // Whole numbers give the bytes Encode gives for the same samples.
  bool EncodeFloat(const float* left, const float* right, int frames);
  // Flushes the encoder, appends the ID3 block and closes the file. False when anything failed
  // since Open: encoding, writing (a full disk), closing; the file's Error() tells why.
  bool Close();

  // After Close: the frames of sound the stream holds at the output rate, without the encoder's
  // delay and padding: those handed to Encode, or as many as the encoder's resampler made of them.
  std::uint64_t OutputFrames() const { return m_outputFrames; }

  // The output buffer's size for a block of `inputFrames` at these rates: the library's worst
  // case of 1.25 bytes per output sample plus 7200, where the output samples of a block grow
  // with the ratio of the rates.
  static std::size_t OutputBufferBytes(int inputFrames, int inputRate, int outputRate);

 private:
  bool ApplyParameters(lame_global_struct* lame) const;
  template <typename Sample, typename EncodeBuffer>
  bool EncodeInPieces(const Sample* left, const Sample* right, int frames, EncodeBuffer encodeBuffer);
  bool WriteOutput(int bytes);
  bool WriteInformationFrame();
  void ReleaseEncoder();

  OutputFile* m_file = nullptr;
  lame_global_struct* m_lame = nullptr;
  bool m_started = false;
  bool m_failed = false;
  std::vector<std::uint8_t> m_output;
  std::optional<Id3Block> m_id3;
  std::vector<std::uint8_t> m_leadingTag;
  int m_inputChannels = 2;
  std::optional<int> m_inputRate;
  std::optional<int> m_bitRate;
  std::optional<int> m_outputRate;
  std::optional<int> m_mode;
  std::optional<int> m_vbrQuality;
  bool m_gapless = false;
  std::optional<ReplayGain> m_replayGain;
  // Where the encoder's first frame begins, known with its first bytes: the information frame
  // is written over it at the end. Whatever the caller wrote before (a tag) stays in front.
  std::optional<std::uint64_t> m_streamStart;
  std::uint64_t m_outputFrames = 0;
};

}  // namespace velmora
