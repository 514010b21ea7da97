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

// Writes one MP3 file through libmp3lame: constant bit rate, no VBR information frame, an
// optional tag before the first frame and an optional ID3v1 block at the end. Usage: Open, the setters, Start, Encode per block, then
// Close. Parameters left unset keep the library's defaults, which it resolves for the input in
// Start(). The output file belongs to the caller, who discards it when anything failed.
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

  // Applies the parameters; false when the library rejects them or cannot write the requested
  // output rate.
  bool Start();
  // Encodes `frames` 16-bit frames (right may be null for one channel) and writes the result.
  bool Encode(const std::int16_t* left, const std::int16_t* right, int frames);
  // Flushes the encoder, appends the ID3 block and closes the file. False when anything failed
  // since Open: encoding, writing (a full disk), closing; the file's Error() tells why.
  bool Close();

  // The output buffer's size for a block of `inputFrames` at these rates: the library's worst
  // case of 1.25 bytes per output sample plus 7200, where the output samples of a block grow
  // with the ratio of the rates.
  static std::size_t OutputBufferBytes(int inputFrames, int inputRate, int outputRate);

 private:
  bool WriteOutput(int bytes);
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
};

}  // namespace velmora
