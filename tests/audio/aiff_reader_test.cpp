#include "audio/aiff_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include <unistd.h>

#include "support/aiff_builder.h"
#include "support/block_runner.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

using test::AiffBuilder;
using test::Bytes;

struct Blocks {
  std::array<std::int16_t, kMaxBlockFrames> left{};
  std::array<std::int16_t, kMaxBlockFrames> right{};
};

// The smallest useful AIFF: one channel, two 16-bit frames, full scale up and down.
const Bytes kMinimalAiff = {
    'F', 'O', 'R', 'M', 0, 0, 0, 50, 'A', 'I', 'F', 'F',
    'C', 'O', 'M', 'M', 0, 0, 0, 18,
    0, 1,              // channels
    0, 0, 0, 2,        // frames
    0, 16,             // sample size
    0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0,  // 44100 Hz
    'S', 'S', 'N', 'D', 0, 0, 0, 12,
    0, 0, 0, 0, 0, 0, 0, 0,  // offset, block size
    0x7F, 0xFF, 0x80, 0x00,
};

TEST(AiffReaderTest, MinimalFileOpensAndDecodes) {
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(kMinimalAiff.data(), kMinimalAiff.size()));
  const SourceInfo& info = reader.Info();
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.outputChannels, 1);
  EXPECT_EQ(info.frames, 2);
  EXPECT_EQ(info.sampleRate, 44100);
  EXPECT_EQ(info.outputBits, 16);
  Blocks b;
  bool end = false;
  ASSERT_EQ(reader.ReadBlock(b.left.data(), nullptr, end), 2);
  EXPECT_TRUE(end);
  EXPECT_EQ(b.left[0], 32767);
  EXPECT_EQ(b.left[1], -32768);
}


// A reader over a built image, with the blocks decoded until the end.
struct Decoded : test::Decoded {
  bool opened = false;
  AiffError error = AiffError::None;
  SourceInfo info;
};

Decoded DecodeImage(const Bytes& image) {
  Decoded out;
  AiffReader reader;
  out.opened = reader.OpenMemory(image.data(), image.size());
  out.error = reader.Error();
  if (!out.opened) return out;
  out.info = reader.Info();
  static_cast<test::Decoded&>(out) = test::DecodeReader(reader);
  return out;
}

Bytes Be16Samples(std::initializer_list<int> samples) {
  Bytes out;
  for (int s : samples) test::PutBe16(out, static_cast<unsigned>(s) & 0xFFFF);
  return out;
}

TEST(AiffReaderTest, ContainerLayoutsThatMustOpen) {
  AiffBuilder base;
  base.frames = 2;
  base.sound = Be16Samples({1000, -1000});

  AiffBuilder commAfterSsnd = base;  // chunk order does not matter
  commAfterSsnd.ssndFirst = true;
  AiffBuilder withOffset = base;     // the offset skips bytes before the sound data
  withOffset.ssndOffset = 4;
  AiffBuilder aifcNone = base;       // 22-byte COMM of type NONE with an empty name
  aifcNone.aifc = true;
  AiffBuilder withOtherChunks = base;
  withOtherChunks.chunksBefore = {test::Chunk("ANNO", {'h', 'i', '!'}), test::Chunk("APPL", {})};

  for (const AiffBuilder& builder : {base, commAfterSsnd, withOffset, aifcNone, withOtherChunks}) {
    const Decoded d = DecodeImage(builder.Build());
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.left, (std::vector<std::int16_t>{1000, -1000}));
    EXPECT_TRUE(d.end);
  }
}

TEST(AiffReaderTest, ChunksAfterTheDeclaredFormEndAreStillWalked) {
  AiffBuilder builder;
  builder.frames = 1;
  builder.sound = Be16Samples({1234});
  Bytes image = builder.Build();
  image[7] = 20;  // FORM size now ends inside COMM
  const Decoded d = DecodeImage(image);
  ASSERT_TRUE(d.opened);
  EXPECT_EQ(d.left, std::vector<std::int16_t>{1234});
}

TEST(AiffReaderTest, MalformedContainersAreRefusedWithAReason) {
  struct Case {
    const char* what;
    Bytes image;
    AiffError error;
  };
  AiffBuilder good;
  good.frames = 1;
  good.sound = Be16Samples({1});
  const Bytes goodImage = good.Build();
  const Bytes formHeader(goodImage.begin(), goodImage.begin() + 12);
  std::vector<Case> cases;
  cases.push_back({"fewer than 20 bytes", Bytes(goodImage.begin(), goodImage.begin() + 19), AiffError::TooShort});
  Bytes riff = good.Build();
  std::memcpy(riff.data(), "RIFF", 4);
  cases.push_back({"not FORM", riff, AiffError::NotAiff});
  Bytes form = good.Build();
  std::memcpy(form.data() + 8, "AIFZ", 4);
  cases.push_back({"unknown form type", form, AiffError::NotAiff});
  {
    AiffBuilder b = good;
    b.channels = 5;
    cases.push_back({"five channels", b.Build(), AiffError::BadChannelCount});
    b.channels = 0;
    cases.push_back({"no channels", b.Build(), AiffError::BadChannelCount});
  }
  {
    AiffBuilder b = good;
    b.bits = 0;  // would make every frame zero bytes long
    cases.push_back({"sample size 0", b.Build(), AiffError::BadSampleSize});
    b.bits = 33;
    cases.push_back({"sample size 33", b.Build(), AiffError::BadSampleSize});
  }
  {
    AiffBuilder b = good;
    b.aifc = true;
    b.compression = "QDMC";
    cases.push_back({"unsupported code", b.Build(), AiffError::UnsupportedCompression});
    b.compression = "DWVW";
    b.bits = 25;
    cases.push_back({"DWVW wider than 24 bits", b.Build(), AiffError::BadSampleSize});
  }
  {
    // An AIFF COMM must be exactly 18 bytes: 19 (padded to 20) is refused.
    Bytes image = good.Build();
    const Bytes comm = good.CommChunk();
    Bytes grown = comm;
    grown[7] = 19;
    grown.insert(grown.end(), {0, 0});
    Bytes rebuilt(image.begin(), image.begin() + 12);
    rebuilt.insert(rebuilt.end(), grown.begin(), grown.end());
    rebuilt.insert(rebuilt.end(), image.begin() + 12 + static_cast<long>(comm.size()), image.end());
    cases.push_back({"AIFF COMM of 19 bytes", rebuilt, AiffError::BadCommSize});
  }
  {
    Bytes image = formHeader;
    const Bytes comm = good.CommChunk();
    image.insert(image.end(), comm.begin(), comm.begin() + 20);  // COMM cut short by the file's end
    cases.push_back({"truncated COMM", image, AiffError::TruncatedComm});
  }
  {
    Bytes image = formHeader;
    const Bytes comm = good.CommChunk();
    image.insert(image.end(), comm.begin(), comm.end());
    cases.push_back({"no SSND though COMM counts frames", image, AiffError::MissingSsnd});
  }
  {
    Bytes image;
    test::PutId(image, "FORM");
    test::PutBe32(image, 100);
    test::PutId(image, "AIFF");
    const Bytes ssnd = good.SsndChunk();
    image.insert(image.end(), ssnd.begin(), ssnd.end());
    cases.push_back({"no COMM", image, AiffError::MissingComm});
  }
  {
    Bytes image = formHeader;
    const Bytes comm = good.CommChunk();
    image.insert(image.end(), comm.begin(), comm.end());
    test::PutId(image, "SSND");
    test::PutBe32(image, 4);  // too short for offset and block size
    test::PutBe32(image, 0);
    cases.push_back({"SSND shorter than 8", image, AiffError::BadSsnd});
  }
  for (const Case& c : cases) {
    const Decoded d = DecodeImage(c.image);
    EXPECT_FALSE(d.opened) << c.what;
    EXPECT_EQ(d.error, c.error) << c.what;
  }
}

TEST(AiffReaderTest, SoundDataBoundaries) {
  // Declared data longer than the file: decoding stops at the file's last byte.
  {
    AiffBuilder b;
    b.frames = 4;
    b.sound = Be16Samples({1, 2, 3, 4});
    Bytes image = b.Build();
    image.resize(image.size() - 4);
    const Decoded d = DecodeImage(image);
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.left, (std::vector<std::int16_t>{1, 2}));
  }
  // A trailing partial frame is not decoded, and the call that meets it returns 0 without end.
  {
    AiffBuilder b;
    b.channels = 2;
    b.frames = 2;
    b.sound = Be16Samples({5, 6, 7});  // one stereo frame and half of the next
    const Decoded d = DecodeImage(b.Build());
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.left, (std::vector<std::int16_t>{5}));
    EXPECT_EQ(d.right, (std::vector<std::int16_t>{6}));
    EXPECT_FALSE(d.end);
  }
  // No SSND at all is valid when COMM counts no frames.
  {
    AiffBuilder b;
    Bytes image = b.Build();
    image.resize(12 + b.CommChunk().size());
    const Decoded d = DecodeImage(image);
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.info.frames, 0);
    EXPECT_TRUE(d.left.empty());
    EXPECT_TRUE(d.end);
  }
  // An empty SSND opens and ends at once.
  {
    AiffBuilder b;
    const Decoded d = DecodeImage(b.Build());
    ASSERT_TRUE(d.opened);
    EXPECT_TRUE(d.left.empty());
    EXPECT_TRUE(d.end);
  }
  // An offset beyond the chunk leaves nothing to decode rather than reading past it.
  {
    AiffBuilder b;
    b.frames = 1;
    b.sound = Be16Samples({7});
    Bytes image = b.Build();
    const std::size_t offsetAt = image.size() - 2 - 8;
    image[offsetAt] = 0xFF;  // offset 0xFF000000
    const Decoded d = DecodeImage(image);
    ASSERT_TRUE(d.opened);
    EXPECT_TRUE(d.left.empty());
    EXPECT_TRUE(d.end);
  }
  // One byte a frame and an odd count: the chunk's pad byte is not sound. For u-law it would
  // decode as -32124, a click at the end of the file. Data beyond the count but inside the
  // declared size still decodes.
  for (const char* code : {"NONE", "ulaw", "raw "}) {
    AiffBuilder b;
    b.aifc = true;
    b.compression = code;
    b.bits = 8;
    b.frames = 3;
    b.sound = {0x00, 0x7F, 0x80};
    const Decoded d = DecodeImage(b.Build());
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.left.size(), 3u) << code;
    b.frames = 2;
    EXPECT_EQ(DecodeImage(b.Build()).left.size(), 3u) << code;
  }
}

// MostFrames bounds what the reader delivers, sound past COMM's count included, so an output
// planned from it is never outgrown; for a file whose sound matches its count it is the count.
TEST(AiffReaderTest, MostFramesBoundsTheFramesDelivered) {
  struct Case {
    const char* what;
    const char* code;
    int channels, bits;
    std::uint32_t frames;
    std::size_t soundBytes;
    std::uint64_t most;  // 0: only the bound is checked
  };
  const Case cases[] = {
      {"16-bit stereo as counted", "NONE", 2, 16, 1000, 4000, 1000},
      {"16-bit stereo holding more", "NONE", 2, 16, 1000, 6000, 1500},
      {"12-bit mono in two bytes", "NONE", 1, 12, 10, 30, 15},
      {"COMM counting more than there is", "NONE", 2, 16, 5000, 4000, 5000},
      {"u-law holding more", "ulaw", 2, 16, 100, 300, 150},
      {"64-bit floats holding more", "fl64", 1, 64, 10, 160, 20},
      {"IMA4 counts from its data", "ima4", 1, 16, 0, 34 * 3, 64 * 3},
      {"DWVW", "DWVW", 2, 16, 1000, 900, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AiffBuilder b;
    b.aifc = std::strcmp(c.code, "NONE") != 0;
    b.compression = c.code;
    b.channels = c.channels;
    b.bits = c.bits;
    b.frames = c.frames;
    for (std::size_t i = 0; i < c.soundBytes; ++i) b.sound.push_back(static_cast<std::uint8_t>(i * 29 + i / 5));
    const Bytes image = b.Build();
    AiffReader reader;
    ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
    const Decoded d = DecodeImage(image);
    EXPECT_LE(d.left.size(), reader.MostFrames());
    if (c.most) {
      EXPECT_EQ(reader.MostFrames(), c.most);
    }
  }
}

TEST(AiffReaderTest, HeaderFields) {
  AiffBuilder b;
  b.frames = 0x80000000u;  // frame counts are unsigned: 2^31 is 2^31, not negative
  b.sound = Be16Samples({1});
  EXPECT_EQ(DecodeImage(b.Build()).info.frames, 0x80000000u);

  const std::uint8_t rate44100[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
  const std::uint8_t zero[10] = {};
  const std::uint8_t infinite[10] = {0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0};
  const std::uint8_t huge[10] = {0x40, 0x7F, 0x80, 0, 0, 0, 0, 0, 0, 0};  // 2^128
  const std::uint8_t fractional[10] = {0x40, 0x0C, 0x8B, 0x41, 0, 0, 0, 0, 0, 0};  // 8912.5
  EXPECT_EQ(ConvertFromExtended(rate44100), 44100);
  EXPECT_EQ(ConvertFromExtended(zero), 0);
  EXPECT_EQ(ConvertFromExtended(infinite), 0);
  EXPECT_EQ(ConvertFromExtended(huge), 0);
  EXPECT_EQ(ConvertFromExtended(fractional), 8912);
}

TEST(AiffReaderTest, LinearPcmWidthsOrdersAndChannels) {
  // 24-bit and 32-bit keep their two most significant bytes.
  {
    AiffBuilder b;
    b.bits = 24;
    b.frames = 2;
    b.sound = {0x12, 0x34, 0x56, 0x80, 0x00, 0xFF};
    EXPECT_EQ(DecodeImage(b.Build()).left, (std::vector<std::int16_t>{0x1234, -32768}));
    b.bits = 32;
    b.frames = 1;
    b.sound = {0x80, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(DecodeImage(b.Build()).left, (std::vector<std::int16_t>{-32768}));
  }
  // "sowt" is little-endian; "23ni" too, at 32 bits.
  {
    AiffBuilder b;
    b.aifc = true;
    b.compression = "sowt";
    b.frames = 1;
    b.sound = {0x34, 0x12};
    EXPECT_EQ(DecodeImage(b.Build()).left, (std::vector<std::int16_t>{0x1234}));
    b.compression = "23ni";
    b.bits = 32;
    b.sound = {0xFF, 0xFF, 0x00, 0x80};
    EXPECT_EQ(DecodeImage(b.Build()).left, (std::vector<std::int16_t>{-32768}));
  }
  // Six channels deliver channels 0 and 3; four deliver 0 and 1.
  {
    AiffBuilder b;
    b.channels = 6;
    b.frames = 2;
    b.sound = Be16Samples({10, 11, 12, 13, 14, 15, 20, 21, 22, 23, 24, 25});
    const Decoded six = DecodeImage(b.Build());
    EXPECT_EQ(six.info.outputChannels, 2);
    EXPECT_EQ(six.left, (std::vector<std::int16_t>{10, 20}));
    EXPECT_EQ(six.right, (std::vector<std::int16_t>{13, 23}));
    b.channels = 4;
    b.frames = 3;
    const Decoded four = DecodeImage(b.Build());
    EXPECT_EQ(four.left, (std::vector<std::int16_t>{10, 14, 22}));
    EXPECT_EQ(four.right, (std::vector<std::int16_t>{11, 15, 23}));
  }
}

TEST(AiffReaderTest, BlocksHoldAtMost1152Frames) {
  AiffBuilder b;
  b.channels = 2;
  b.bits = 24;
  b.frames = 3000;
  b.sound.assign(3000 * 6, 0x11);
  const Decoded d = DecodeImage(b.Build());
  EXPECT_EQ(d.framesPerCall, (std::vector<int>{1152, 1152, 696}));
  EXPECT_TRUE(d.end);
}

TEST(AiffReaderTest, FileShrinkingWhileMappedFailsTheFileWithoutCrashing) {
  test::TempDir dir;
  AiffBuilder b;
  b.frames = 200000;
  b.sound.assign(400000, 0x22);
  const std::string path = dir.Write("shrinks.aiff", b.Build());
  AiffReader reader;
  ASSERT_TRUE(reader.Open(path));
  ASSERT_EQ(truncate(path.c_str(), 4096), 0);  // another process cuts the file short
  const test::Decoded d = test::DecodeReader(reader);
  EXPECT_TRUE(d.end);
  EXPECT_EQ(reader.Error(), AiffError::SourceChanged);
  EXPECT_LT(d.left.size(), 200000u);
}

TEST(AiffReaderTest, OpenReportsMissingAndEmptyFiles) {
  test::TempDir dir;
  AiffReader reader;
  EXPECT_FALSE(reader.Open(dir.File("missing.aiff")));
  EXPECT_EQ(reader.Error(), AiffError::CannotOpen);
  EXPECT_FALSE(reader.Open(dir.Write("empty.aiff", {})));
  EXPECT_EQ(reader.Error(), AiffError::EmptyFile);
  EXPECT_FALSE(reader.Open(dir.path().string()));
  EXPECT_EQ(reader.ErrorText(), "cannot open file: Is a directory");
}

}  // namespace
}  // namespace velmora
