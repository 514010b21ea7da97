#include "audio/source_tags.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

#include <algorithm>
#include <cstring>

#include "audio/big_endian.h"
#include "audio/id3v2_screen.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

constexpr std::size_t kCommentHeaderBytes = 8;  // time stamp, marker id, text length
// Larger metadata chunks are not read at all.
constexpr std::size_t kMaxMetadataChunkBytes = std::size_t{16} << 20;

bool IdIs(const MetadataChunk& chunk, const char* id) { return std::memcmp(chunk.id.data(), id, 4) == 0; }


// The text of a text chunk: up to its first NUL, as UTF-8 when it is valid UTF-8 and as
// ISO-8859-1 otherwise (older programs wrote their own 8-bit character sets).
std::string ChunkText(const std::uint8_t* bytes, std::size_t size) {
  const auto* end = std::find(bytes, bytes + size, std::uint8_t{0});
  std::string text(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return IsValidUtf8(text) ? text : Latin1ToUtf8(text);
}

void AppendLine(std::string& to, const std::string& line) {
  if (line.empty()) return;
  if (!to.empty()) to += '\n';
  to += line;
}

// A COMT chunk: a count, then comments of a time stamp, a marker id, a length and the text,
// each padded to an even length. Comments past the chunk's end are dropped.
void ReadComments(const MetadataChunk& chunk, std::string& comment) {
  if (chunk.size < 2) return;
  const unsigned count = Be16(chunk.data);
  std::size_t pos = 2;
  for (unsigned i = 0; i < count && chunk.size - pos >= kCommentHeaderBytes; ++i) {
    const std::size_t length = Be16(chunk.data + pos + 6);
    pos += kCommentHeaderBytes;
    if (length > chunk.size - pos) return;
    AppendLine(comment, ChunkText(chunk.data + pos, length));
    pos += length + (length & 1);
    if (pos > chunk.size) return;
  }
}

std::string FrameText(const TagLib::ID3v2::Tag& tag, const char* id) {
  const auto& frames = tag.frameListMap();
  const auto found = frames.find(id);
  if (found == frames.end() || found->second.isEmpty()) return {};
  const std::string text = found->second.front()->toString().to8Bit(true);
  return IsValidUtf8(text) ? text : std::string();
}

void Override(std::string& field, std::string value) {
  if (!value.empty()) field = std::move(value);
}

// The ID3v2 tag of an ID3 chunk. TagLib finds a tag at the start of a stream that it reads as
// an MPEG file; the chunk holds nothing else, so no audio properties are read.
// TagLib sees only the screened copy of the tag, so it never inflates or copies more than the
// budget allows.
void ReadId3(const MetadataChunk& chunk, SourceTags& tags, TagBudget& budget) {
  TagLib::ByteVector screened;
  {
    const std::vector<std::uint8_t> kept = ScreenId3v2Tag(chunk.data, chunk.size, budget);
    if (kept.empty()) return;
    screened.setData(reinterpret_cast<const char*>(kept.data()), static_cast<unsigned int>(kept.size()));
  }
  TagLib::ByteVectorStream stream(screened);
  TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
  const TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag() : nullptr;
  if (!tag || tag->isEmpty()) return;
  Override(tags.title, FrameText(*tag, "TIT2"));
  Override(tags.artist, FrameText(*tag, "TPE1"));
  Override(tags.album, FrameText(*tag, "TALB"));
  Override(tags.year, FrameText(*tag, "TDRC"));
  Override(tags.track, FrameText(*tag, "TRCK"));
  Override(tags.copyright, FrameText(*tag, "TCOP"));
  const std::string genre = tag->genre().to8Bit(true);
  if (IsValidUtf8(genre)) Override(tags.genre, genre);
  // Comments with a description are other programs' private data (loudness, gapless figures).
  for (const auto* frame : tag->frameList("COMM")) {
    const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
    if (!comment || !comment->description().isEmpty()) continue;
    const std::string text = comment->text().to8Bit(true);
    if (!text.empty() && IsValidUtf8(text)) {
      tags.comment = text;
      break;
    }
  }
  std::vector<TagPicture> pictures;
  for (const auto* frame : tag->frameList("APIC")) {
    const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
    if (!picture || picture->picture().isEmpty()) continue;
    const TagLib::ByteVector data = picture->picture();
    std::string mimeType = picture->mimeType().to8Bit(true);
    std::string description = picture->description().to8Bit(true);
    if (!IsValidUtf8(mimeType)) mimeType.clear();
    if (!IsValidUtf8(description)) description.clear();
    // TagLib keeps the type byte as a signed char; the byte is 0 to 255.
    const int type = static_cast<unsigned char>(picture->type());
    pictures.push_back({std::move(mimeType), std::move(description), type,
                        std::vector<std::uint8_t>(data.begin(), data.end())});
  }
  if (!pictures.empty()) tags.pictures = std::move(pictures);
}

}  // namespace

bool SourceTags::Empty() const {
  return title.empty() && artist.empty() && album.empty() && year.empty() && track.empty() && genre.empty() &&
         comment.empty() && copyright.empty() && pictures.empty();
}

bool IsMetadataChunk(const std::uint8_t* id) {
  for (const char* known : {"NAME", "AUTH", "(c) ", "ANNO", "COMT", "ID3 ", "id3 "}) {
    if (std::memcmp(id, known, 4) == 0) return true;
  }
  return false;
}

SourceTags ParseSourceTags(const std::vector<MetadataChunk>& chunks) {
  SourceTags text;
  SourceTags id3;
  TagBudget budget;
  for (const MetadataChunk& chunk : chunks) {
    const std::string id(chunk.id.begin(), chunk.id.end());
    const bool isId3 = IdIs(chunk, "ID3 ") || IdIs(chunk, "id3 ");
    if (chunk.size > kMaxMetadataChunkBytes) {
      const std::string what = isId3 ? "tags not copied: ID3 chunk" : id + " chunk";
      budget.notes.push_back(what + " of " + SizeText(chunk.size) + " is over the limit");
      continue;
    }
    if (isId3) {
      ReadId3(chunk, id3, budget);
      continue;
    }
    if (!budget.TakeText(chunk.size, (id + " chunk").c_str())) continue;
    if (IdIs(chunk, "NAME")) Override(text.title, ChunkText(chunk.data, chunk.size));
    else if (IdIs(chunk, "AUTH")) Override(text.artist, ChunkText(chunk.data, chunk.size));
    else if (IdIs(chunk, "(c) ")) Override(text.copyright, ChunkText(chunk.data, chunk.size));
    else if (IdIs(chunk, "ANNO")) AppendLine(text.comment, ChunkText(chunk.data, chunk.size));
    else if (IdIs(chunk, "COMT")) ReadComments(chunk, text.comment);
  }
  Override(text.title, id3.title);
  Override(text.artist, id3.artist);
  Override(text.album, id3.album);
  Override(text.year, id3.year);
  Override(text.track, id3.track);
  Override(text.genre, id3.genre);
  Override(text.comment, id3.comment);
  Override(text.copyright, id3.copyright);
  text.pictures = std::move(id3.pictures);
  text.notes = std::move(budget.notes);
  return text;
}

std::vector<std::string> DescribeTags(const SourceTags& tags) {
  std::vector<std::string> lines;
  const std::pair<const char*, const std::string*> fields[] = {
      {"title", &tags.title}, {"artist", &tags.artist}, {"album", &tags.album},         {"year", &tags.year},
      {"track", &tags.track}, {"genre", &tags.genre},   {"comment", &tags.comment}, {"copyright", &tags.copyright}};
  for (const auto& [name, value] : fields) {
    if (value->empty()) continue;
    // Line breaks, and control characters that a terminal would act on, become spaces.
    std::string shown = *value;
    std::replace_if(shown.begin(), shown.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }, ' ');
    lines.push_back(std::string(name) + ": " + shown);
  }
  for (const TagPicture& picture : tags.pictures) {
    lines.push_back("picture: type " + std::to_string(picture.type) + ", " +
                    (picture.mimeType.empty() ? std::string("no MIME type") : picture.mimeType) + ", " +
                    std::to_string(picture.data.size()) + " bytes");
  }
  return lines;
}

}  // namespace velmora
