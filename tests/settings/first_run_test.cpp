#include "settings/first_run.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/settings_store.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

// The answer for a settings file whose Options group holds `firstRunLine` (nothing when empty),
// then the answer of a second start on the same file.
std::pair<bool, bool> TwoStarts(const std::string& firstRunLine) {
  test::TempDir dir;
  const std::string path = dir.File("Velmora.conf");
  if (!firstRunLine.empty()) std::ofstream(path) << "[Options]\n" << firstRunLine << "\n";
  bool first = false;
  {
    QtSettingsStore store(path);
    first = CheckFirstRun(store);
  }
  QtSettingsStore reopened(path);
  return {first, CheckFirstRun(reopened)};
}

TEST(FirstRun, OnlyTheFirstStartCountsAndTheMarkIsKept) {
  EXPECT_EQ(TwoStarts(""), std::make_pair(true, false));
  EXPECT_EQ(TwoStarts("FirstRun=1"), std::make_pair(true, false));
  EXPECT_EQ(TwoStarts("FirstRun=7"), std::make_pair(true, false));
  EXPECT_EQ(TwoStarts("FirstRun=0"), std::make_pair(false, false));
  // A value that is no number counts as absent and is replaced by the mark.
  EXPECT_EQ(TwoStarts("FirstRun=yes"), std::make_pair(true, false));
}

}  // namespace
}  // namespace velmora
