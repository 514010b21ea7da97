#include "convert/tag_writer.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/textidentificationframe.h>

#include <mutex>

#include "convert/id3_genres.h"
#include "convert/little_endian.h"

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

void AppendChunk(std::vector<std::uint8_t>& out, const char* id, const TagLib::ByteVector& data) {
  out.insert(out.end(), id, id + 4);
  out.resize(out.size() + 4);
  PutLe32(out.data() + out.size() - 4, data.size());
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
}

constexpr unsigned int kId3HeaderBytes = 10;
constexpr std::size_t kMaxId3BodyBytes = kMaxId3v2TagBytes - kId3HeaderBytes;

void PutBe32(std::vector<std::uint8_t>& out, std::size_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// The text and comment frames as TagLib renders them in version 2.3, without header or padding.
TagLib::ByteVector RenderTextFrames(const SourceTags& tags, const NamedTexts& named) {
  TagLib::ID3v2::Tag tag;
  AddText(tag, "TIT2", tags.title);
  AddText(tag, "TPE1", tags.artist);
  AddText(tag, "TALB", tags.album);
  // Written as TYER itself: TagLib would turn a recording time into a TYER of 4 characters.
  AddText(tag, "TYER", tags.year);
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
  for (const auto& [name, text] : named) {
    const TagLib::String value = FromUtf8(text);
    auto* frame = new TagLib::ID3v2::UserTextIdentificationFrame(FromUtf8(name), TagLib::StringList(value), EncodingFor(value));
    tag.addFrame(frame);
  }
  if (tag.frameList().isEmpty()) return {};
  const TagLib::ByteVector rendered = tag.render(TagLib::ID3v2::v3);
  // Frames run up to the padding, a zero where the next frame's id would start.
  unsigned int end = kId3HeaderBytes;
  while (end + kId3HeaderBytes <= rendered.size() && rendered[end] != 0) {
    end += kId3HeaderBytes + rendered.toUInt(end + 4, true);
  }
  return rendered.mid(kId3HeaderBytes, end - kId3HeaderBytes);
}

// A picture's APIC frame: encoding, MIME type, picture type, description, then the picture.
// Rendered here rather than by TagLib, which would copy the picture four times on the way.
TagLib::ByteVector ApicFrameStart(const TagPicture& picture) {
  const TagLib::String description = FromUtf8(picture.description);
  const bool latin1 = description.isLatin1();
  TagLib::ByteVector start(1, latin1 ? 0 : 1);
  start.append(FromUtf8(picture.mimeType).data(TagLib::String::Latin1));
  start.append(TagLib::ByteVector(1, 0));
  start.append(TagLib::ByteVector(1, static_cast<char>(picture.type)));
  start.append(description.data(latin1 ? TagLib::String::Latin1 : TagLib::String::UTF16));
  start.append(TagLib::ByteVector(latin1 ? 1 : 2, 0));
  return start;
}

// Appends the ID3v2.3 tag of `tags` to `out`, unless its size would not fit the header's
// 28 bits: players would then take sound for tag or tag for sound.
void AppendId3v2Tag(std::vector<std::uint8_t>& out, const SourceTags& tags, std::vector<TagNote>* notes,
                    const NamedTexts& named) {
  if (tags.Empty() && named.empty()) return;
  const TagLib::ByteVector texts = RenderTextFrames(tags, named);
  std::vector<TagLib::ByteVector> pictureStarts;
  std::size_t body = texts.size();
  for (const TagPicture& picture : tags.pictures) {
    pictureStarts.push_back(ApicFrameStart(picture));
    body += kId3HeaderBytes + pictureStarts.back().size() + picture.data.size();
  }
  if (body > kMaxId3BodyBytes) {
    if (notes) notes->push_back({TagNote::Kind::OutputTagTooLarge, {}, 1, kId3HeaderBytes + body, kMaxId3v2TagBytes});
    return;
  }
  out.reserve(out.size() + kId3HeaderBytes + body);
  out.insert(out.end(), {'I', 'D', '3', 3, 0, 0});
  for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<std::uint8_t>((body >> shift) & 0x7F));
  out.insert(out.end(), texts.begin(), texts.end());
  for (std::size_t i = 0; i < tags.pictures.size(); ++i) {
    const std::vector<std::uint8_t>& data = tags.pictures[i].data;
    out.insert(out.end(), {'A', 'P', 'I', 'C'});
    PutBe32(out, pictureStarts[i].size() + data.size());
    out.insert(out.end(), {0, 0});
    out.insert(out.end(), pictureStarts[i].begin(), pictureStarts[i].end());
    out.insert(out.end(), data.begin(), data.end());
  }
}

// The "LIST" chunk of type INFO. TagLib holds texts four bytes a character, so its tag is gone
// before the ID3 tag is built beside a cover of megabytes.
void AppendInfoChunk(std::vector<std::uint8_t>& out, const SourceTags& tags) {
  UseUtf8InfoStrings();
  TagLib::RIFF::Info::Tag info;
  const std::pair<const char*, const std::string*> fields[] = {
      {"INAM", &tags.title},   {"IART", &tags.artist},    {"IPRD", &tags.album}, {"ICRD", &tags.year},
      {"ICMT", &tags.comment}, {"ICOP", &tags.copyright}, {"IGNR", &tags.genre}, {"ITRK", &tags.track}};
  for (const auto& [id, text] : fields) {
    if (!text->empty()) info.setFieldText(id, FromUtf8(*text));
  }
  // A tag of pictures alone has no INFO fields, and an empty INFO list is left out.
  if (!info.isEmpty()) AppendChunk(out, "LIST", info.render());
}

}  // namespace

std::vector<std::uint8_t> BuildId3v2Tag(const SourceTags& tags, std::vector<TagNote>* notes,
                                        const NamedTexts& named) {
  std::vector<std::uint8_t> out;
  AppendId3v2Tag(out, tags, notes, named);
  return out;
}

std::vector<std::uint8_t> BuildWavTagChunks(const SourceTags& tags, std::vector<TagNote>* notes,
                                            const NamedTexts& named) {
  if (tags.Empty() && named.empty()) return {};
  std::vector<std::uint8_t> chunks;
  AppendInfoChunk(chunks, tags);
  // The tag is rendered straight into its chunk, which is sized once it is known.
  const std::size_t at = chunks.size();
  chunks.insert(chunks.end(), {'i', 'd', '3', ' ', 0, 0, 0, 0});
  AppendId3v2Tag(chunks, tags, notes, named);
  const std::size_t size = chunks.size() - at - 8;
  if (size == 0) {
    chunks.resize(at);
  } else {
    PutLe32(chunks.data() + at + 4, static_cast<std::uint32_t>(size));  // at most kMaxId3v2TagBytes
    if (size & 1) chunks.push_back(0);
  }
  return chunks;
}

SourceTags ApplyId3Options(SourceTags tags, const Id3TagRecord& options, const std::string& fileNameTitle) {
  auto put = [](std::string& field, std::string value) {
    if (!value.empty()) field = std::move(value);
  };
  if (options.TitleFromFileName() || options.Title().empty()) {
    if (tags.title.empty()) tags.title = fileNameTitle;
  } else {
    tags.title = options.Title();
  }
  put(tags.artist, options.Artist());
  put(tags.album, options.Album());
  put(tags.year, options.Year());
  put(tags.comment, options.Comment());
  if (const char* genre = GenreName(options.Genre())) tags.genre = genre;
  return tags;
}

SourceTags TagsToCarry(const AiffReader& reader, const TagOptions& options, const std::string& fileNameTitle,
                       std::vector<TagNote>& notes, const std::atomic<bool>* cancel) {
  if (!options.copySourceTags) return {};
  SourceTags source = reader.Tags({true, cancel});
  notes = std::move(source.notes);
  if (source.Empty() || !options.id3) return source;
  return ApplyId3Options(std::move(source), options.id3Texts, fileNameTitle);
}

}  // namespace velmora
