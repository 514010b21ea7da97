#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/tag_note.h"

namespace velmora {

// A picture from the source's ID3 tag, as stored.
struct TagPicture {
  std::string mimeType;
  std::string description;  // UTF-8
  int type = 3;             // the ID3v2 picture type; 3 is the front cover
  std::vector<std::uint8_t> data;
  bool operator==(const TagPicture&) const = default;
};

// The descriptive metadata of a source. Texts are valid UTF-8; an empty text is absent.
struct SourceTags {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string track;  // as stored: "3" or "3/12"
  std::string genre;
  std::string comment;
  std::string copyright;
  std::vector<TagPicture> pictures;
  // What was left out, one note per kind, for the file's line.
  std::vector<TagNote> notes;

  bool Empty() const;  // no text and no picture; notes do not count
};

// A metadata chunk of an AIFF file, pointing into the file's bytes.
struct MetadataChunk {
  std::array<char, 4> id{};
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

// Whether the reader keeps a chunk with this id as metadata: the text chunks NAME, AUTH,
// "(c) ", ANNO, the COMT comments and an embedded ID3v2 tag ("ID3 " or "id3 ").
bool IsMetadataChunk(const std::uint8_t* id);

// How the tags are read: without pictures for a caller that needs only the texts (a name made
// of them), and with the batch's stop flag, which ends the reading early when it is set (the
// tags are then incomplete: the caller that set it is stopping anyway).
struct TagReading {
  bool pictures = true;
  const std::atomic<bool>* stop = nullptr;
};

// The tags the chunks hold, in file order. NAME is the title, AUTH the artist, "(c) " the
// copyright; every ANNO and COMT comment joins the comment, one a line. An ID3 chunk's own
// values take precedence over the text chunks (a later ID3 chunk's over an earlier one's); the
// pictures of every ID3 chunk are kept in order. Damaged chunks, and damaged frames inside an
// ID3 tag, are skipped. Chunks over 16 MiB, and texts and pictures past the budget of
// id3v2_screen.h, are left out with a note. The work is linear in the chunks' size.
// `chunksLeftOut` counts the file's metadata chunks past kMaxMetadataChunks (id3v2_screen.h),
// which are named in a note.
SourceTags ParseSourceTags(const std::vector<MetadataChunk>& chunks, const TagReading& reading = {},
                           std::size_t chunksLeftOut = 0);

}  // namespace velmora
