#include "convert/tag_writer.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/textidentificationframe.h>

#include <mutex>

#include "convert/id3_genres.h"

namespace velmora {
namespace {

TagLib::String FromUtf8(const std::string& text) { return TagLib::String(text, TagLib::String::UTF8); }

// ID3v2.3 knows ISO-8859-1 and UTF-16 (with a byte order mark); UTF-8 came only with v2.4.
TagLib::String::Type EncodingFor(const TagLib::String& text) {
  return text.isLatin1() ? TagLib::String::Latin1 : TagLib::String::UTF16;
}

void AddText(TagLib::ID3v2::Tag& tag, const char* id, const std::string& text) {
  if (text.empty()) return;
  const TagLib::String value = FromUtf8(text);
  auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, EncodingFor(value));
  frame->setText(value);
  tag.addFrame(frame);
}

// RIFF INFO texts are 8-bit strings with no declared character set; UTF-8 is what current
// players and taggers read and write. TagLib's handler is process-wide, so it is set once.
class Utf8InfoStrings : public TagLib::RIFF::Info::StringHandler {
 public:
  TagLib::String parse(const TagLib::ByteVector& data) const override {
    return TagLib::String(data, TagLib::String::UTF8);
  }
  TagLib::ByteVector render(const TagLib::String& text) const override { return text.data(TagLib::String::UTF8); }
};

void UseUtf8InfoStrings() {
  static Utf8InfoStrings handler;
  static std::once_flag once;
  std::call_once(once, [] { TagLib::RIFF::Info::Tag::setStringHandler(&handler); });
}

void PutLe32(std::vector<std::uint8_t>& out, std::size_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* id, const TagLib::ByteVector& data) {
  out.insert(out.end(), id, id + 4);
  PutLe32(out, data.size());
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> BuildId3v2Tag(const SourceTags& tags) {
  if (tags.Empty()) return {};
  TagLib::ID3v2::Tag tag;
  AddText(tag, "TIT2", tags.title);
  AddText(tag, "TPE1", tags.artist);
  AddText(tag, "TALB", tags.album);
  // TagLib writes the recording time as TYER (and TDAT) in a version 2.3 tag.
  AddText(tag, "TDRC", tags.year);
  AddText(tag, "TRCK", tags.track);
  AddText(tag, "TCON", tags.genre);
  AddText(tag, "TCOP", tags.copyright);
  if (!tags.comment.empty()) {
    const TagLib::String text = FromUtf8(tags.comment);
    auto* frame = new TagLib::ID3v2::CommentsFrame(EncodingFor(text));
    frame->setLanguage("eng");
    frame->setText(text);
    tag.addFrame(frame);
  }
  for (const TagPicture& picture : tags.pictures) {
    const TagLib::String description = FromUtf8(picture.description);
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setTextEncoding(EncodingFor(description));
    frame->setMimeType(FromUtf8(picture.mimeType));
    frame->setDescription(description);
    frame->setType(static_cast<TagLib::ID3v2::AttachedPictureFrame::Type>(picture.type));
    frame->setPicture(TagLib::ByteVector(reinterpret_cast<const char*>(picture.data.data()),
                                         static_cast<unsigned int>(picture.data.size())));
    tag.addFrame(frame);
  }
  const TagLib::ByteVector rendered = tag.render(TagLib::ID3v2::v3);
  return {rendered.begin(), rendered.end()};
}

std::vector<std::uint8_t> BuildWavTagChunks(const SourceTags& tags) {
  if (tags.Empty()) return {};
  UseUtf8InfoStrings();
  TagLib::RIFF::Info::Tag info;
  const std::pair<const char*, const std::string*> fields[] = {
      {"INAM", &tags.title},   {"IART", &tags.artist},    {"IPRD", &tags.album}, {"ICRD", &tags.year},
      {"ICMT", &tags.comment}, {"ICOP", &tags.copyright}, {"IGNR", &tags.genre}, {"ITRK", &tags.track}};
  for (const auto& [id, text] : fields) {
    if (!text->empty()) info.setFieldText(id, FromUtf8(*text));
  }
  std::vector<std::uint8_t> chunks;
  // A tag of pictures alone has no INFO fields, and an empty INFO list is left out.
  if (!info.isEmpty()) AppendChunk(chunks, "LIST", info.render());
  const std::vector<std::uint8_t> id3 = BuildId3v2Tag(tags);
  AppendChunk(chunks, "id3 ", TagLib::ByteVector(reinterpret_cast<const char*>(id3.data()),
                                                 static_cast<unsigned int>(id3.size())));
  return chunks;
}

SourceTags FillFromId3Options(SourceTags tags, const Id3TagRecord& options, const std::string& title) {
  auto fill = [](std::string& field, const std::string& value) {
    if (field.empty()) field = value;
  };
  if (tags.title.empty()) tags.title = title;
  fill(tags.artist, options.Artist());
  fill(tags.album, options.Album());
  fill(tags.year, options.Year());
  fill(tags.comment, options.Comment());
  if (const char* genre = GenreName(options.Genre()); genre && tags.genre.empty()) tags.genre = genre;
  return tags;
}

}  // namespace velmora
