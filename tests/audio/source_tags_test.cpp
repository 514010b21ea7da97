#include "audio/source_tags.h"

#include <gtest/gtest.h>

#include <array>

#include "audio/aiff_reader.h"
#include "support/tag_chunks.h"

namespace velmora {
namespace {

using test::Bytes;
using test::Chunk;
using test::TaggedAiff;
using test::TextChunk;

// Opens an image, decodes all of it and gives its tags; the sound must come through whole
// whatever the metadata holds.
SourceTags ReadTags(const Bytes& image, std::uint64_t frames = 4410) {
  AiffReader reader;
  EXPECT_TRUE(reader.OpenMemory(image.data(), image.size())) << reader.ErrorText();
  SourceTags tags = reader.Tags();
  std::array<std::int16_t, kMaxBlockFrames> left{}, right{};
  std::uint64_t read = 0;
  for (bool end = false; !end;) {
    const int got = reader.ReadBlock(left.data(), right.data(), end);
    if (got <= 0) break;
    read += static_cast<std::uint64_t>(got);
  }
  EXPECT_EQ(read, frames);
  return tags;
}

TEST(SourceTagsTest, TextChunksBeforeAndAfterTheSoundAreRead) {
  const SourceTags tags = ReadTags(TaggedAiff(
      {TextChunk("NAME", "Night Train"), TextChunk("ANNO", "first note")},
      {TextChunk("AUTH", std::string("Ann Smith\0padding", 17)), TextChunk("(c) ", "2021 Ann"), TextChunk("ANNO", "second note"),
       test::CommentsChunk({"odd", "comment two"})}));
  EXPECT_EQ(tags.title, "Night Train");
  EXPECT_EQ(tags.artist, "Ann Smith");
  EXPECT_EQ(tags.copyright, "2021 Ann");
  EXPECT_EQ(tags.comment, "first note\nsecond note\nodd\ncomment two");
  EXPECT_TRUE(tags.album.empty());
  EXPECT_TRUE(tags.pictures.empty());

  // Text that is not UTF-8 is read as ISO-8859-1.
  EXPECT_EQ(ReadTags(TaggedAiff({TextChunk("NAME", "Caf\xE9")}, {})).title, "Caf\xC3\xA9");
  EXPECT_TRUE(ReadTags(TaggedAiff({}, {})).Empty());
}

TEST(SourceTagsTest, Id3ChunkFramesWinOverTextChunksAndKeepThePicture) {
  test::Id3Fields fields;
  fields.title = "Ünter Wasser";
  fields.album = "Tiefen";
  fields.year = "1998";
  fields.track = "3/12";
  fields.genre = "Jazz";
  fields.comment = "from the tag";
  fields.picture = test::TinyPng();
  fields.pictureDescription = "Cover";
  for (const int version : {3, 4}) {
    for (const char* id : {"ID3 ", "id3 "}) {
      SCOPED_TRACE(std::string(id) + " v2." + std::to_string(version));
      const SourceTags tags = ReadTags(TaggedAiff({TextChunk("NAME", "chunk title"), TextChunk("AUTH", "chunk artist")},
                                                  {TextChunk("ANNO", "chunk note"), Chunk(id, test::Id3Tag(fields, version))}));
      EXPECT_EQ(tags.title, fields.title);
      EXPECT_EQ(tags.artist, "chunk artist");  // the tag has none
      EXPECT_EQ(tags.album, fields.album);
      EXPECT_EQ(tags.year, fields.year);
      EXPECT_EQ(tags.track, fields.track);
      EXPECT_EQ(tags.genre, fields.genre);
      EXPECT_EQ(tags.comment, fields.comment);  // not the described iTunNORM comment
      ASSERT_EQ(tags.pictures.size(), 1u);
      EXPECT_EQ(tags.pictures[0].data, fields.picture);
      EXPECT_EQ(tags.pictures[0].mimeType, "image/png");
      EXPECT_EQ(tags.pictures[0].description, "Cover");
      EXPECT_EQ(tags.pictures[0].type, 3);
    }
  }
  // A numeric ID3v1-style genre is given its name.
  fields = {};
  fields.genre = "(8)";
  EXPECT_EQ(ReadTags(TaggedAiff({}, {Chunk("ID3 ", test::Id3Tag(fields, 3))})).genre, "Jazz");
}

// Damaged metadata is skipped; the sound and the sound metadata that is whole still come through.
TEST(SourceTagsTest, DamagedMetadataIsSkipped) {
  // A text chunk whose size runs past the end of the file.
  Bytes image = TaggedAiff({TextChunk("NAME", "kept")}, {});
  test::PutId(image, "AUTH");
  test::PutBe32(image, 5000);
  image.insert(image.end(), {'l', 'o', 's', 't'});
  SourceTags tags = ReadTags(image);
  EXPECT_EQ(tags.title, "kept");
  EXPECT_TRUE(tags.artist.empty());

  // ID3 tags with impossible sizes: the tag larger than its chunk, a frame larger than its tag,
  // a zero-sized frame, and a tag that is only a header.
  const Bytes broken[] = {
      {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 'T', 'I', 'T', '2', 0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 'x'},
      {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20, 'T', 'I', 'T', '2', 0x10, 0, 0, 0, 0, 0, 0, 'x', 'y', 0, 0, 0, 0, 0, 0, 0},
      {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10, 'T', 'P', 'E', '1', 0, 0, 0, 0, 0, 0},
      {'I', 'D', '3', 2},
  };
  for (const Bytes& id3 : broken) {
    tags = ReadTags(TaggedAiff({TextChunk("NAME", "kept")}, {Chunk("ID3 ", id3)}));
    EXPECT_EQ(tags.title, "kept");
    EXPECT_TRUE(tags.artist.empty());
  }

  // A UTF-16 title with a lone surrogate is not text: the NAME chunk's title stands.
  const Bytes badUtf16 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 19, 'T', 'I', 'T', '2', 0, 0, 0, 9, 0, 0,
                          1, 0xFF, 0xFE, 0x00, 0xD8, 'A', 0, 'B', 0};
  EXPECT_EQ(ReadTags(TaggedAiff({TextChunk("NAME", "kept")}, {Chunk("ID3 ", badUtf16)})).title, "kept");

  // COMT chunks whose count or lengths promise more than they hold keep the whole comments.
  Bytes comments;
  test::PutBe16(comments, 3);
  test::PutBe32(comments, 0);
  test::PutBe16(comments, 0);
  test::PutBe16(comments, 2);
  comments.insert(comments.end(), {'o', 'k'});
  test::PutBe32(comments, 0);
  test::PutBe16(comments, 0);
  test::PutBe16(comments, 900);
  comments.insert(comments.end(), {'c', 'u', 't'});
  EXPECT_EQ(ReadTags(TaggedAiff({}, {Chunk("COMT", comments)})).comment, "ok");
}

}  // namespace
}  // namespace velmora
