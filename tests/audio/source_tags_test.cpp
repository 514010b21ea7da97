#include "audio/source_tags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "audio/aiff_reader.h"
#include "audio/id3v2_screen.h"
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
  tags = ReadTags(TaggedAiff({TextChunk("NAME", "kept")}, {Chunk("ID3 ", badUtf16)}));
  EXPECT_EQ(tags.title, "kept");
  EXPECT_EQ(tags.notes, (std::vector<TagNote>{{TagNote::Kind::DamagedText, "TIT2", 1, 0, 0}}));

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

Bytes Text(std::uint8_t encoding, const std::string& text) {
  Bytes payload(text.size() + 1, encoding);
  std::copy(text.begin(), text.end(), payload.begin() + 1);
  return payload;
}

// Deflated frames can inflate a thousandfold; what would pass the budget is left out, with a
// note, before anything is inflated, and a frame that inflates past its declared size is
// damaged. What fits is read as usual.
TEST(SourceTagsTest, MetadataPastItsBudgetIsLeftOutBeforeItIsInflated) {
  constexpr std::size_t k300MiB = std::size_t{300} << 20;
  const Bytes commentHead = {0, 'e', 'n', 'g', 0};
  const Bytes pictureHead = {0, 'i', 'm', 'a', 'g', 'e', '/', 'p', 'n', 'g', 0, 3, 0};
  const Bytes commentBomb = test::Deflated(commentHead, k300MiB, 'A');
  constexpr std::size_t k32MiB = std::size_t{32} << 20;
  const auto plain = [](const Bytes& head) { return static_cast<std::uint32_t>(head.size() + k300MiB); };
  const auto pictureSize = static_cast<std::uint32_t>(pictureHead.size() + k32MiB);
  Bytes smallComment = commentHead;
  smallComment.insert(smallComment.end(), {'h', 'e', 'l', 'l', 'o'});
  const Bytes smallDeflated = test::Deflated(smallComment, 0, 0);

  SourceTags tags = ReadTags(TaggedAiff(
      {TextChunk("ANNO", std::string(2 << 20, 'n')), TextChunk("ANNO", "short note")},
      {Chunk("ID3 ", test::Id3v23Tag({
                         test::Id3v23Frame("TIT2", Text(0, "bomb")),
                         test::Id3v23Frame("COMM", commentBomb, 0, plain(commentHead)),
                         test::Id3v23Frame("APIC", test::Deflated(pictureHead, k32MiB, 0x89), 0, pictureSize),
                     }))}));
  EXPECT_EQ(tags.title, "bomb");
  EXPECT_EQ(tags.comment, "short note");
  EXPECT_TRUE(tags.pictures.empty());
  EXPECT_EQ(tags.notes, (std::vector<TagNote>{
                            {TagNote::Kind::TextChunkOverLimit, "ANNO", 1, 2097152, kMaxTagTextBytes},
                            {TagNote::Kind::TextFrameOverLimit, "COMM", 1, 314572805, kMaxTagTextBytes},
                            {TagNote::Kind::PictureOverLimit, "", 1, 33554445, kMaxTagPictureBytes},
                        }));

  // Frames that lie about their inflated size, declaring all the room but holding two bytes,
  // take none of it from the real frames after them.
  Bytes cover = pictureHead;
  cover.resize(2048, 0x89);
  tags = ReadTags(TaggedAiff({}, {Chunk("ID3 ", test::Id3v23Tag({
                                                    test::Id3v23Frame("TCOP", test::Deflated(Text(0, "c"), 0, 0), 0, 1 << 20),
                                                    test::Id3v23Frame("APIC", test::Deflated(pictureHead, 0, 0), 0, 16 << 20),
                                                    test::Id3v23Frame("TIT2", Text(0, "real title")),
                                                    test::Id3v23Frame("TPE1", Text(0, "real artist")),
                                                    test::Id3v23Frame("APIC", cover),
                                                }))}));
  EXPECT_EQ(tags.title, "real title");
  EXPECT_EQ(tags.artist, "real artist");
  EXPECT_TRUE(tags.copyright.empty());
  ASSERT_EQ(tags.pictures.size(), 1u);
  EXPECT_EQ(tags.pictures[0].data.size(), cover.size() - pictureHead.size());
  EXPECT_EQ(tags.notes, std::vector<TagNote>{});

  // Sizes are exact, so a picture just under the limit that does not fit beside another says
  // why, and pictures over it are said once, with their count.
  Bytes nearLimit = pictureHead;
  nearLimit.resize((16 << 20) - 1024, 0x89);
  const Bytes nearLimitTag = test::Id3v23Tag({test::Id3v23Frame("APIC", nearLimit)});
  tags = ReadTags(TaggedAiff({}, {Chunk("ID3 ", test::Id3v23Tag({test::Id3v23Frame("APIC", cover)})),
                                  Chunk("ID3 ", nearLimitTag), Chunk("id3 ", nearLimitTag)}));
  EXPECT_EQ(tags.pictures.size(), 1u);
  EXPECT_EQ(tags.notes,
            (std::vector<TagNote>{{TagNote::Kind::PictureOverLimit, "", 2, 33552384, kMaxTagPictureBytes}}));

  // A frame whose inflated size is declared small but is not, and one inflated as declared.
  tags = ReadTags(TaggedAiff({}, {Chunk("ID3 ", test::Id3v23Tag({
                                                    test::Id3v23Frame("COMM", commentBomb, 0, 100),
                                                    test::Id3v23Frame("TALB", test::Deflated(Text(0, "Deep"), 0, 0), 0, 5),
                                                    test::Id3v23Frame("COMM", smallDeflated, 0, 10),
                                                }))}));
  EXPECT_EQ(tags.album, "Deep");
  EXPECT_EQ(tags.comment, "hello");
  EXPECT_TRUE(tags.notes.empty());

  // An ID3 chunk over the chunk limit is not read, and says so.
  Bytes big = test::Id3v23Tag({test::Id3v23Frame("TIT2", Text(0, "big")), test::Id3v23Frame("PRIV", Bytes(17 << 20))});
  big.resize(17 << 20);
  tags = ReadTags(TaggedAiff({}, {Chunk("ID3 ", big)}));
  EXPECT_TRUE(tags.title.empty());
  EXPECT_EQ(tags.notes,
            (std::vector<TagNote>{{TagNote::Kind::Id3ChunkTooLarge, "", 1, 17 << 20, kMaxMetadataChunkBytes}}));
}

// `count` copies of `frame`, as one run of frames.
Bytes Repeated(const Bytes& frame, std::size_t count) {
  Bytes run;
  run.reserve(frame.size() * count);
  for (std::size_t i = 0; i < count; ++i) run.insert(run.end(), frame.begin(), frame.end());
  return run;
}

// A tag is bounded by its count of frames as well as by its bytes: each one-byte frame costs
// far more than its byte on its way out. The first of each text is kept and a few pictures,
// and what is left out is said once per kind, with a count, however many there are.
TEST(SourceTagsTest, MillionsOfTinyFramesKeepWhatIsReadAndSayTheRestOnce) {
  constexpr std::size_t kMillion = 1000000;
  const Bytes tinyPictures = Repeated(test::Id3v23Frame("APIC", {0, 0, 3, 0, 'X'}), kMillion);
  const Bytes laterTitles = Repeated(test::Id3v23Frame("TIT2", Text(0, "later")), kMillion);
  // Each ID3 chunk holds at most 16 MiB. Version 2.2 has six-byte frame headers, and an image
  // format instead of a MIME type.
  Bytes v22 = test::Id3v23Tag({{'T', 'T', '2', 0, 0, 6, 0, 'f', 'i', 'r', 's', 't'},
                               Repeated({'T', 'T', '2', 0, 0, 1, 0}, kMillion),
                               Repeated({'P', 'I', 'C', 0, 0, 7, 0, 'P', 'N', 'G', 3, 0, 'X'}, kMillion / 2)});
  v22[3] = 2;
  struct Case {
    const char* name;
    std::vector<Bytes> before, after;
    std::string title;
    std::string mimeType;
    std::vector<TagNote> notes;
  };
  const Case cases[] = {
      {"a million titles and pictures",
       {},
       {Chunk("ID3 ", test::Id3v23Tag({test::Id3v23Frame("TIT2", Text(0, "first")), laterTitles})),
        Chunk("ID3 ", test::Id3v23Tag({tinyPictures}))},
       "first",
       "",
       {{TagNote::Kind::TooManyPictures, "", 999996, 0, kMaxTagPictures}}},
      {"version 2.2",
       {},
       {Chunk("ID3 ", v22)},
       "first",
       "image/png",
       {{TagNote::Kind::TooManyPictures, "", 499996, 0, kMaxTagPictures}}},
      // Pictures after one that lies about its size, text chunks past the full text budget,
      // and more chunks than are read.
      {"a full budget",
       {Chunk("ID3 ", test::Id3v23Tag({test::Id3v23Frame("APIC", test::Deflated({0, 0, 3, 0}, 0, 0), 0, 16 << 20),
                                       tinyPictures})),
        TextChunk("NAME", std::string(1 << 20, 'n')), Repeated(TextChunk("ANNO", "a"), 100000),
        Repeated(TextChunk("ANNO", ""), 40000)},
       {},
       std::string(1 << 20, 'n'),
       "",
       {{TagNote::Kind::TooManyPictures, "", 999996, 0, kMaxTagPictures},
        {TagNote::Kind::TextChunkOverLimit, "ANNO", 100000, 100000, kMaxTagTextBytes},
        {TagNote::Kind::TooManyChunks, "", 8930, 0, kMaxMetadataChunks}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes image = TaggedAiff(c.before, c.after);
    const SourceTags tags = ReadTags(image);
    EXPECT_EQ(tags.title, c.title);
    ASSERT_EQ(tags.pictures.size(), static_cast<std::size_t>(kMaxTagPictures));
    EXPECT_EQ(tags.pictures.back().data, Bytes{'X'});
    EXPECT_EQ(tags.pictures.back().mimeType, c.mimeType);
    EXPECT_EQ(tags.notes, c.notes);
    // A reading for a name holds no pictures and says nothing of them.
    AiffReader reader;
    ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
    const SourceTags texts = reader.Tags({false, nullptr});
    EXPECT_EQ(texts.title, c.title);
    EXPECT_TRUE(texts.pictures.empty());
    EXPECT_EQ(texts.notes, std::vector<TagNote>(c.notes.begin() + 1, c.notes.end()));
  }
}

// Values TagLib would misread are checked: an encoding byte no version knows is read as
// ISO-8859-1, the picture type is the byte stored (0 to 255), the year keeps its whole text, and
// unsynchronised tags are restored.
TEST(SourceTagsTest, FrameValuesAreKeptAsStored) {
  const Bytes picture = {0, 'i', 'm', 'a', 'g', 'e', '/', 'p', 'n', 'g', 0, 0xFF, 'd', 0, 0xFF, 0xE0, 'x'};
  const Bytes plain = test::Id3v23Tag({test::Id3v23Frame("TIT2", Text(7, "hello")),
                                       test::Id3v23Frame("TYER", Text(0, "1990s")), test::Id3v23Frame("APIC", picture)},
                                      0x80);
  // Unsynchronisation puts a zero after every 0xFF of the tag's body.
  Bytes tag(plain.begin(), plain.begin() + 10);
  for (std::size_t i = 10; i < plain.size(); ++i) {
    tag.push_back(plain[i]);
    if (plain[i] == 0xFF) tag.push_back(0);
  }
  tag[9] = static_cast<std::uint8_t>(tag[9] + tag.size() - plain.size());
  const SourceTags tags = ReadTags(TaggedAiff({}, {Chunk("ID3 ", tag)}));
  EXPECT_EQ(tags.title, "hello");
  EXPECT_EQ(tags.year, "1990s");
  ASSERT_EQ(tags.pictures.size(), 1u);
  EXPECT_EQ(tags.pictures[0].type, 255);
  EXPECT_EQ(tags.pictures[0].description, "d");
  EXPECT_EQ(tags.pictures[0].data, (Bytes{0xFF, 0xE0, 'x'}));
}

}  // namespace
}  // namespace velmora
