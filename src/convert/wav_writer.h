#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/file_outcome.h"
#include "convert/sample_hash.h"
#include "platform/output_file.h"

namespace velmora {

// Writes one PCM RIFF WAVE file (1 or 2 channels, 8 or 16 bits): a 44-byte header whose two
// size fields are patched at Close, then the frames, interleaved from planar blocks. A file
// planned to pass the 32-bit RIFF size is RF64 instead, its header 36 bytes longer.
class WavWriter {
 public:
  static constexpr std::uint32_t kHeaderBytes = 44;

  WavWriter() = default;
  virtual ~WavWriter() = default;
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Whether `frames` frames and `trailingBytes` of trailing chunks pass a plain WAV file's size.
  static bool NeedsRf64(std::uint64_t frames, bool stereo, int bitsPerSample, std::uint64_t trailingBytes);

  // The frames the file will hold at most, for Open to choose between plain WAV and RF64 (with
  // the trailing chunks set by then); 0 (the default) for plain WAV.
  void PlanFrames(std::uint64_t frames) { m_plannedFrames = frames; }

  // Writes the header into an output file that Velmora created for this conversion; the file
  // must outlive the writer. False when the format does not fit a WAV header (a byte rate past
  // 32 bits) or the write failed.
  bool Open(OutputFile& file, bool stereo, int bitsPerSample, int sampleRate);

  // Chunks written after the sound data by Close (a tag list), whole and padded to an even
  // size; the data chunk gets its pad byte when it is odd. Set before Open, which counts them.
  void SetTrailingChunks(std::vector<std::uint8_t> chunks) { m_trailing = std::move(chunks); }

  // Append frames; the right buffer is read only for stereo. False once anything failed,
  // including data that would take a plain WAV file past its 4 GiB limit.
  bool Write16(const std::int16_t* left, const std::int16_t* right, int frames);
  bool Write8(const std::uint8_t* left, const std::uint8_t* right, int frames);

  // Patches the header sizes and closes the file. False when any write or the close failed.
  bool Close();

  // Why the writer failed: WriteFailed with the system's reason, WavTooLarge or WavRateTooHigh.
  FileOutcome Failure() const;

  // Whether Written() carries the SampleHash of the samples (it costs a multiply a sample).
  void SetHashing(bool on) { m_hashing = on; }
  // What was handed to the writer so far: frames, rate, channels, and with hashing the SampleHash
  // of the interleaved samples (8-bit ones made signed, as a read-back hashes them).
  WrittenSound Written() const {
    return {m_frames, m_sampleRate, m_channels,
            m_hashing ? std::optional<std::uint64_t>(m_hash.Value()) : std::nullopt};
  }

 private:
  bool Append(const std::uint8_t* bytes, std::size_t size);
  void Hash(const std::int16_t* left, const std::int16_t* right, std::size_t frames);

  OutputFile* m_file = nullptr;
  std::uint64_t m_plannedFrames = 0;
  bool m_rf64 = false;
  std::uint32_t m_headerBytes = kHeaderBytes;
  int m_channels = 0;
  int m_sampleRate = 0;
  std::uint64_t m_dataBytes = 0;
  std::uint64_t m_frames = 0;
  bool m_hashing = false;
  SampleHash m_hash;
  std::vector<std::int32_t> m_samples;  // one block interleaved, for the hash
  bool m_failed = false;
  bool m_tooLarge = false;
  bool m_rateTooHigh = false;
  std::vector<std::uint8_t> m_scratch;
  std::vector<std::uint8_t> m_trailing;
};

}  // namespace velmora
