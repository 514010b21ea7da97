// A sampler's markers and loops carried from AIFF into WAV, read back by libsndfile.
#include "convert/sampler_chunks.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <map>
#include <string>
#include <vector>

#include "convert/file_conversion.h"
#include "support/sampler_chunks.h"
#include "support/tag_chunks.h"
#include "support/temp_dir.h"
#include "support/test_output.h"

namespace velmora {
namespace {

using test::Bytes;

struct Readback {
  bool opened = false;
  SF_INSTRUMENT instrument{};
  bool hasInstrument = false;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> cues;  // id, sample offset
};

Readback ReadWithSndfile(const std::string& path) {
  Readback out;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return out;
  out.opened = true;
  out.hasInstrument = sf_command(file, SFC_GET_INSTRUMENT, &out.instrument, sizeof out.instrument) == SF_TRUE;
  SF_CUES cues{};
  if (sf_command(file, SFC_GET_CUE, &cues, sizeof cues) == SF_TRUE) {
    for (std::uint32_t i = 0; i < cues.cue_count; ++i) {
      out.cues.emplace_back(static_cast<std::uint32_t>(cues.cue_points[i].indx), cues.cue_points[i].sample_offset);
    }
  }
  sf_close(file);
  return out;
}

std::uint32_t Le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// The labl texts of a WAV file's LIST/adtl chunk, by cue point id.
std::map<std::uint32_t, std::string> Labels(const Bytes& file) {
  std::map<std::uint32_t, std::string> labels;
  for (std::size_t pos = 12; pos + 8 <= file.size();) {
    const std::uint32_t size = Le32(file, pos + 4);
    if (std::string(file.begin() + static_cast<std::ptrdiff_t>(pos),
                    file.begin() + static_cast<std::ptrdiff_t>(pos + 4)) == "LIST" &&
        std::string(file.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                    file.begin() + static_cast<std::ptrdiff_t>(pos + 12)) == "adtl") {
      for (std::size_t sub = pos + 12; sub + 12 <= pos + 8 + size;) {
        const std::uint32_t subSize = Le32(file, sub + 4);
        const auto text = file.begin() + static_cast<std::ptrdiff_t>(sub + 12);
        labels[Le32(file, sub + 8)] = std::string(text, std::find(text, text + (subSize - 4), std::uint8_t{0}));
        sub += 8 + subSize + (subSize & 1);
      }
    }
    pos += 8 + size + (size & 1);
  }
  return labels;
}

class SamplerWavTest : public ::testing::Test {
 protected:
  FileOutcome Convert(const Bytes& image, const ConversionOptions& options, const std::string& name) {
    const std::string source = m_dir.Write(name + ".aiff", image);
    AiffReader reader;
    EXPECT_TRUE(reader.Open(source)) << reader.ErrorText();
    test::TestOutput out(m_dir.File(name + ".wav"));
    const FileOutcome outcome = ConvertFileToWav(reader, out.file, options, {});
    EXPECT_EQ(outcome.result, FileResult::Converted);
    EXPECT_TRUE(out.Publish());
    return outcome;
  }
  test::TempDir m_dir;
};

// libsndfile reads the same instrument from the WAV as from the AIFF (loops scaled when the rate
// changes), two cue points at the markers, and the names come back as labl texts.
TEST_F(SamplerWavTest, LibsndfileReadsTheSourcesLoopsAndMarkers) {
  const std::uint32_t frames = 44100;
  const Bytes image = test::TaggedAiff({test::MarkChunk({{1, 1000, "Loop start"}, {2, 30000, "End"}})},
                                       {test::InstChunk({64, 12, {1, 1, 2}, {2, 1, 2}})}, frames);
  const std::string source = m_dir.Write("source.aiff", image);
  const Readback fromAiff = ReadWithSndfile(source);
  ASSERT_TRUE(fromAiff.hasInstrument);
  ASSERT_EQ(fromAiff.instrument.loop_count, 2);

  struct Target {
    const char* name;
    bool lossless;
    int rate;                  // 0: the source's
    std::uint32_t begin, end;  // as libsndfile reads them
  };
  const Target targets[] = {
      {"same rate", false, 0, 1000, 30000},
      {"full resolution", true, 0, 1000, 30000},
      {"48 kHz", false, 48000, 1088, 32653},
  };
  for (const Target& t : targets) {
    SCOPED_TRACE(t.name);
    ConversionOptions options;
    options.wav.target.lossless = t.lossless;
    if (t.rate) options.wav.target.sampleRate = t.rate;
    const FileOutcome outcome = Convert(image, options, t.name);
    EXPECT_TRUE(outcome.tagNotes.empty());
    const std::string path = m_dir.File(std::string(t.name) + ".wav");
    const Readback wav = ReadWithSndfile(path);
    ASSERT_TRUE(wav.hasInstrument);
    EXPECT_EQ(wav.instrument.basenote, fromAiff.instrument.basenote);
    EXPECT_EQ(wav.instrument.detune, fromAiff.instrument.detune);
    ASSERT_EQ(wav.instrument.loop_count, 2);
    EXPECT_EQ(wav.instrument.loops[0].mode, SF_LOOP_FORWARD);
    EXPECT_EQ(wav.instrument.loops[1].mode, SF_LOOP_ALTERNATING);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(wav.instrument.loops[i].start, t.begin);
      EXPECT_EQ(wav.instrument.loops[i].end, t.end);
    }
    if (t.rate) {
      EXPECT_EQ(wav.cues, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 1088}, {2, 32653}}));
    } else {
      EXPECT_EQ(fromAiff.instrument.loops[0].start, t.begin);
      EXPECT_EQ(fromAiff.instrument.loops[0].end, t.end);
      EXPECT_EQ(wav.cues, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 1000}, {2, 30000}}));
    }
    EXPECT_EQ(Labels(test::ReadFileBytes(path)), (std::map<std::uint32_t, std::string>{{1, "Loop start"}, {2, "End"}}));
  }
}

// A negative detune is written as the note below and the rest of a semitone above it; a marker
// at the very end stays inside a file shortened by a lower rate.
TEST(SamplerChunks, NegativeDetuneAndPositionsKeptInside) {
  SamplerInfo info;
  info.instrument = true;
  info.baseNote = 60;
  info.detune = -25;
  info.markers = {{1, 44100, ""}};
  const Bytes chunks = BuildWavSamplerChunks(info, 44100, 22050, 22049);
  ASSERT_GE(chunks.size(), 8U + 36 + 8 + 28);
  EXPECT_EQ(Le32(chunks, 8 + 12), 59U);          // unity note
  EXPECT_EQ(Le32(chunks, 8 + 16), 0xC0000000U);  // three quarters of a semitone
  const std::size_t cue = 8 + 36;
  EXPECT_EQ(Le32(chunks, cue + 8 + 4 + 4), 22049U);
  EXPECT_EQ(Le32(chunks, cue + 8 + 4 + 20), 22049U);
}

// A source whose loops do not hold together still converts; its notes name what was dropped,
// and the WAV has no loop libsndfile would play.
TEST_F(SamplerWavTest, DroppedLoopsLeaveAConvertedFileAndANote) {
  const Bytes image = test::TaggedAiff({test::MarkChunk({{1, 3000, ""}, {2, 1000, ""}, {3, 99999, ""}})},
                                       {test::InstChunk({60, 0, {1, 1, 2}, {1, 1, 3}})});
  const FileOutcome outcome = Convert(image, {}, "bad");
  EXPECT_EQ(outcome.tagNotes, (std::vector<TagNote>{{TagNote::Kind::MarkerDropped, "", 1, 0, 4410},
                                                    {TagNote::Kind::LoopEndBeforeBegin, "", 1, 0, 0},
                                                    {TagNote::Kind::LoopMarkerMissing, "", 1, 0, 0}}));
  const Readback wav = ReadWithSndfile(m_dir.File("bad.wav"));
  ASSERT_TRUE(wav.opened);
  EXPECT_EQ(wav.instrument.loop_count, 0);
  EXPECT_EQ(wav.cues.size(), 2U);
}

}  // namespace
}  // namespace velmora
