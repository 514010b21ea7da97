#include "cli/terminal_observer.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The bar tells the time elapsed, the time left and the speed when it knows each file's sound
// (from the start, or from when it was read during the batch) and the terminal has room, and
// keeps its old form when it does not know the sound. A measuring pass shows first; the
// loudness reached ends the file's line.
TEST(TerminalObserverTest, ProgressBarShowsTimingWhenTheSoundIsKnown) {
  enum class Sound { First, Late, Never };
  for (const Sound sound : {Sound::First, Sound::Late, Sound::Never}) {
    const bool knowsSound = sound != Sound::Never;
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    {
      TerminalObserver observer(Streams{out, err, false, true}, true,
                                sound == Sound::First ? std::vector<double>{600, 2} : std::vector<double>{});
      observer.BatchStarted(2, OutputFormat::Wav);
      for (int measured = 0; measured <= 2; ++measured) observer.MeasuringProgress(measured, 2);
      observer.FileStarted(0, "long.aiff");
      if (sound == Sound::Late) observer.SetSoundSeconds({600, 2});
      observer.FramesDone(0, 100, 1000);
      FileReport report;
      report.sourcePath = "long.aiff";
      report.outputPath = "long.wav";
      report.outcome.result = FileResult::Converted;
      report.outcome.loudness = {LoudnessNote::Kind::Reached, -14.0, -1.0};
      observer.FileFinished(0, report);
      observer.BatchFinished();
    }
    const std::string bar = Contents(err);
    EXPECT_NE(bar.find("1 of 2 file(s)"), std::string::npos) << bar;
    EXPECT_NE(bar.find("measuring loudness: 2 of 2 file(s)"), std::string::npos) << bar;
    EXPECT_EQ(Contents(out), "long.aiff -> long.wav (-14.0 LUFS)\n");
    EXPECT_EQ(bar.find(" elapsed \u00b7 ") != std::string::npos, knowsSound) << bar;
    // Each redraw fits an 80-column terminal (a file is taken for one), or it would wrap and
    // leave its tail behind: here the speed gives way.
    std::size_t start = 0;
    while ((start = bar.find('\r', start)) != std::string::npos) {
      const std::size_t end = std::min(bar.find("\033[K", start + 1), bar.find('\r', start + 1));
      const std::string drawn = bar.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
      const auto columns = std::count_if(drawn.begin(), drawn.end(), [](char c) { return (c & 0xC0) != 0x80; });
      EXPECT_LE(columns, 79) << drawn;
      start = end == std::string::npos ? bar.size() : end;
    }
    std::fclose(out);
    std::fclose(err);
  }
}

}  // namespace
}  // namespace velmora::cli
