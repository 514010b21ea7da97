#include "convert/progress_estimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace velmora {
namespace {

// A file of the simulated batch: its seconds of sound and how many times real time it converts.
struct SimulatedFile {
  double sound;
  double speed;
};

// One job converts the files in turn, each after a short start-up; the estimate is fed every
// 40 ms of simulated time, as the window feeds it. Very short and very long files are mixed and
// converted at different speeds (their rates differ), so a count of files says little.
TEST(ProgressEstimateTest, SettlesOnABatchOfVeryDifferentLengths) {
  std::vector<SimulatedFile> files;
  for (int i = 0; i < 30; ++i) files.push_back({0.5, 30});
  files.push_back({1800, 40});
  for (int i = 0; i < 20; ++i) files.push_back({4, 60});
  files.push_back({3600, 25});
  files.push_back({2, 40});
  files.push_back({900, 80});
  constexpr double kStartUp = 0.02, kTick = 0.04;
  double totalSound = 0, totalTime = 0;
  for (const SimulatedFile& file : files) {
    totalSound += file.sound;
    totalTime += kStartUp + file.sound / file.speed;
  }

  ProgressEstimate estimate;
  std::size_t index = 0;
  double fileStart = 0, soundBefore = 0;
  double lowest = 1e300, highest = 0;
  for (double now = kTick; now < totalTime; now += kTick) {
    while (index < files.size() && now >= fileStart + kStartUp + files[index].sound / files[index].speed) {
      fileStart += kStartUp + files[index].sound / files[index].speed;
      soundBefore += files[index].sound;
      ++index;
    }
    const double inFile = index < files.size() ? std::max(0.0, now - fileStart - kStartUp) * files[index].speed : 0;
    const double done = soundBefore + inFile;
    estimate.Update(now, done, totalSound);
    if (now < ProgressEstimate::kSettleSeconds) {
      EXPECT_FALSE(estimate.Remaining()) << now;
      EXPECT_NE(estimate.Text().find("\u2014 left"), std::string::npos) << estimate.Text();
      continue;
    }
    ASSERT_TRUE(estimate.Remaining() && estimate.Speed()) << now;
    if (done < totalSound / 10) continue;
    // From the first tenth of the sound on, the whole run's estimate stays within a factor of
    // two, and near the true length.
    const double total = now + *estimate.Remaining();
    lowest = std::min(lowest, total);
    highest = std::max(highest, total);
    EXPECT_LT(std::max(total, totalTime) / std::min(total, totalTime), 2.0) << now;
  }
  EXPECT_GT(highest, 0);
  EXPECT_LT(highest / lowest, 2.0);
}

TEST(ProgressEstimateTest, TextShowsElapsedRemainingAndSpeed) {
  ProgressEstimate estimate;
  estimate.Update(1, 40, 3600);
  EXPECT_EQ(estimate.Text(), "0:01 elapsed \u00b7 \u2014 left \u00b7 \u2014\u00d7 real time");
  estimate.Update(42, 42 * 38, 3600);
  // 2004 s of sound left at 38x real time: 52.7 s.
  EXPECT_EQ(estimate.Text(), "0:42 elapsed \u00b7 about 0:53 left \u00b7 38\u00d7 real time");
  estimate.Update(3723, 3600 * 3723 / 3724.0, 3600);
  EXPECT_EQ(estimate.Text(), "1:02:03 elapsed \u00b7 about 0:01 left \u00b7 1.0\u00d7 real time");
}

}  // namespace
}  // namespace velmora
