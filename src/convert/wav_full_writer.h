#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "convert/file_outcome.h"
#include "convert/sample_hash.h"
#include "platform/output_file.h"

namespace velmora {

// The layout of a full-resolution WAV file: 1 to 6 channels of 8, 16, 24 or 32-bit integer
// samples, or 32 or 64-bit float samples.
struct WavFullFormat {
  int channels = 0;
  int sampleRate = 0;
  int bits = 0;
  bool isFloat = false;
};

// The speaker mask of `channels` channels in AIFF order, where AIFF's order is also WAV's:
// mono is front centre, stereo front left and right, three channels add the centre. AIFF's
// four channels (quadraphonic or left, centre, right, surround) and six channels (left, left
// centre, centre, right, right centre, surround) follow no WAV speaker order: 0, no speakers.
std::uint32_t WavChannelMask(int channels);

// Writes one WAV file at full resolution from interleaved blocks. Mono and stereo of 8 or 16
// bits get the plain 44-byte PCM header; everything else the extensible format and a fact
// chunk. The sizes are patched at Close, and an odd data size gets its pad byte. A file planned
// to pass the 32-bit RIFF size is RF64 instead, with a ds64 chunk after "WAVE".
class WavFullWriter {
 public:
  WavFullWriter() = default;
  virtual ~WavFullWriter() = default;
  WavFullWriter(const WavFullWriter&) = delete;
  WavFullWriter& operator=(const WavFullWriter&) = delete;

  // Whether `frames` frames of `format` and `trailingBytes` of trailing chunks pass a plain WAV
  // file's size.
  static bool NeedsRf64(std::uint64_t frames, const WavFullFormat& format, std::uint64_t trailingBytes);

  // The frames the file will hold at most, for Open to choose between plain WAV and RF64 (with
  // the trailing chunks set by then); 0 (the default) for plain WAV.
  void PlanFrames(std::uint64_t frames) { m_plannedFrames = frames; }

  // Writes the header into an output file that Velmora created for this conversion; the file
  // must outlive the writer. False for a layout outside the above, a byte rate past 32 bits,
  // or a failed write.
  bool Open(OutputFile& file, const WavFullFormat& format);

  // Appends interleaved frames: int32_t samples right-justified at the format's width (8-bit
  // ones signed), float for 32-bit float and double for 64-bit float. False once anything
  // failed, including data that would take a plain WAV file past its 4 GiB limit.
  bool Write(const void* frames, int count);

  // Chunks written after the sound data by Close (a tag list), whole and padded to an even
  // length; the RIFF size covers them. Set before Open, which counts them.
  void SetTrailingChunks(std::vector<std::uint8_t> chunks) { m_trailing = std::move(chunks); }

  // Patches the header sizes and closes the file. False when any write or the close failed.
  bool Close();

  // Why the writer failed: WriteFailed with the system's reason, WavTooLarge or WavRateTooHigh.
  FileOutcome Failure() const;

  // Whether Written() carries the SampleHash of the samples (it costs a multiply a sample).
  void SetHashing(bool on) { m_hashing = on; }
  // What was handed to the writer so far: frames, rate, channels, and with hashing the SampleHash
  // of the samples as given to Write.
  WrittenSound Written() const {
    return {m_frames, m_format.sampleRate, m_format.channels,
            m_hashing ? std::optional<std::uint64_t>(m_hash.Value()) : std::nullopt};
  }

 private:
  OutputFile* m_file = nullptr;
  WavFullFormat m_format;
  std::uint64_t m_plannedFrames = 0;
  bool m_rf64 = false;
  std::uint32_t m_headerBytes = 0;
  std::uint32_t m_factOffset = 0;  // 0: no fact chunk
  std::uint64_t m_frames = 0;
  std::uint64_t m_dataBytes = 0;
  bool m_hashing = false;
  SampleHash m_hash;
  bool m_failed = false;
  bool m_tooLarge = false;
  bool m_rateTooHigh = false;
  std::vector<std::uint8_t> m_scratch;
  std::vector<std::uint8_t> m_trailing;
};

}  // namespace velmora
