#pragma once

#include <ostream>
#include <string>

#include "audio/tag_note.h"
#include "support/aiff_builder.h"

namespace velmora::test {

// A 1x1 PNG image: real picture bytes that peers recognise.
Bytes TinyPng();

// A text chunk (NAME, AUTH, "(c) ", ANNO) holding `text` without a terminator.
Bytes TextChunk(const char* id, const std::string& text);

// A COMT chunk with one comment per text.
Bytes CommentsChunk(const std::vector<std::string>& texts);

// An ID3v2 tag made by TagLib in `version` (3 or 4), with the frames given non-empty, plus a
// front-cover PNG picture when `picture` is not empty. Texts are UTF-8.
struct Id3Fields {
  std::string title, artist, album, year, track, genre, comment, copyright;
  Bytes picture;
  std::string pictureDescription;
};
Bytes Id3Tag(const Id3Fields& fields, int version = 4);

// A hand-made ID3v2.3 frame: id, size, format flags, then the payload. With `plainSize`, the
// frame is compressed (flag 0x80) and carries that as its inflated size before the payload.
Bytes Id3v23Frame(const char* id, const Bytes& payload, std::uint8_t formatFlags = 0, std::uint32_t plainSize = 0);
// An ID3v2.3 tag (header flags `flags`) holding the frames in order.
Bytes Id3v23Tag(const std::vector<Bytes>& frames, std::uint8_t flags = 0);
// `head` followed by `count` copies of `fill`, deflated by zlib without holding the whole text.
Bytes Deflated(const Bytes& head, std::size_t count, std::uint8_t fill);

// An AIFF with one second of a 16-bit stereo ramp and the given chunks.
Bytes TaggedAiff(const std::vector<Bytes>& before, const std::vector<Bytes>& after, std::uint32_t frames = 4410);

}  // namespace velmora::test

namespace velmora {

// A note as its numbers, in a failed check.
void PrintTo(const TagNote& note, std::ostream* out);

}  // namespace velmora
