#include "ui/status_text.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace velmora::ui {
namespace {

// The window words the engine's codes itself: the failures a user tells apart by their text,
// and a converted file's name with whatever the user should know of it.
TEST(StatusTextTest, WordsEachOutcomeTheWayTheListShowsIt) {
  FileOutcome converted{FileResult::Converted, FileReason::SourceEndsEarly, 0, {}, 400, 1000};
  converted.tagNotes = {"picture of 20 MiB left out"};
  EXPECT_EQ(StatusText(converted, "/music/out/a.mp3"),
            QStringLiteral("a.mp3 (source ends early: 400 of 1,000 frames) (picture of 20 MiB left out)"));
  EXPECT_EQ(StatusText({FileResult::Converted, FileReason::None, 0, {}, 0, 0}, "/m/b.wav"), QStringLiteral("b.wav"));

  EXPECT_EQ(StatusText(FileOutcome::Failure(FileReason::FolderFailed, "/out/x/", ENOTDIR), {}),
            QStringLiteral("Failed to create folder \"/out/x/\""));
  EXPECT_EQ(StatusText(FileOutcome::Failure(FileReason::NoOutputPlace, {}, EACCES), {}),
            QStringLiteral("Failed to create destination file"));
  EXPECT_EQ(StatusText(FileOutcome::Failure(FileReason::OutOfMemory), {}), QStringLiteral("Conversion Failure"));
  EXPECT_EQ(StatusText({FileResult::Cancelled, FileReason::None, 0, {}, 0, 0}, {}), QStringLiteral("Cancelled"));
}

}  // namespace
}  // namespace velmora::ui
