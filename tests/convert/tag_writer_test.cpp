// Tags carried from AIFF sources into MP3 and WAV files, read back by TagLib and by ffprobe.
#include "convert/tag_writer.h"

#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/wavfile.h>

#include <map>
#include <sstream>

#include "convert/file_conversion.h"
#include "convert/id3_block.h"
#include "convert/mp3_loudness.h"
#include "convert/output_paths.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"
#include "support/test_output.h"

namespace velmora {
namespace {

using test::Bytes;
using test::Chunk;
using test::TextChunk;

const std::string kTokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";  // outside ISO-8859-1: UTF-16 in ID3v2.3

std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The chunks of a RIFF file: id and payload, checking that the sizes add up to the file's.
std::map<std::string, Bytes> RiffChunks(const Bytes& file) {
  std::map<std::string, Bytes> chunks;
  EXPECT_EQ(Le32(file, 4), file.size() - 8);
  std::size_t pos = 12;
  while (pos + 8 <= file.size()) {
    const std::uint32_t size = Le32(file, pos + 4);
    EXPECT_LE(pos + 8 + size, file.size());
    const auto start = file.begin() + static_cast<std::ptrdiff_t>(pos + 8);
    chunks[std::string(start - 8, start - 4)] = Bytes(start, start + size);
    pos += 8 + size + (size & 1);
  }
  EXPECT_EQ(pos, file.size());
  return chunks;
}

// ffprobe's view of a file's tags, keys in lower case.
std::map<std::string, std::string> ProbeTags(const std::string& path) {
  std::string out;
  EXPECT_EQ(test::RunCommand("ffprobe -v error -show_entries format_tags -of default=noprint_wrappers=1 " +
                                 test::ShellQuote(path),
                             &out),
            0);
  std::map<std::string, std::string> tags;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    const auto eq = line.find('=');
    if (!line.starts_with("TAG:") || eq == std::string::npos) continue;
    std::string key = line.substr(4, eq - 4);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    tags[key] = line.substr(eq + 1);
  }
  return tags;
}

// The attached picture as ffmpeg finds it, copied out byte for byte.
Bytes ProbePicture(const test::TempDir& dir, const std::string& path) {
  const std::string picture = dir.File("picture.png");
  EXPECT_EQ(test::RunCommand("ffmpeg -nostdin -v error -y -i " + test::ShellQuote(path) +
                             " -map 0:v -c copy -f image2 " + test::ShellQuote(picture)),
            0);
  return test::ReadFileBytes(picture);
}

class TagConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveProgram("ffprobe") || !test::HaveProgram("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  }

  // Converts `image` (written as song.aiff) and returns the output's bytes.
  Bytes Convert(const Bytes& image, OutputFormat format, const ConverterSettings& settings,
                const std::string& output) {
    const std::string source = m_dir.Write("song.aiff", image);
    AiffReader reader;
    EXPECT_TRUE(reader.Open(source)) << reader.ErrorText();
    test::TestOutput out(m_dir.File(output));
    const FileOutcome outcome = format == OutputFormat::Mp3
                                    ? ConvertFileToMp3(reader, source, out.file, OptionsFromSettings(settings), {})
                                    : ConvertFileToWav(reader, out.file, OptionsFromSettings(settings), {});
    EXPECT_EQ(outcome.result, FileResult::Converted);
    EXPECT_TRUE(out.Publish());
    return test::ReadFileBytes(out.path);
  }

  // Every kind of chunk: text chunks before the sound, an ID3 chunk with a picture after it.
  Bytes FullySourced() {
    m_fields.title = kTokyo + " Nights";
    m_fields.album = "Caf\xC3\xA9 Sessions";  // fits ISO-8859-1
    m_fields.year = "2004";
    m_fields.track = "7/11";
    m_fields.genre = "Jazz";
    m_fields.picture = test::TinyPng();
    m_fields.pictureDescription = "front";
    return test::TaggedAiff({TextChunk("NAME", "chunk title"), TextChunk("AUTH", "Ann Smith"),
                             TextChunk("(c) ", "(C) 2004 Ann Smith")},
                            {TextChunk("ANNO", "recorded live"), Chunk("ID3 ", test::Id3Tag(m_fields, 4))});
  }

  test::TempDir m_dir;
  test::Id3Fields m_fields;
};

TEST_F(TagConversionTest, Mp3GetsAnId3v23TagWithEveryFieldAndThePicture) {
  ConverterSettings settings;
  Convert(FullySourced(), OutputFormat::Mp3, settings, "song.mp3");
  const std::string path = m_dir.File("song.mp3");

  TagLib::MPEG::File file(path.c_str());
  ASSERT_TRUE(file.hasID3v2Tag());
  EXPECT_FALSE(file.hasID3v1Tag());
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
  EXPECT_EQ(tag->header()->majorVersion(), 3u);
  EXPECT_EQ(tag->title().to8Bit(true), m_fields.title);
  EXPECT_EQ(tag->artist().to8Bit(true), "Ann Smith");
  EXPECT_EQ(tag->album().to8Bit(true), m_fields.album);
  EXPECT_EQ(tag->year(), 2004u);
  EXPECT_EQ(tag->track(), 7u);
  EXPECT_EQ(tag->genre().to8Bit(true), "Jazz");
  EXPECT_EQ(tag->comment().to8Bit(true), "recorded live");
  EXPECT_EQ(tag->frameList("TCOP").front()->toString().to8Bit(true), "(C) 2004 Ann Smith");
  // Each text in the narrowest encoding v2.3 has for it.
  auto encoding = [&](const char* id) {
    return dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(tag->frameList(id).front())->textEncoding();
  };
  EXPECT_EQ(encoding("TIT2"), TagLib::String::UTF16);
  EXPECT_EQ(encoding("TALB"), TagLib::String::Latin1);
  EXPECT_EQ(encoding("TPE1"), TagLib::String::Latin1);
  ASSERT_EQ(tag->frameList("APIC").size(), 1u);
  const auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(tag->frameList("APIC").front());
  const TagLib::ByteVector pictureBytes = picture->picture();
  EXPECT_EQ(Bytes(pictureBytes.begin(), pictureBytes.end()), m_fields.picture);
  EXPECT_EQ(picture->mimeType(), "image/png");
  EXPECT_EQ(picture->description(), "front");
  EXPECT_EQ(picture->type(), TagLib::ID3v2::AttachedPictureFrame::FrontCover);

  const auto probed = ProbeTags(path);
  EXPECT_EQ(probed.at("title"), m_fields.title);
  EXPECT_EQ(probed.at("artist"), "Ann Smith");
  EXPECT_EQ(probed.at("album"), m_fields.album);
  EXPECT_EQ(probed.at("date"), "2004");
  EXPECT_EQ(probed.at("track"), "7/11");
  EXPECT_EQ(probed.at("genre"), "Jazz");
  EXPECT_EQ(probed.at("comment"), "recorded live");
  EXPECT_EQ(probed.at("copyright"), "(C) 2004 Ann Smith");
  EXPECT_EQ(ProbePicture(m_dir, path), m_fields.picture);
}

// What the user typed wins over the source in every tag, in UTF-8 where the tag can hold it;
// the title from the file name only fills a title the source lacks.
TEST_F(TagConversionTest, Id3OptionsWinOverTheSourceInEveryTag) {
  const std::string dolphin = "\xD0\x94\xD0\xB5\xD0\xBB\xD1\x8C\xD1\x84\xD0\xB8\xD0\xBD";  // outside Latin-1
  ConverterSettings settings;
  settings.AddID3Tag = 1;
  settings.ID3Tag.SetArtist(dolphin);
  settings.ID3Tag.SetAlbum("Option Album");
  settings.ID3Tag.SetGenre(0);  // Blues
  const Bytes source = test::TaggedAiff({TextChunk("AUTH", "Source Artist"), TextChunk("NAME", "Source Title")},
                                        {TextChunk("ANNO", "source note")});
  const Bytes mp3 = Convert(source, OutputFormat::Mp3, settings, "song.mp3");
  ASSERT_GT(mp3.size(), kId3BlockBytes);
  const Id3Block expected = BuildId3Block("song", dolphin, "Option Album", "", "", 0);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), mp3.end() - kId3BlockBytes));

  TagLib::MPEG::File file(m_dir.File("song.mp3").c_str());
  ASSERT_TRUE(file.hasID3v2Tag());
  const TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
  EXPECT_EQ(tag->artist().to8Bit(true), dolphin);
  EXPECT_EQ(tag->album(), "Option Album");
  EXPECT_EQ(tag->title(), "Source Title");
  EXPECT_EQ(tag->comment(), "source note");
  EXPECT_EQ(tag->genre(), "Blues");

  // The same in WAV, where the ID3 options also reach the INFO list.
  Convert(source, OutputFormat::Wav, settings, "song.wav");
  const auto probed = ProbeTags(m_dir.File("song.wav"));
  EXPECT_EQ(probed.at("artist"), dolphin);
  EXPECT_EQ(probed.at("album"), "Option Album");
  EXPECT_EQ(probed.at("title"), "Source Title");

  // A typed title wins too; a file name that is not UTF-8 gives a Latin-1 title.
  settings.ID3Tag.SetTitleFromFileName(false);
  settings.ID3Tag.SetTitle("Typed Title");
  Convert(source, OutputFormat::Mp3, settings, "typed.mp3");
  EXPECT_EQ(TagLib::MPEG::File(m_dir.File("typed.mp3").c_str()).tag()->title(), "Typed Title");
  settings.ID3Tag.SetTitleFromFileName(true);
  const std::string latin1Name = m_dir.Write("Caf\xE9.aiff", test::TaggedAiff({TextChunk("AUTH", "Ann")}, {}));
  AiffReader reader;
  ASSERT_TRUE(reader.Open(latin1Name));
  test::TestOutput out(m_dir.File("latin1.mp3"));
  ASSERT_EQ(ConvertFileToMp3(reader, latin1Name, out.file, OptionsFromSettings(settings), {}).result, FileResult::Converted);
  ASSERT_TRUE(out.Publish());
  EXPECT_EQ(TagLib::MPEG::File(out.path.c_str()).ID3v2Tag()->title().to8Bit(true), "Caf\xC3\xA9");

  // Without tags in the source, or with copying off, the file is what it always was.
  const Bytes plain = Convert(test::TaggedAiff({}, {}), OutputFormat::Mp3, settings, "plain.mp3");
  settings.CopyTags = 0;
  const Bytes off = Convert(source, OutputFormat::Mp3, settings, "off.mp3");
  EXPECT_EQ(plain, off);
  EXPECT_EQ(plain[0], 0xFF);  // the first frame's sync, no ID3v2 tag
}

TEST_F(TagConversionTest, WavGetsInfoAndId3ChunksAfterUnchangedSound) {
  ConverterSettings settings;
  const Bytes wav = Convert(FullySourced(), OutputFormat::Wav, settings, "song.wav");
  settings.CopyTags = 0;
  const Bytes untagged = Convert(FullySourced(), OutputFormat::Wav, settings, "untagged.wav");
  auto chunks = RiffChunks(wav);
  EXPECT_EQ(chunks.at("data"), RiffChunks(untagged).at("data"));
  EXPECT_EQ(untagged.size(), 44u + chunks.at("data").size());
  ASSERT_TRUE(chunks.count("LIST"));
  ASSERT_TRUE(chunks.count("id3 "));

  // Read back after a conversion, so TagLib reads INFO texts as the UTF-8 they were written in.
  const std::string path = m_dir.File("song.wav");
  TagLib::RIFF::WAV::File file(path.c_str());
  ASSERT_TRUE(file.hasInfoTag());
  const TagLib::RIFF::Info::Tag* info = file.InfoTag();
  EXPECT_EQ(info->fieldText("INAM").to8Bit(true), m_fields.title);
  EXPECT_EQ(info->fieldText("IART"), "Ann Smith");
  EXPECT_EQ(info->fieldText("IPRD").to8Bit(true), m_fields.album);
  EXPECT_EQ(info->fieldText("ICRD"), "2004");
  EXPECT_EQ(info->fieldText("ICMT"), "recorded live");
  EXPECT_EQ(info->fieldText("ICOP"), "(C) 2004 Ann Smith");
  EXPECT_EQ(info->fieldText("IGNR"), "Jazz");
  EXPECT_EQ(info->fieldText("ITRK"), "7/11");
  ASSERT_TRUE(file.hasID3v2Tag());
  EXPECT_EQ(file.ID3v2Tag()->header()->majorVersion(), 3u);
  EXPECT_EQ(file.ID3v2Tag()->title().to8Bit(true), m_fields.title);
  ASSERT_EQ(file.ID3v2Tag()->frameList("APIC").size(), 1u);

  const auto probed = ProbeTags(path);
  EXPECT_EQ(probed.at("title"), m_fields.title);
  EXPECT_EQ(probed.at("artist"), "Ann Smith");
  EXPECT_EQ(probed.at("album"), m_fields.album);
  EXPECT_EQ(probed.at("comment"), "recorded live");
  EXPECT_EQ(probed.at("copyright"), "(C) 2004 Ann Smith");
  EXPECT_EQ(probed.at("genre"), "Jazz");
  EXPECT_EQ(ProbePicture(m_dir, path), m_fields.picture);

  // A lossless WAV carries the same chunks after its sound, and the RIFF size covers them.
  AiffReader reader;
  ASSERT_TRUE(reader.Open(m_dir.File("song.aiff")));
  test::TestOutput lossless(m_dir.File("lossless.wav"));
  ConversionOptions options;
  options.wav.target.lossless = true;
  ASSERT_EQ(ConvertFileToWav(reader, lossless.file, options, {}).result, FileResult::Converted);
  ASSERT_TRUE(lossless.Publish());
  const Bytes full = test::ReadFileBytes(lossless.path);
  EXPECT_EQ(RiffChunks(full).at("data"), chunks.at("data"));
  EXPECT_EQ(full[4] | (full[5] << 8) | (full[6] << 16) | (std::uint32_t{full[7]} << 24), full.size() - 8);
  TagLib::RIFF::WAV::File fullFile(lossless.path.c_str());
  ASSERT_TRUE(fullFile.hasInfoTag() && fullFile.hasID3v2Tag());
  EXPECT_EQ(fullFile.InfoTag()->fieldText("IART"), "Ann Smith");
  EXPECT_EQ(fullFile.ID3v2Tag()->title().to8Bit(true), m_fields.title);
}

TEST_F(TagConversionTest, OddWavDataIsPaddedBeforeTheTagsAndBrokenMetadataStillConverts) {
  test::AiffBuilder b;
  b.bits = 8;
  b.frames = 1001;
  for (int i = 0; i < 1001; ++i) b.sound.push_back(static_cast<std::uint8_t>(i * 7));
  b.chunksAfter = {TextChunk("NAME", "odd"),
                   Chunk("ID3 ", {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 'T', 'I', 'T', '2', 0xFF, 0xFF})};
  const Bytes wav = Convert(b.Build(), OutputFormat::Wav, ConverterSettings{}, "odd.wav");
  const auto chunks = RiffChunks(wav);
  EXPECT_EQ(chunks.at("data").size(), 1001u);
  EXPECT_EQ(Le32(wav, 40), 1001u);
  EXPECT_EQ(ProbeTags(m_dir.File("odd.wav")).at("title"), "odd");
  std::string duration;
  ASSERT_EQ(test::RunCommand("ffprobe -v error -show_entries stream=duration_ts -of csv=p=0 " +
                                 test::ShellQuote(m_dir.File("odd.wav")),
                             &duration),
            0);
  EXPECT_EQ(std::stoi(duration), 1001);
}

// The ID3v2 header holds the tag's size in 28 bits: a tag that fits is written whole, a larger
// one is refused with a note, in MP3 and in the WAV "id3 " chunk, rather than wrapping around.
// Frames are written as given.
TEST(TagWriterTest, ATagLargerThanItsSizeFieldIsRefused) {
  SourceTags tags;
  tags.title = "big";
  // TIT2 "big" takes 14 bytes; the APIC frame's header and its fields before the picture 23.
  constexpr std::size_t kLargestPicture = kMaxId3v2TagBytes - 10 - 14 - 23;
  tags.pictures.push_back({"image/png", "", 3, Bytes(kLargestPicture, 0x55)});
  std::vector<TagNote> notes;
  Bytes tag = BuildId3v2Tag(tags, &notes);
  ASSERT_EQ(tag.size(), kMaxId3v2TagBytes);
  EXPECT_EQ(Bytes(tag.begin() + 6, tag.begin() + 10), (Bytes{0x7F, 0x7F, 0x7F, 0x7F}));
  tag = {};

  // A year that is more than a number keeps its whole text.
  SourceTags dated;
  dated.year = "2004-05-06";
  const Bytes rendered = BuildId3v2Tag(dated);
  EXPECT_NE(std::string(rendered.begin(), rendered.end()).find(std::string("TYER\0\0\0\x0B\0\0\0" "2004-05-06", 21)),
            std::string::npos);

  tags.pictures[0].data.push_back(0x55);
  EXPECT_TRUE(BuildId3v2Tag(tags, &notes).empty());
  const Bytes chunks = BuildWavTagChunks(tags, &notes);
  ASSERT_GE(chunks.size(), 8u);
  EXPECT_EQ(std::string(chunks.begin(), chunks.begin() + 4), "LIST");
  EXPECT_EQ(chunks.size(), 8 + Le32(chunks, 4) + (Le32(chunks, 4) & 1));  // the INFO list alone
  const TagNote tooLarge{TagNote::Kind::OutputTagTooLarge, "", 1, kMaxId3v2TagBytes + 1, kMaxId3v2TagBytes};
  EXPECT_EQ(notes, std::vector<TagNote>(2, tooLarge));
}

}  // namespace
}  // namespace velmora
