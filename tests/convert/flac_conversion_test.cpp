// FLAC output: round trips through the flac tool and libsndfile (samples, tags, pictures, the
// source's chunks rebuilt byte for byte), float sources at 24 bits, and reading a file back.

#include "convert/flac_conversion.h"

#include <FLAC/format.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "cli/outcome_text.h"
#include "convert/aiff_chunk_blocks.h"
#include "support/aiff_builder.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using cli::ReasonText;
using test::Bytes;
using test::ShellQuote;

constexpr std::uint32_t kFrames = 5001;  // more than one FLAC block, and an odd count

// Converts `source` to FLAC at `flac`; the outcome.
FileOutcome ConvertToFlac(const std::string& source, const std::string& flac, ConversionOptions options = {}) {
  AiffReader reader;
  if (!reader.Open(source)) return FileOutcome::Failure(FileReason::SourceUnreadable, reader.ErrorText());
  OutputFile output;
  if (!output.CreateTemporary(flac)) return FileOutcome::Failure(FileReason::WriteFailed);
  FileOutcome outcome = ConvertFileToFlac(reader, source, output, options, {});
  if (outcome.result == FileResult::Converted && output.Publish(flac) != OutputFile::PublishResult::Published) {
    return FileOutcome::Failure(FileReason::WriteFailed);
  }
  return outcome;
}

// Every sample of a file as libsndfile reads it, left-justified in 32 bits.
std::vector<int> ReadInts(const std::string& path, SF_INFO& info) {
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return {};
  std::vector<int> samples(static_cast<std::size_t>(info.frames * info.channels));
  sf_read_int(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(file);
  return samples;
}

// The flac tool's decoding of `flac` (MD5 checked), left-justified in 32 bits as libsndfile gives them.
std::vector<int> DecodeWithFlac(const std::string& flac, int bits, const std::string& raw) {
  if (test::RunCommand("flac -d -s -f --force-raw-format --endian=little --sign=signed -o " + ShellQuote(raw) + " " +
                       ShellQuote(flac) + " 2>/dev/null") != 0) {
    return {};
  }
  const Bytes bytes = test::ReadFileBytes(raw);
  const int width = bits / 8;
  std::vector<int> samples;
  for (std::size_t at = 0; at + static_cast<std::size_t>(width) <= bytes.size();
       at += static_cast<std::size_t>(width)) {
    std::uint32_t value = 0;
    for (int b = 0; b < width; ++b)
      value |= std::uint32_t{bytes[at + static_cast<std::size_t>(b)]} << (8 * b + 32 - bits);
    samples.push_back(static_cast<int>(value));
  }
  return samples;
}

std::string Output(const std::string& command) {
  std::string out;
  test::RunCommand(command, &out);
  return out;
}

struct RoundTrip {
  int bits;
  int channels;
  int rate;
};

// Random samples of every bit pattern, at every width and channel count the reader takes and
// rates from telephone to studio: the flac tool decodes exactly the source's samples, with the
// stream's MD5 checked, and the stream says the source's format.
TEST(FlacConversionTest, FlacToolDecodesTheSourcesSamples) {
  if (!test::HaveProgram("flac") || !test::HaveProgram("metaflac")) GTEST_SKIP() << "flac not installed";
  const RoundTrip cases[] = {{8, 1, 8000},   {8, 2, 11025},  {16, 1, 22050}, {16, 2, 44100},
                             {16, 3, 48000}, {24, 2, 96000}, {24, 4, 88200}, {24, 6, 192000},
                             {16, 6, 44100}, {32, 2, 44100}, {12, 2, 32000}};
  std::mt19937 random(7);
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(std::to_string(c.bits) + " bits, " + std::to_string(c.channels) + " channels, " +
                 std::to_string(c.rate) + " Hz");
    test::TempDir dir;
    test::AiffBuilder builder;
    builder.channels = c.channels;
    builder.bits = c.bits;
    builder.rate = c.rate;
    builder.frames = kFrames;
    const int width = (c.bits + 7) / 8;
    for (std::size_t i = 0; i < std::size_t{kFrames} * static_cast<std::size_t>(c.channels); ++i) {
      const std::uint32_t sample = static_cast<std::uint32_t>(random()) << (32 - c.bits);
      for (int b = 0; b < width; ++b) builder.sound.push_back(static_cast<std::uint8_t>(sample >> (24 - 8 * b)));
    }
    const std::string source = dir.Write("source.aiff", builder.Build());
    const std::string flac = dir.File("out.flac");
    const FileOutcome outcome = ConvertToFlac(source, flac);
    ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
    EXPECT_EQ(outcome.written.frames, kFrames);

    const int storedBits = width * 8;
    EXPECT_EQ(Output("metaflac --show-bps --show-channels --show-sample-rate --show-total-samples " + ShellQuote(flac)),
              std::to_string(storedBits) + "\n" + std::to_string(c.channels) + "\n" + std::to_string(c.rate) + "\n" +
                  std::to_string(kFrames) + "\n");
    SF_INFO info{};
    const std::vector<int> expected = ReadInts(source, info);
    ASSERT_EQ(expected.size(), std::size_t{kFrames} * static_cast<std::size_t>(c.channels));
    EXPECT_EQ(DecodeWithFlac(flac, storedBits, dir.File("out.raw")), expected);
    // Speakers as the flac tool names them, for more than two channels.
    const std::string mask = Output("metaflac --show-tag=WAVEFORMATEXTENSIBLE_CHANNEL_MASK " + ShellQuote(flac));
    EXPECT_EQ(mask, c.channels == 3  ? "WAVEFORMATEXTENSIBLE_CHANNEL_MASK=0x0007\n"
                    : c.channels > 2 ? "WAVEFORMATEXTENSIBLE_CHANNEL_MASK=0x0000\n"
                                     : "");
    // The file reads back as written, and a seek table lets players jump.
    EXPECT_EQ(VerifyFlacFile(flac, outcome.written, {}, nullptr).result, FileResult::Converted);
    EXPECT_NE(Output("metaflac --list --block-type=SEEKTABLE " + ShellQuote(flac)).find("seek points: 1"),
              std::string::npos);
  }
}

// The chunks of a plain AIFF travel in the FLAC file, so that the flac tool rebuilds the source
// byte for byte, chunks before and after the sound, odd sizes and all; AIFF-C, which the flac
// tool cannot rebuild, keeps none, and neither does a conversion asked not to.
TEST(FlacConversionTest, FlacToolRebuildsAPlainAiffFromTheKeptChunks) {
  if (!test::HaveProgram("flac") || !test::HaveProgram("metaflac")) GTEST_SKIP() << "flac not installed";
  const Bytes marker = {0, 1, 0, 1, 0, 0, 0, 100, 3, 'a', 'b', 'c'};
  const Bytes instrument = {60, 0, 0, 127, 1, 127, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  struct Case {
    const char* name;
    const char* compression;  // nullptr: plain AIFF
    bool keep;
    bool rebuilt;
    bool tooLarge = false;  // a chunk past the size of a FLAC metadata block
  };
  const Case cases[] = {{"plain AIFF", nullptr, true, true},
                        {"plain AIFF, chunks not kept", nullptr, false, false},
                        {"AIFF-C sowt", "sowt", true, false},
                        {"AIFF-C NONE", "NONE", true, false},
                        {"plain AIFF with a chunk too large to keep", nullptr, true, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    test::AiffBuilder builder;
    builder.aifc = c.compression != nullptr;
    if (c.compression) builder.compression = c.compression;
    builder.channels = 2;
    builder.frames = kFrames;
    for (std::uint32_t i = 0; i < kFrames * 2; ++i) test::PutBe16(builder.sound, (i * 181) & 0xFFFF);
    builder.chunksBefore = {test::TextChunk("NAME", "Odd title"), test::TextChunk("ANNO", "Notes"),
                            test::Chunk("MARK", marker), test::Chunk("INST", instrument)};
    builder.chunksAfter = {test::CommentsChunk({"after the sound"}), test::Chunk("APPL", {'t', 'e', 's', 't', 1})};
    if (c.tooLarge) builder.chunksAfter.push_back(test::Chunk("APPL", Bytes(kMaxFlacBlockBytes, 7)));
    const Bytes sourceBytes = builder.Build();
    const std::string source = dir.Write("source.aiff", sourceBytes);
    const std::string flac = dir.File("out.flac");
    ConversionOptions options;
    options.flac.keepChunks = c.keep;
    const FileOutcome outcome = ConvertToFlac(source, flac, options);
    ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
    const std::string blocks = Output("metaflac --list --block-type=APPLICATION " + ShellQuote(flac));
    EXPECT_EQ(blocks.find("application ID: 61696666") != std::string::npos, c.rebuilt || c.tooLarge) << blocks;
    if (c.tooLarge) {
      // The rest is kept, and the file's line says the rebuilt AIFF will differ (the chunk with
      // its header and pad byte is 16,777,224 bytes).
      ASSERT_EQ(outcome.tagNotes.size(), 1u);
      EXPECT_EQ(cli::TagNoteText(outcome.tagNotes[0]),
                "APPL chunk of 16,777,224 bytes not kept (over the 16 MiB limit of a FLAC block): the AIFF restored "
                "from it will differ");
      continue;
    }
    EXPECT_TRUE(outcome.tagNotes.empty());
    if (!c.rebuilt) continue;
    const std::string rebuilt = dir.File("rebuilt.aiff");
    ASSERT_EQ(test::RunCommand("flac -d -s -f --keep-foreign-metadata -o " + ShellQuote(rebuilt) + " " +
                               ShellQuote(flac) + " 2>/dev/null"),
              0);
    EXPECT_EQ(test::ReadFileBytes(rebuilt), sourceBytes);
  }
}

// Tags in any script become Vorbis comments as UTF-8, the cover a PICTURE block; the command
// line's options reach the encoder.
TEST(FlacConversionTest, TagsAndPictureAsPeersReadThem) {
  if (!test::HaveProgram("metaflac")) GTEST_SKIP() << "metaflac not installed";
  test::TempDir dir;
  test::Id3Fields fields;
  fields.title = "夜明けの歌";
  fields.artist = "Пётр Ильич";
  fields.album = "Ölmühle";
  fields.year = "1999";
  fields.track = "3/12";
  fields.genre = "Classical";
  fields.comment = "first line";
  fields.picture = test::TinyPng();
  const std::string source =
      dir.Write("tagged.aiff", test::TaggedAiff({test::Chunk("ID3 ", test::Id3Tag(fields))}, {}, 88200));
  const std::string flac = dir.File("tagged.flac");
  const FileOutcome outcome = ConvertToFlac(source, flac);
  ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);

  // Raw UTF-8 whatever the locale: metaflac otherwise converts to the terminal's character set.
  const std::string tags = Output("metaflac --no-utf8-convert --export-tags-to=- " + ShellQuote(flac));
  for (const char* line : {"TITLE=夜明けの歌\n", "ARTIST=Пётр Ильич\n", "ALBUM=Ölmühle\n", "DATE=1999\n",
                           "TRACKNUMBER=3\n", "TRACKTOTAL=12\n", "GENRE=Classical\n", "COMMENT=first line\n"}) {
    EXPECT_NE(tags.find(line), std::string::npos) << line << "in\n" << tags;
  }
  const std::string picture = Output("metaflac --list --block-type=PICTURE " + ShellQuote(flac));
  EXPECT_NE(picture.find("type: 3 (Cover (front))"), std::string::npos) << picture;
  EXPECT_NE(picture.find("MIME type: image/png"), std::string::npos) << picture;
  EXPECT_NE(picture.find("data length: " + std::to_string(test::TinyPng().size())), std::string::npos) << picture;

  // Through the command line: its level and --no-keep-chunks take effect, copying no tags too;
  // ReplayGain comes as its comments.
  if (!test::HaveProgram("flac")) GTEST_SKIP() << "flac not installed";
  const std::string out = dir.File("cli");
  fs::create_directories(out);
  ASSERT_EQ(
      test::RunCommand("HOME=" + ShellQuote(dir.File("home")) + " XDG_CONFIG_HOME=" + ShellQuote(dir.File("home")) +
                       " " + ShellQuote(VELMORA_CLI_PATH) + " convert -q -f flac --flac-level 0 --no-keep-chunks " +
                       "--no-copy-tags --replaygain track -o " + ShellQuote(out) + " " + ShellQuote(source)),
      0);
  const std::string made = out + "/tagged.flac";
  EXPECT_EQ(test::RunCommand("flac -t -s " + ShellQuote(made)), 0);
  EXPECT_EQ(Output("metaflac --list --block-type=APPLICATION,PICTURE " + ShellQuote(made)), "");
  EXPECT_EQ(Output("metaflac --show-tag=TITLE " + ShellQuote(made)), "");
  EXPECT_TRUE(Output("metaflac --show-tag=REPLAYGAIN_TRACK_GAIN " + ShellQuote(made)).ends_with(" dB\n"));
}

// A float source is stored as 24-bit integers, rounded and clipped, with a note saying so.
TEST(FlacConversionTest, FloatSourceIsStoredAt24BitsWithANote) {
  if (!test::HaveProgram("flac") || !test::HaveProgram("metaflac")) GTEST_SKIP() << "flac not installed";
  for (const int bits : {32, 64}) {
    SCOPED_TRACE(bits);
    test::TempDir dir;
    test::AiffBuilder builder;
    builder.aifc = true;
    builder.compression = bits == 32 ? "fl32" : "fl64";
    builder.bits = bits;
    builder.frames = kFrames;
    std::vector<double> values;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> level(-1.5, 1.5);
    for (std::uint32_t i = 0; i < kFrames; ++i) {
      const double value = i == 0 ? std::nan("") : level(random);
      values.push_back(bits == 32 ? static_cast<double>(static_cast<float>(value)) : value);
      const std::uint64_t pattern =
          bits == 32 ? std::bit_cast<std::uint32_t>(static_cast<float>(value)) : std::bit_cast<std::uint64_t>(value);
      for (int b = bits / 8 - 1; b >= 0; --b) builder.sound.push_back(static_cast<std::uint8_t>(pattern >> (8 * b)));
    }
    const std::string source = dir.Write("float.aiff", builder.Build());
    const std::string flac = dir.File("float.flac");
    const FileOutcome outcome = ConvertToFlac(source, flac);
    ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
    ASSERT_EQ(outcome.tagNotes.size(), 1u);
    EXPECT_EQ(cli::TagNoteText(outcome.tagNotes[0]), "float samples stored as 24-bit integers");
    EXPECT_EQ(Output("metaflac --show-bps " + ShellQuote(flac)), "24\n");
    const std::vector<int> decoded = DecodeWithFlac(flac, 24, dir.File("float.raw"));
    ASSERT_EQ(decoded.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      const double expected = std::isnan(values[i]) ? 0 : std::clamp(values[i] * 8388608.0, -8388608.0, 8388607.0);
      EXPECT_LE(std::abs(decoded[i] / 256.0 - expected), 0.5) << i;
    }
  }
}

// A header that promises four billion frames at 1 Hz over a few thousand: the file holds what
// is there, its seek table stays small and points at nothing past the end, and the shortfall is
// reported.
TEST(FlacConversionTest, SourceShorterThanItsHeaderGivesAValidFile) {
  if (!test::HaveProgram("flac") || !test::HaveProgram("metaflac")) GTEST_SKIP() << "flac not installed";
  test::TempDir dir;
  test::AiffBuilder builder;
  builder.frames = 0xFFFFFFFF;
  builder.rate = 1;
  for (int i = 0; i < 5000; ++i) test::PutBe16(builder.sound, static_cast<unsigned>(i * 97) & 0x7FFF);
  const std::string source = dir.Write("liar.aiff", builder.Build());
  const std::string flac = dir.File("liar.flac");
  const FileOutcome outcome = ConvertToFlac(source, flac);
  ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
  EXPECT_EQ(outcome.reason, FileReason::SourceEndsEarly);
  EXPECT_EQ(outcome.written.frames, 5000u);
  EXPECT_EQ(test::RunCommand("flac -t -s " + ShellQuote(flac)), 0);
  EXPECT_EQ(VerifyFlacFile(flac, outcome.written, {}, nullptr).result, FileResult::Converted);
  const std::string table = Output("metaflac --list --block-type=SEEKTABLE " + ShellQuote(flac));
  EXPECT_NE(table.find("seek points: 4096\n"), std::string::npos) << table.substr(0, 200);
  EXPECT_NE(table.find("point 0: sample_number=0, stream_offset=0, frame_samples=4096"), std::string::npos);
  EXPECT_EQ(table.find("frame_samples=0"), std::string::npos);
}

// Reading back catches a file that is not what was written: one changed byte of sound, a
// frame count or samples other than the conversion handed on; the file as written passes.
TEST(FlacConversionTest, VerifyCatchesAChangedFile) {
  test::TempDir dir;
  const std::string source = dir.Write("source.aiff", test::TaggedAiff({}, {}, kFrames));
  const std::string flac = dir.File("out.flac");
  ConversionOptions verifying;
  verifying.output.verify = true;  // the samples are hashed only to be read back
  const FileOutcome outcome = ConvertToFlac(source, flac, verifying);
  ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
  ASSERT_TRUE(outcome.written.sampleHash);
  EXPECT_EQ(VerifyFlacFile(flac, outcome.written, {}, nullptr).result, FileResult::Converted);

  WrittenSound moreFrames = outcome.written;
  ++moreFrames.frames;
  WrittenSound otherSamples = outcome.written;
  *otherSamples.sampleHash ^= 1;
  for (const WrittenSound& written : {moreFrames, otherSamples}) {
    const FileOutcome verified = VerifyFlacFile(flac, written, {}, nullptr);
    EXPECT_EQ(verified.reason, FileReason::VerificationFailed);
    EXPECT_FALSE(verified.detail.empty());
  }

  // A byte changed in the sound (which follows the metadata and its padding), and one in its
  // last frame.
  const Bytes bytes = test::ReadFileBytes(flac);
  for (const std::size_t at : {bytes.size() - 200, bytes.size() - 3}) {
    Bytes changed = bytes;
    changed[at] ^= 0x10;
    const std::string copy = dir.Write("changed.flac", changed);
    const FileOutcome verified = VerifyFlacFile(copy, outcome.written, {}, nullptr);
    EXPECT_EQ(verified.result, FileResult::Failed) << at;
    EXPECT_EQ(verified.reason, FileReason::VerificationFailed) << at;
  }
  EXPECT_EQ(VerifyFlacFile(dir.File("missing.flac"), outcome.written, {}, nullptr).reason, FileReason::VerificationFailed);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Every file of the real-world corpus that Velmora reads goes through FLAC and back: the file
// reads back as written and passes the flac tool's test; PCM sources decode to libsndfile's
// reading of them; and a source whose chunks were kept is rebuilt byte for byte.
TEST(FlacConversionTest, RealFilesSurviveTheRoundTrip) {
  if (!test::HaveProgram("flac") || !test::HaveProgram("metaflac")) GTEST_SKIP() << "flac not installed";
  if (!fs::is_directory(VELMORA_CORPUS_DIR)) GTEST_SKIP() << "no corpus at " << VELMORA_CORPUS_DIR;
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(VELMORA_CORPUS_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".aif" || ext == ".aiff" || ext == ".aifc")) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  int converted = 0;
  int rebuilt = 0;
  test::TempDir dir;
  for (const std::string& file : files) {
    SourceInfo info;
    {
      AiffReader reader;
      if (!reader.Open(file) || reader.Info().sampleRate <= 0 ||
          !FLAC__format_sample_rate_is_valid(static_cast<std::uint32_t>(reader.Info().sampleRate))) {
        continue;
      }
      info = reader.Info();
    }
    SCOPED_TRACE(file);
    const std::string flac = dir.File("sweep.flac");
    fs::remove(flac);
    const FileOutcome outcome = ConvertToFlac(file, flac);
    ASSERT_EQ(outcome.result, FileResult::Converted) << ReasonText(outcome);
    ++converted;
    EXPECT_EQ(VerifyFlacFile(flac, outcome.written, {}, nullptr).result, FileResult::Converted);
    EXPECT_EQ(test::RunCommand("flac -t -s " + ShellQuote(flac) + " 2>/dev/null"), 0);
    if (info.compression == CompressionKind::Pcm && outcome.reason != FileReason::SourceEndsEarly) {
      SF_INFO sourceInfo{};
      const std::vector<int> expected = ReadInts(file, sourceInfo);
      if (!expected.empty()) {
        EXPECT_EQ(DecodeWithFlac(flac, info.fullBits, dir.File("sweep.raw")), expected);
      }
    }
    if (Output("metaflac --list --block-type=APPLICATION " + ShellQuote(flac)).empty()) continue;
    const std::string restored = dir.File("sweep.aiff");
    fs::remove(restored);
    EXPECT_EQ(test::RunCommand("flac -d -s -f --keep-foreign-metadata -o " + ShellQuote(restored) + " " +
                               ShellQuote(flac) + " 2>/dev/null"),
              0);
    EXPECT_EQ(test::ReadFileBytes(restored), test::ReadFileBytes(file));
    ++rebuilt;
  }
  if (converted == 0) GTEST_SKIP() << "no readable file in the corpus";
  RecordProperty("converted", converted);
  RecordProperty("rebuilt", rebuilt);
}

}  // namespace
}  // namespace velmora
