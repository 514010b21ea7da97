#pragma once

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "audio/source_tags.h"
#include "audio/tag_note.h"
#include "convert/file_outcome.h"
#include "convert/tag_writer.h"
#include "platform/output_file.h"

namespace velmora {

// The layout of a FLAC stream: 1 to 8 channels of 4 to 32-bit integer samples.
struct FlacFormat {
  int channels = 0;
  int sampleRate = 0;
  int bits = 0;
};

// What the metadata blocks after STREAMINFO carry.
struct FlacMetadata {
  SourceTags tags;
  NamedTexts named;                                        // REPLAYGAIN_* and the like, as Vorbis comments
  std::optional<std::uint32_t> channelMask;                // the speaker mask, as the flac tool keeps it in a comment
  std::vector<std::vector<std::uint8_t>> applicationAiff;  // payloads of "aiff" APPLICATION blocks
};

// Writes one FLAC file through the encoder library onto an OutputFile: a seek table with a
// point every 10 seconds, the tags as Vorbis comments, the pictures, the kept chunks and some
// padding for later tag edits. The encoder computes the MD5 of the samples and, at Close, goes
// back to fill STREAMINFO and the seek table in.
class FlacWriter {
 public:
  FlacWriter() = default;
  ~FlacWriter();
  FlacWriter(const FlacWriter&) = delete;
  FlacWriter& operator=(const FlacWriter&) = delete;

  // Starts the stream in a file Velmora created for it; the file must outlive the writer.
  // `frames` is what the source announces, for the seek table. A picture too large for a
  // metadata block is left out with a note in `notes`. False when the encoder refuses the
  // format or a write failed.
  bool Open(OutputFile& file, const FlacFormat& format, int level, std::uint64_t frames, const FlacMetadata& metadata,
            std::vector<TagNote>& notes);

  // Encodes interleaved frames, each sample right-justified at the format's width.
  bool Write(const std::int32_t* frames, int count);

  // Ends the stream and closes the file. False when anything failed.
  bool Close();

  // Why the writer failed: InvalidSampleRate for a rate FLAC cannot carry, OutOfMemory, or
  // WriteFailed with the system's reason.
  FileOutcome Failure() const;

 private:
  bool BuildMetadata(const FlacFormat& format, std::uint64_t frames, const FlacMetadata& metadata,
                     std::vector<TagNote>& notes);
  bool Fail();
  bool WriteBytes(const std::uint8_t* data, std::size_t size);

  friend struct FlacCallbacks;  // the encoder's write, seek and tell, onto m_file

  OutputFile* m_file = nullptr;
  FLAC__StreamEncoder* m_encoder = nullptr;
  std::vector<FLAC__StreamMetadata*> m_blocks;
  FLAC__StreamMetadata* m_seekTable = nullptr;  // in m_blocks, when there is one
  std::uint64_t m_position = 0;                 // where the encoder writes next
  std::uint64_t m_frames = 0;                   // frames handed to the encoder
  int m_rate = 0;
  bool m_failed = false;
  bool m_badRate = false;
  bool m_outOfMemory = false;
};

}  // namespace velmora
