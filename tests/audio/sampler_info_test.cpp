// Markers and instrument loops read from MARK and INST chunks, and what is dropped, with its note.
#include "audio/sampler_info.h"

#include <gtest/gtest.h>

#include "audio/aiff_reader.h"
#include "support/sampler_chunks.h"
#include "support/tag_chunks.h"

namespace velmora {
namespace {

using test::Bytes;
using test::InstChunk;
using test::MarkChunk;
using Kind = TagNote::Kind;

struct MalformedCase {
  const char* what;
  std::vector<test::Marker> markers;
  test::Instrument instrument;
  std::vector<std::uint16_t> keptMarkers;  // ids
  std::optional<SamplerLoop> sustain;
  std::vector<TagNote> notes;
};

TEST(SamplerInfo, KeepsWhatHoldsTogetherAndNamesWhatWasDropped) {
  const std::uint32_t frames = 4410;
  const test::Instrument loopOneTwo{60, 0, {1, 1, 2}, {0, 0, 0}};
  const SamplerLoop forward{SamplerLoop::Mode::Forward, 100, 2000};
  const std::vector<test::Marker> twoMarkers = {{1, 100, "start"}, {2, 2000, "end"}};
  const MalformedCase cases[] = {
      {"sound file",
       twoMarkers,
       {60, 0, {2, 1, 2}, {1, 1, 2}},
       {1, 2},
       SamplerLoop{SamplerLoop::Mode::ForwardBackward, 100, 2000},
       {}},
      {"marker at the very end",
       {{1, 100, ""}, {2, frames, ""}},
       loopOneTwo,
       {1, 2},
       SamplerLoop{SamplerLoop::Mode::Forward, 100, frames},
       {}},
      {"marker past the last frame",
       {{1, 100, ""}, {2, frames + 1, ""}},
       loopOneTwo,
       {1},
       std::nullopt,
       {{Kind::MarkerDropped, "", 1, 0, frames}, {Kind::LoopMarkerMissing, "", 1, 0, 0}}},
      {"repeated and zero ids",
       {{1, 100, ""}, {1, 300, ""}, {0, 5, ""}, {2, 2000, ""}},
       loopOneTwo,
       {1, 2},
       forward,
       {{Kind::MarkerDropped, "", 2, 0, frames}}},
      {"loop naming no marker",
       twoMarkers,
       {60, 0, {1, 1, 7}, {0, 0, 0}},
       {1, 2},
       std::nullopt,
       {{Kind::LoopMarkerMissing, "", 1, 0, 0}}},
      {"loop ending before it begins",
       twoMarkers,
       {60, 0, {1, 2, 1}, {1, 1, 1}},
       {1, 2},
       std::nullopt,
       {{Kind::LoopEndBeforeBegin, "", 2, 0, 0}}},
      {"play modes 3 and -1",
       twoMarkers,
       {60, 0, {3, 1, 2}, {0xFFFF, 1, 2}},
       {1, 2},
       std::nullopt,
       {{Kind::LoopBadPlayMode, "", 2, 0, 0}}},
      {"play mode 0 is no loop", twoMarkers, {60, 0, {0, 1, 2}, {0, 9, 9}}, {1, 2}, std::nullopt, {}},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes image = test::TaggedAiff({MarkChunk(c.markers)}, {InstChunk(c.instrument)}, frames);
    AiffReader reader;
    ASSERT_TRUE(reader.OpenMemory(image.data(), image.size())) << reader.ErrorText();
    const SamplerInfo info = reader.Sampler();
    std::vector<std::uint16_t> ids;
    for (const SamplerMarker& marker : info.markers) ids.push_back(static_cast<std::uint16_t>(marker.id));
    EXPECT_EQ(ids, c.keptMarkers);
    EXPECT_TRUE(info.instrument);
    EXPECT_EQ(info.sustainLoop, c.sustain);
    EXPECT_EQ(info.notes, c.notes);
  }
}

// Chunks cut short are read as far as they go; the names and values that were there survive.
TEST(SamplerInfo, ShortChunksAreReadAsFarAsTheyGo) {
  Bytes mark = MarkChunk({{1, 10, "Attack"}, {2, 20, "Tail"}});
  Bytes markPayload(mark.begin() + 8, mark.end());
  markPayload.resize(markPayload.size() - 4);  // into the second marker's name
  const Bytes image =
      test::TaggedAiff({test::Chunk("MARK", markPayload)}, {test::Chunk("INST", Bytes{64, 5, 0, 127, 1, 127, 0, 0})});
  AiffReader reader;
  ASSERT_TRUE(reader.OpenMemory(image.data(), image.size()));
  const SamplerInfo info = reader.Sampler();
  ASSERT_EQ(info.markers.size(), 1U);
  EXPECT_EQ(info.markers[0], (SamplerMarker{1, 10, "Attack"}));
  EXPECT_FALSE(info.instrument);
  EXPECT_EQ(info.notes, (std::vector<TagNote>{{Kind::SamplerChunkShort, "MARK", 1, 0, 0},
                                              {Kind::SamplerChunkShort, "INST", 1, 0, 0}}));
}

}  // namespace
}  // namespace velmora
