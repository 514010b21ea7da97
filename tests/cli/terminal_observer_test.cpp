#include "cli/terminal_observer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace velmora::cli {
namespace {

std::string Contents(std::FILE* file) {
  std::rewind(file);
  std::string text;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, n);
  return text;
}

// The bar tells the time elapsed, the time left and the speed when it knows each file's sound,
// and keeps its old form when it does not.
TEST(TerminalObserverTest, ProgressBarShowsTimingWhenTheSoundIsKnown) {
  for (const bool knowsSound : {true, false}) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    {
      TerminalObserver observer(Streams{out, err, false, true}, true,
                                knowsSound ? std::vector<double>{600, 2} : std::vector<double>{});
      observer.BatchStarted(2, OutputFormat::Wav);
      observer.FileStarted(0, "long.aiff");
      observer.FramesDone(0, 100, 1000);
      FileReport report;
      report.sourcePath = "long.aiff";
      report.outputPath = "long.wav";
      report.outcome.result = FileResult::Converted;
      observer.FileFinished(0, report);
      observer.BatchFinished();
    }
    const std::string bar = Contents(err);
    EXPECT_NE(bar.find("1 of 2 file(s)"), std::string::npos) << bar;
    EXPECT_EQ(bar.find(" elapsed \u00b7 ") != std::string::npos, knowsSound) << bar;
    EXPECT_EQ(bar.find("\u00d7 real time") != std::string::npos, knowsSound) << bar;
    std::fclose(out);
    std::fclose(err);
  }
}

}  // namespace
}  // namespace velmora::cli
