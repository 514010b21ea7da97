#include "cli/outcome_text.h"

#include <gtest/gtest.h>

#include "audio/id3v2_screen.h"
#include "convert/tag_writer.h"

namespace velmora::cli {
namespace {

// Every kind of tag note, one thing and many, as the file's line and `velmora-cli info` print
// it: counts and exact sizes with thousands, limits and sizes of whole chunks in KiB or MiB
// rounded up, and a size of many things "in all".
TEST(OutcomeTextTest, TagNotesReadAsTheFilesLinePrintsThem) {
  using Kind = TagNote::Kind;
  const struct {
    TagNote note;
    const char* text;
  } cases[] = {
      {{Kind::TextChunkOverLimit, "ANNO", 1, 2097152, kMaxTagTextBytes},
       "ANNO chunk of 2,097,152 bytes left out (over the 1 MiB limit for texts)"},
      {{Kind::TextChunkOverLimit, "ANNO", 100000, 100000, kMaxTagTextBytes},
       "100,000 ANNO chunks of 100,000 bytes in all left out (over the 1 MiB limit for texts)"},
      {{Kind::TextFrameOverLimit, "COMM", 1, 314572805, kMaxTagTextBytes},
       "ID3 COMM frame of 314,572,805 bytes left out (over the 1 MiB limit for texts)"},
      {{Kind::PictureOverLimit, "", 1, 33554445, kMaxTagPictureBytes},
       "picture of 33,554,445 bytes left out (over the 16 MiB limit for pictures)"},
      {{Kind::PictureOverLimit, "", 2, 33552384, kMaxTagPictureBytes},
       "2 pictures of 33,552,384 bytes in all left out (over the 16 MiB limit for pictures)"},
      {{Kind::InflatingOverLimit, "", 1, 16777216, kMaxTagInflateBytes},
       "compressed ID3 frame of 16,777,216 bytes left out (over the 64 MiB limit for inflating)"},
      {{Kind::TooManyPictures, "", 999996, 0, kMaxTagPictures}, "999,996 pictures left out (at most 4 are kept)"},
      {{Kind::TooManyPictures, "", 1, 0, kMaxTagPictures}, "picture left out (at most 4 are kept)"},
      {{Kind::TooManyChunks, "", 8930, 0, kMaxMetadataChunks},
       "8,930 metadata chunks left out (at most 131,072 are read)"},
      {{Kind::DamagedText, "TIT2", 1, 0, 0}, "ID3 TIT2 frame left out (damaged text)"},
      {{Kind::DamagedText, "COMM", 3, 0, 0}, "3 ID3 COMM frames left out (damaged text)"},
      {{Kind::Id3ChunkTooLarge, "", 1, 17 << 20, kMaxMetadataChunkBytes},
       "tags not copied: ID3 chunk of 17 MiB is over the limit"},
      {{Kind::Id3ChunkTooLarge, "", 2, 34 << 20, kMaxMetadataChunkBytes},
       "tags not copied: 2 ID3 chunks of 34 MiB in all are over the limit"},
      {{Kind::ChunkTooLarge, "ANNO", 1, (17 << 20) + 1, kMaxMetadataChunkBytes},
       "ANNO chunk of 18 MiB is over the limit"},
      {{Kind::OutputTagTooLarge, "", 1, kMaxId3v2TagBytes + 1, kMaxId3v2TagBytes},
       "tags not copied: an ID3 tag of 257 MiB is over its limit"},
  };
  for (const auto& c : cases) EXPECT_EQ(TagNoteText(c.note), c.text);
}

// The reasons that name rates and MP3 settings, each form the engine reports.
TEST(OutcomeTextTest, ReasonsNameTheRatesAndSettingsAsAskedFor) {
  const auto rates = [](FileReason reason, int rate, int toRate) {
    return FileOutcome::RateFailure(reason, rate, toRate);
  };
  const auto refused = [](Mp3Figures asked) {
    FileOutcome outcome = FileOutcome::Failure(FileReason::EncoderRejects);
    outcome.mp3 = asked;
    return outcome;
  };
  const struct {
    FileOutcome outcome;
    const char* text;
  } cases[] = {
      {rates(FileReason::InvalidSampleRate, 0, 0), "invalid sample rate 0"},
      {rates(FileReason::CannotResample, 44100, 7), "cannot convert 44100 Hz to 7 Hz"},
      {refused({0, 7, -1, true}), "the MP3 encoder does not take 7 Hz input"},
      {refused({0, 8000, 2, false}), "the MP3 encoder does not take V2 at 8000 Hz"},
      {refused({320, 8000, -1, false}), "the MP3 encoder does not take 320 kbit/s at 8000 Hz"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReasonText(c.outcome), c.text);
}

}  // namespace
}  // namespace velmora::cli
