#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "audio/aiff_error.h"
#include "audio/block_decoder.h"
#include "audio/sampler_info.h"
#include "audio/source_info.h"
#include "audio/source_tags.h"
#include "platform/mapped_file.h"

namespace velmora {

// One chunk of the container as the file lays it out: where its header starts, its id and the
// size its header declares (without the pad byte after an odd size).
struct ChunkPlace {
  std::array<char, 4> id{};
  std::size_t offset = 0;
  std::uint64_t size = 0;
};

// The container's layout, for a writer that keeps the source's chunks as they are: the FORM
// header, every chunk walked in file order, and whether the walk met the file's end exactly
// (the chunks, padded, fill the file; no chunk runs past it; none left uncounted).
struct ChunkLayout {
  std::span<const std::uint8_t> file;  // the whole file's bytes, valid until Close
  std::vector<ChunkPlace> chunks;
  bool complete = false;
};

// One open AIFF or AIFF-C source: maps the file, parses its container, and delivers the sound
// data as blocks of at most kMaxBlockFrames decoded frames. Forward only; a second pass needs a
// new Open. A reader belongs to one thread.
class AiffReader {
 public:
  AiffReader() = default;
  virtual ~AiffReader();
  AiffReader(const AiffReader&) = delete;
  AiffReader& operator=(const AiffReader&) = delete;

  // Closes the reader, then opens and parses `path`. On failure the reader is closed and
  // Error()/ErrorText() say why.
  bool Open(const std::string& path);

  // Parses an AIFF image already in memory (the bytes must outlive the reader). For tests
  // and the fuzzer; Open uses the same parser.
  bool OpenMemory(const std::uint8_t* bytes, std::size_t size);

  const SourceInfo& Info() const { return m_info; }

  // The most frames ReadBlock or ReadFullBlock can deliver: Info().frames, or more when the
  // sound data holds more than COMM counts (it is decoded too). For an output planned before
  // the first block.
  std::uint64_t MostFrames() const { return m_mostFrames; }

  // The file's metadata chunks that lie wholly inside it, in file order, and the tags they
  // hold. Valid until Close; parsing the tags reads the mapping again, so it costs nothing
  // for callers that do not ask, and the pages read are let go again afterwards.
  SourceTags Tags(const TagReading& reading = {}) const;

  // The markers, and the instrument's notes and loops, of the file's first MARK and INST
  // chunks that lie wholly inside it. Valid until Close.
  SamplerInfo Sampler() const;

  // Decodes the next block into the planar buffers, each with room for kMaxBlockFrames
  // samples: int16_t when Info().outputBits is 16, uint8_t when it is 8. `right` may be null
  // when Info().outputChannels is 1. Returns the frames written, 0 when nothing could be
  // decoded; sets `end` once the data is used up (the frames of that call are valid) and
  // never clears it. If the file shrank under the reader, returns 0 with `end` set and
  // Error() is SourceChanged.
  int ReadBlock(void* left, void* right, bool& end);

  // Decodes the next block at full resolution instead: every channel, interleaved, as
  // Info().fullBits and fullFloat say (int32_t, float or double), into room for
  // kMaxBlockFrames frames. Returns and ends like ReadBlock; a stream is read with one of the
  // two throughout.
  int ReadFullBlock(void* frames, bool& end);

  // The file's chunks in file order (at most kMaxLayoutChunks; a file with more is not
  // complete).
  ChunkLayout Layout() const;

  void Close();

  AiffError Error() const { return m_error; }
  std::string ErrorText() const { return AiffErrorMessage(m_error, m_errorDetail); }
  const std::string& ErrorDetail() const { return m_errorDetail; }

 private:
  bool Parse(const std::uint8_t* bytes, std::size_t size);
  bool ParseComm(std::size_t offset, std::uint64_t size, bool aifc);
  bool ParseSsnd(std::size_t offset, std::uint64_t size);
  bool Fail(AiffError error, std::string detail = {});
  int Finish(int frames, bool& end);

  MappedFile m_file;
  SourceInfo m_info;
  SoundData m_data;
  std::size_t m_fileSize = 0;
  std::uint64_t m_ssndDataSize = 0;
  std::uint64_t m_mostFrames = 0;  // declared SSND data size after the offset, for IMA4/GSM frames
  std::vector<MetadataChunk> m_metadata;
  std::vector<ChunkPlace> m_chunks;
  MetadataChunk m_mark;  // the first MARK and INST chunks; data null when there is none
  MetadataChunk m_inst;
  bool m_chunksComplete = false;
  bool m_chunksLeftOut = false;
  std::size_t m_metadataLeftOut = 0;  // chunks past kMaxMetadataChunks
  std::unique_ptr<BlockDecoder> m_decoder;
  AiffError m_error = AiffError::None;
  std::string m_errorDetail;
};

// The chunks a layout lists at most: a file of millions of empty chunks is read, not listed.
inline constexpr std::size_t kMaxLayoutChunks = std::size_t{1} << 16;

// The 80-bit IEEE extended sample rate, truncated toward zero to an integer; values of
// magnitude 2^63 or more, infinities and NaNs give 0.
std::int32_t ConvertFromExtended(const std::uint8_t bytes[10]);

}  // namespace velmora
