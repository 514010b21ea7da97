#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace velmora {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An empty text, a zero and no bytes are values the user chose; they must not read back as
// absent, or the defaults would come back in their place.
TEST(QtSettingsStoreTest, TellsAnAbsentValueFromAnEmptyOneAcrossAReopen) {
  test::TempDir dir;
  QtSettingsStore store(dir.File("Velmora.conf"));
  EXPECT_FALSE(store.ReadText("Folder"));
  EXPECT_FALSE(store.ReadNumber("CreateDirs"));
  EXPECT_FALSE(store.ReadBytes("ID3Tag"));
  store.WriteText("Folder", "");
  store.WriteNumber("CreateDirs", 0);
  store.WriteBytes("ID3Tag", {});
  ASSERT_TRUE(store.Sync());
  QtSettingsStore reopened(dir.File("Velmora.conf"));
  EXPECT_EQ(reopened.ReadText("Folder"), std::string());
  EXPECT_EQ(reopened.ReadNumber("CreateDirs"), 0);
  EXPECT_EQ(reopened.ReadBytes("ID3Tag"), Bytes());
  EXPECT_EQ(reopened.ReadNumber("Folder"), std::nullopt);
}

}  // namespace
}  // namespace velmora
