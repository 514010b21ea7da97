#include "audio/source_tags.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "audio/big_endian.h"
#include "audio/id3v2_screen.h"
#include "platform/text_encoding.h"

namespace velmora {
namespace {

constexpr std::size_t kCommentHeaderBytes = 8;  // time stamp, marker id, text length

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

// A TagLib text as UTF-8; nothing when it is not valid Unicode (for a lone UTF-16 surrogate
// TagLib gives an empty text).
std::optional<std::string> Utf8Of(const TagLib::String& value) {
  std::string text = value.to8Bit(true);
  if (!IsValidUtf8(text) || (text.empty() && !value.isEmpty())) return std::nullopt;
  return text;
}

// The text of the first frame with `id`; a text that is not valid Unicode is left out with a note.
std::string FrameText(const TagLib::ID3v2::Tag& tag, const char* id, TagBudget& budget) {
  const auto& frames = tag.frameListMap();
  const auto found = frames.find(id);
  if (found == frames.end() || found->second.isEmpty()) return {};
  if (auto text = Utf8Of(found->second.front()->toString())) return std::move(*text);
  budget.Note(TagNote::Kind::DamagedText, id);
  return {};
}

void Override(std::string& field, std::string value) {
  if (!value.empty()) field = std::move(value);
}

// A text of a picture frame in its encoding (0 to 3), as UTF-8; empty when it is not valid.
std::string PictureText(const std::uint8_t* bytes, std::size_t size, std::uint8_t encoding) {
  std::string text;
  if (encoding == 1 || encoding == 2) {
    const TagLib::ByteVector data(reinterpret_cast<const char*>(bytes), static_cast<unsigned int>(size));
    text = TagLib::String(data, encoding == 1 ? TagLib::String::UTF16 : TagLib::String::UTF16BE).to8Bit(true);
  } else {
    text.assign(reinterpret_cast<const char*>(bytes), size);
    if (encoding == 0) text = Latin1ToUtf8(text);
  }
  return IsValidUtf8(text) ? text : std::string();
}

// A screened picture frame as a picture: its texts are read here, and its image is the
// frame's own copy, moved rather than copied again.
TagPicture ReadPicture(ScreenedPicture screened, int version) {
  std::vector<std::uint8_t>& bytes = screened.contents;
  const std::uint8_t encoding = bytes[0];
  TagPicture picture;
  std::size_t pos = 1;
  if (version == 2) {
    // Version 2.2 names the image format in three letters.
    std::string format(bytes.begin() + 1, bytes.begin() + 4);
    std::string upper = format;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    picture.mimeType = upper == "JPG" ? "image/jpeg" : upper == "PNG" ? "image/png" : "image/" + Latin1ToUtf8(format);
    pos = 4;
  } else {
    const auto end = std::find(bytes.begin() + 1, bytes.end(), std::uint8_t{0});
    picture.mimeType = Latin1ToUtf8(std::string(bytes.begin() + 1, end));
    pos = static_cast<std::size_t>(end - bytes.begin()) + 1;
  }
  picture.type = bytes[pos];
  const std::size_t terminator = encoding == 1 || encoding == 2 ? 2 : 1;
  picture.description = PictureText(bytes.data() + pos + 1, screened.imageAt - terminator - pos - 1, encoding);
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(screened.imageAt));
  picture.data = std::move(bytes);
  return picture;
}

// The ID3v2 tag of an ID3 chunk. TagLib reads the screened text frames, as a tag at the start
// of a stream that it takes for an MPEG file; the stream holds nothing else, so no audio
// properties are read. The pictures are read here, so that an image is copied once.
void ReadId3(const MetadataChunk& chunk, SourceTags& tags, TagBudget& budget) {
  ScreenedTag screened = ScreenId3v2Tag(chunk.data, chunk.size, budget);
  for (ScreenedPicture& picture : screened.pictures) {
    tags.pictures.push_back(ReadPicture(std::move(picture), screened.version));
  }
  if (screened.texts.empty()) return;
  TagLib::ByteVector texts(reinterpret_cast<const char*>(screened.texts.data()),
                           static_cast<unsigned int>(screened.texts.size()));
  std::vector<std::uint8_t>().swap(screened.texts);
  TagLib::ByteVectorStream stream(texts);
  TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
  const TagLib::ID3v2::Tag* tag = file.isValid() ? file.ID3v2Tag() : nullptr;
  if (!tag || tag->isEmpty()) return;
  Override(tags.title, FrameText(*tag, "TIT2", budget));
  Override(tags.artist, FrameText(*tag, "TPE1", budget));
  Override(tags.album, FrameText(*tag, "TALB", budget));
  Override(tags.year, FrameText(*tag, "TDRC", budget));
  Override(tags.track, FrameText(*tag, "TRCK", budget));
  Override(tags.copyright, FrameText(*tag, "TCOP", budget));
  if (auto genre = Utf8Of(tag->genre())) Override(tags.genre, std::move(*genre));
  else budget.Note(TagNote::Kind::DamagedText, "TCON");
  // Comments with a description are other programs' private data (loudness, gapless figures).
  for (const auto* frame : tag->frameList("COMM")) {
    const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
    if (!comment || !comment->description().isEmpty()) continue;
    const auto text = Utf8Of(comment->text());
    if (!text) budget.Note(TagNote::Kind::DamagedText, "COMM");
    if (text && !text->empty()) {
      tags.comment = *text;
      break;
    }
  }
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

SourceTags ParseSourceTags(const std::vector<MetadataChunk>& chunks, const TagReading& reading,
                           std::size_t chunksLeftOut) {
  SourceTags text;
  SourceTags id3;
  TagBudget budget;
  budget.keepPictures = reading.pictures;
  budget.stop = reading.stop;
  for (std::size_t i = 0; i < chunks.size() && !budget.Stopped(); ++i) {
    const MetadataChunk& chunk = chunks[i];
    const std::string id(chunk.id.begin(), chunk.id.end());
    const bool isId3 = IdIs(chunk, "ID3 ") || IdIs(chunk, "id3 ");
    if (chunk.size > kMaxMetadataChunkBytes) {
      if (isId3) budget.Note(TagNote::Kind::Id3ChunkTooLarge, {}, chunk.size);
      else budget.Note(TagNote::Kind::ChunkTooLarge, id, chunk.size);
      continue;
    }
    if (isId3) {
      ReadId3(chunk, id3, budget);
      continue;
    }
    if (!budget.TakeText(chunk.size, id)) continue;
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
  if (chunksLeftOut > 0) budget.Note(TagNote::Kind::TooManyChunks, {}, 0, chunksLeftOut);
  text.notes = budget.Notes();
  return text;
}

}  // namespace velmora
