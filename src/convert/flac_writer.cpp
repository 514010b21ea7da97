#include "convert/flac_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "convert/aiff_chunk_blocks.h"

namespace velmora {

// The encoder's callbacks: writes go to the end of the file or, after a seek back (STREAMINFO
// and the seek table at the end), over what is there.
struct FlacCallbacks {
  static FLAC__StreamEncoderWriteStatus Write(const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t bytes,
                                              uint32_t, uint32_t, void* client) {
    return static_cast<FlacWriter*>(client)->WriteBytes(buffer, bytes) ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK
                                                                       : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
  }
  static FLAC__StreamEncoderSeekStatus Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* client) {
    auto* writer = static_cast<FlacWriter*>(client);
    if (offset > writer->m_file->Size()) return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
    writer->m_position = offset;
    return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
  }
  static FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* client) {
    *offset = static_cast<FlacWriter*>(client)->m_position;
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
  }
};

namespace {

constexpr std::uint32_t kSeekPointSeconds = 10;
constexpr std::uint64_t kMaxSeekPoints = 4096;  // 27 hours at one every 10 seconds
constexpr unsigned kPaddingBytes = 8192;        // room for tags added later without rewriting the file
// A picture block's fixed fields: type, the two lengths of mime type and description, width,
// height, depth, colours and the data's length.
constexpr std::size_t kPictureFixedBytes = 32;
constexpr unsigned kLastPictureType = FLAC__STREAM_METADATA_PICTURE_TYPE_PUBLISHER_LOGOTYPE;

// Vorbis comment names of the tags, as players read them.
// A value that is not UTF-8 is left out (the tags are UTF-8; this guards the file).
void AddComment(FLAC__StreamMetadata* block, const char* name, const std::string& value, bool& ok) {
  if (value.empty() || !ok) return;
  FLAC__StreamMetadata_VorbisComment_Entry entry;
  if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name, value.c_str())) return;
  ok = FLAC__metadata_object_vorbiscomment_append_comment(block, entry, false);
  if (!ok) std::free(entry.entry);
}

// The ID3 picture type where FLAC takes it: FLAC allows one file icon of each kind, the
// standard one only as a 32x32 PNG, which is not checked here; such pictures become "other".
unsigned PictureType(int type, bool& iconSeen) {
  if (type < 0 || static_cast<unsigned>(type) > kLastPictureType) return 0;
  if (type == FLAC__STREAM_METADATA_PICTURE_TYPE_FILE_ICON_STANDARD) return 0;
  if (type == FLAC__STREAM_METADATA_PICTURE_TYPE_FILE_ICON) {
    if (iconSeen) return 0;
    iconSeen = true;
  }
  return static_cast<unsigned>(type);
}

// A MIME type FLAC accepts: printable ASCII.
std::string PictureMime(const std::string& mime) {
  for (const char c : mime) {
    if (c < 0x20 || c > 0x7E) return "image/";
  }
  return mime;
}

}  // namespace

FlacWriter::~FlacWriter() {
  // Deleting an unfinished encoder finishes its stream: a failed or cancelled file takes no
  // more writes.
  m_failed = true;
  if (m_encoder) FLAC__stream_encoder_delete(m_encoder);
  for (FLAC__StreamMetadata* block : m_blocks) FLAC__metadata_object_delete(block);
}

bool FlacWriter::Fail() {
  m_failed = true;
  return false;
}

bool FlacWriter::WriteBytes(const std::uint8_t* data, std::size_t size) {
  if (m_failed) return false;
  const std::uint64_t end = m_file->Size();
  if (m_position < end) {
    const std::size_t over = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - m_position));
    if (!m_file->WriteAt(m_position, data, over)) return Fail();
    m_position += over;
    data += over;
    size -= over;
  }
  if (size > 0 && !m_file->Write(data, size)) return Fail();
  m_position += size;
  return true;
}

bool FlacWriter::BuildMetadata(const FlacFormat& format, std::uint64_t frames, const FlacMetadata& metadata,
                               std::vector<TagNote>& notes) {
  const auto add = [this](FLAC__MetadataType type) {
    FLAC__StreamMetadata* block = FLAC__metadata_object_new(type);
    if (block) m_blocks.push_back(block);
    return block;
  };
  if (frames > 0) {
    // A point every 10 seconds, but never more than kMaxSeekPoints: the frame count is the
    // header's word, and a long file at a low rate would otherwise ask for millions.
    const std::uint64_t spacing =
        std::max<std::uint64_t>(kSeekPointSeconds * static_cast<std::uint64_t>(format.sampleRate),
                                (frames + kMaxSeekPoints - 1) / kMaxSeekPoints);
    FLAC__StreamMetadata* table = m_seekTable = add(FLAC__METADATA_TYPE_SEEKTABLE);
    if (!table ||
        !FLAC__metadata_object_seektable_template_append_spaced_points_by_samples(
            table, static_cast<std::uint32_t>(std::min<std::uint64_t>(spacing, UINT32_MAX)), frames) ||
        !FLAC__metadata_object_seektable_template_sort(table, true)) {
      return false;
    }
  }

  FLAC__StreamMetadata* comments = add(FLAC__METADATA_TYPE_VORBIS_COMMENT);
  if (!comments) return false;
  bool ok = true;
  const SourceTags& tags = metadata.tags;
  AddComment(comments, "TITLE", tags.title, ok);
  AddComment(comments, "ARTIST", tags.artist, ok);
  AddComment(comments, "ALBUM", tags.album, ok);
  AddComment(comments, "DATE", tags.year, ok);
  AddComment(comments, "GENRE", tags.genre, ok);
  // "3/12" is track 3 of 12.
  const std::size_t slash = tags.track.find('/');
  AddComment(comments, "TRACKNUMBER", tags.track.substr(0, slash), ok);
  if (slash != std::string::npos) AddComment(comments, "TRACKTOTAL", tags.track.substr(slash + 1), ok);
  AddComment(comments, "COMMENT", tags.comment, ok);
  AddComment(comments, "COPYRIGHT", tags.copyright, ok);
  for (const auto& [name, value] : metadata.named) AddComment(comments, name.c_str(), value, ok);
  if (metadata.channelMask) {
    char mask[16];
    std::snprintf(mask, sizeof mask, "0x%04X", static_cast<unsigned>(*metadata.channelMask));
    AddComment(comments, "WAVEFORMATEXTENSIBLE_CHANNEL_MASK", mask, ok);
  }
  if (!ok) return false;

  bool iconSeen = false;
  TagNote tooLarge{TagNote::Kind::PictureOverBlock, {}, 0, 0, kMaxFlacBlockBytes};
  for (const TagPicture& picture : tags.pictures) {
    std::string mime = PictureMime(picture.mimeType);
    const std::size_t bytes = kPictureFixedBytes + mime.size() + picture.description.size() + picture.data.size();
    if (bytes > kMaxFlacBlockBytes) {
      ++tooLarge.count;
      tooLarge.bytes += picture.data.size();
      continue;
    }
    FLAC__StreamMetadata* block = add(FLAC__METADATA_TYPE_PICTURE);
    if (!block) return false;
    block->data.picture.type = static_cast<FLAC__StreamMetadata_Picture_Type>(PictureType(picture.type, iconSeen));
    std::string description = picture.description;
    if (!FLAC__metadata_object_picture_set_mime_type(block, mime.data(), true) ||
        !FLAC__metadata_object_picture_set_description(block, reinterpret_cast<FLAC__byte*>(description.data()),
                                                       true) ||
        !FLAC__metadata_object_picture_set_data(block, const_cast<FLAC__byte*>(picture.data.data()),
                                                static_cast<FLAC__uint32>(picture.data.size()), true)) {
      return false;
    }
  }
  if (tooLarge.count > 0) notes.push_back(tooLarge);

  for (const std::vector<std::uint8_t>& payload : metadata.applicationAiff) {
    FLAC__StreamMetadata* block = add(FLAC__METADATA_TYPE_APPLICATION);
    if (!block) return false;
    std::memcpy(block->data.application.id, kAiffApplicationId, sizeof kAiffApplicationId);
    if (!FLAC__metadata_object_application_set_data(block, const_cast<FLAC__byte*>(payload.data()),
                                                    static_cast<unsigned>(payload.size()), true)) {
      return false;
    }
  }

  FLAC__StreamMetadata* padding = add(FLAC__METADATA_TYPE_PADDING);
  if (!padding) return false;
  padding->length = kPaddingBytes;
  return true;
}

bool FlacWriter::Open(OutputFile& file, const FlacFormat& format, int level, std::uint64_t frames,
                      const FlacMetadata& metadata, std::vector<TagNote>& notes) {
  m_file = &file;
  m_rate = format.sampleRate;
  if (format.sampleRate <= 0 || !FLAC__format_sample_rate_is_valid(static_cast<std::uint32_t>(format.sampleRate))) {
    m_badRate = true;
    return Fail();
  }
  m_encoder = FLAC__stream_encoder_new();
  if (!m_encoder || !BuildMetadata(format, frames, metadata, notes)) {
    m_outOfMemory = true;
    return Fail();
  }
  const auto rate = static_cast<std::uint32_t>(format.sampleRate);
  // The streamable subset leaves out 32-bit samples and rates a frame header cannot name;
  // such a stream is still valid FLAC.
  const bool subset = format.bits <= 24 && FLAC__format_sample_rate_is_subset(rate);
  FLAC__stream_encoder_set_streamable_subset(m_encoder, subset);
  FLAC__stream_encoder_set_channels(m_encoder, static_cast<std::uint32_t>(format.channels));
  FLAC__stream_encoder_set_bits_per_sample(m_encoder, static_cast<std::uint32_t>(format.bits));
  FLAC__stream_encoder_set_sample_rate(m_encoder, rate);
  FLAC__stream_encoder_set_compression_level(m_encoder, static_cast<std::uint32_t>(level));
  FLAC__stream_encoder_set_total_samples_estimate(m_encoder, frames);
  FLAC__stream_encoder_set_metadata(m_encoder, m_blocks.data(), static_cast<std::uint32_t>(m_blocks.size()));
  const FLAC__StreamEncoderInitStatus status = FLAC__stream_encoder_init_stream(
      m_encoder, FlacCallbacks::Write, FlacCallbacks::Seek, FlacCallbacks::Tell, nullptr, this);
  if (status == FLAC__STREAM_ENCODER_INIT_STATUS_OK) return true;
  if (FLAC__stream_encoder_get_state(m_encoder) == FLAC__STREAM_ENCODER_MEMORY_ALLOCATION_ERROR) m_outOfMemory = true;
  return Fail();
}

bool FlacWriter::Write(const std::int32_t* frames, int count) {
  if (m_failed) return false;
  m_frames += static_cast<std::uint64_t>(count);
  if (!FLAC__stream_encoder_process_interleaved(m_encoder, frames, static_cast<std::uint32_t>(count))) {
    if (FLAC__stream_encoder_get_state(m_encoder) == FLAC__STREAM_ENCODER_MEMORY_ALLOCATION_ERROR) m_outOfMemory = true;
    return Fail();
  }
  return true;
}

bool FlacWriter::Close() {
  if (m_failed) return false;
  // Points past a source that ended early would stay unfilled: they become placeholders, which
  // the encoder sorts to the end.
  if (m_seekTable) {
    FLAC__StreamMetadata_SeekTable& table = m_seekTable->data.seek_table;
    for (std::uint32_t i = 0; i < table.num_points; ++i) {
      if (table.points[i].sample_number >= m_frames)
        table.points[i].sample_number = FLAC__STREAM_METADATA_SEEKPOINT_PLACEHOLDER;
    }
  }
  if (!FLAC__stream_encoder_finish(m_encoder)) return Fail();
  if (!m_file->Close()) return Fail();
  return true;
}

FileOutcome FlacWriter::Failure() const {
  if (m_badRate) return FileOutcome::RateFailure(FileReason::InvalidSampleRate, m_rate);
  if (m_file && m_file->Failed()) return FileOutcome::Failure(FileReason::WriteFailed, {}, m_file->Error());
  if (m_outOfMemory) return FileOutcome::Failure(FileReason::OutOfMemory);
  return FileOutcome::Failure(FileReason::WriteFailed, {}, EIO);
}

}  // namespace velmora
