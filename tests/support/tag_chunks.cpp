#include "support/tag_chunks.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <zlib.h>

#include <algorithm>

namespace velmora::test {

Bytes TinyPng() {
  return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
          0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00,
          0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01,
          0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
}

Bytes TextChunk(const char* id, const std::string& text) { return Chunk(id, Bytes(text.begin(), text.end())); }

Bytes CommentsChunk(const std::vector<std::string>& texts) {
  Bytes payload;
  PutBe16(payload, static_cast<unsigned>(texts.size()));
  for (const std::string& text : texts) {
    PutBe32(payload, 0);  // time stamp
    PutBe16(payload, 0);  // marker id
    PutBe16(payload, static_cast<unsigned>(text.size()));
    payload.insert(payload.end(), text.begin(), text.end());
    if (text.size() % 2) payload.push_back(0);
  }
  return Chunk("COMT", payload);
}

Bytes Id3Tag(const Id3Fields& fields, int version) {
  TagLib::ID3v2::Tag tag;
  const std::pair<const char*, const std::string*> texts[] = {
      {"TIT2", &fields.title}, {"TPE1", &fields.artist}, {"TALB", &fields.album}, {"TDRC", &fields.year},
      {"TRCK", &fields.track}, {"TCON", &fields.genre},  {"TCOP", &fields.copyright}};
  for (const auto& [id, text] : texts) {
    if (text->empty()) continue;
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF16);
    frame->setText(TagLib::String(*text, TagLib::String::UTF8));
    tag.addFrame(frame);
  }
  if (!fields.comment.empty()) {
    auto* frame = new TagLib::ID3v2::CommentsFrame(TagLib::String::UTF16);
    frame->setText(TagLib::String(fields.comment, TagLib::String::UTF8));
    tag.addFrame(frame);
    // Players keep private figures in described comments; they are not the comment.
    auto* privateFrame = new TagLib::ID3v2::CommentsFrame(TagLib::String::Latin1);
    privateFrame->setDescription("iTunNORM");
    privateFrame->setText(" 00000316 0000030A");
    tag.addFrame(privateFrame);
  }
  if (!fields.picture.empty()) {
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setTextEncoding(TagLib::String::UTF16);
    frame->setMimeType("image/png");
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    frame->setDescription(TagLib::String(fields.pictureDescription, TagLib::String::UTF8));
    frame->setPicture(TagLib::ByteVector(reinterpret_cast<const char*>(fields.picture.data()),
                                         static_cast<unsigned int>(fields.picture.size())));
    tag.addFrame(frame);
  }
  const TagLib::ByteVector rendered = tag.render(version == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4);
  return {rendered.begin(), rendered.end()};
}

Bytes Id3v23Frame(const char* id, const Bytes& payload, std::uint8_t formatFlags, std::uint32_t plainSize) {
  Bytes frame;
  PutId(frame, id);
  PutBe32(frame, static_cast<std::uint32_t>(payload.size() + (plainSize ? 4 : 0)));
  frame.push_back(0);
  frame.push_back(static_cast<std::uint8_t>(formatFlags | (plainSize ? 0x80 : 0)));
  if (plainSize) PutBe32(frame, plainSize);
  frame.insert(frame.end(), payload.begin(), payload.end());
  return frame;
}

Bytes Id3v23Tag(const std::vector<Bytes>& frames, std::uint8_t flags) {
  Bytes body;
  for (const Bytes& frame : frames) body.insert(body.end(), frame.begin(), frame.end());
  Bytes tag = {'I', 'D', '3', 3, 0, flags};
  for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<std::uint8_t>((body.size() >> shift) & 0x7F));
  tag.insert(tag.end(), body.begin(), body.end());
  return tag;
}

Bytes Deflated(const Bytes& head, std::size_t count, std::uint8_t fill) {
  z_stream stream{};
  deflateInit(&stream, Z_BEST_COMPRESSION);
  Bytes out;
  Bytes buffer(1 << 16);
  const Bytes block(1 << 20, fill);
  auto feed = [&](const Bytes& in, std::size_t size, int flush) {
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(size);
    do {
      stream.next_out = buffer.data();
      stream.avail_out = static_cast<uInt>(buffer.size());
      deflate(&stream, flush);
      out.insert(out.end(), buffer.begin(), buffer.end() - stream.avail_out);
    } while (stream.avail_out == 0);
  };
  feed(head, head.size(), Z_NO_FLUSH);
  for (std::size_t left = count; left > 0;) {
    const std::size_t size = std::min(left, block.size());
    left -= size;
    feed(block, size, left == 0 ? Z_FINISH : Z_NO_FLUSH);
  }
  if (count == 0) feed(head, 0, Z_FINISH);
  deflateEnd(&stream);
  return out;
}

Bytes TaggedAiff(const std::vector<Bytes>& before, const std::vector<Bytes>& after, std::uint32_t frames) {
  AiffBuilder b;
  b.channels = 2;
  b.frames = frames;
  for (std::uint32_t i = 0; i < frames * 2; ++i) PutBe16(b.sound, (i * 97) & 0xFFFF);
  b.chunksBefore = before;
  b.chunksAfter = after;
  return b.Build();
}

}  // namespace velmora::test

namespace velmora {

void PrintTo(const TagNote& note, std::ostream* out) {
  *out << "{kind " << static_cast<int>(note.kind) << ", id \"" << note.id << "\", count " << note.count << ", bytes "
       << note.bytes << ", limit " << note.limit << "}";
}

}  // namespace velmora
