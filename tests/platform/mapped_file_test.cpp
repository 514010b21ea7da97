#include "platform/mapped_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace velmora {
namespace {

// Only a regular file of 1 byte to under 4 GiB is mapped; everything else is refused at once
// with a reason, a FIFO without waiting for a writer.
TEST(MappedFileTest, OnlyRegularFilesThatFitAreMapped) {
  test::TempDir dir;
  const std::string small = dir.Write("small.aiff", {'F', 'O', 'R', 'M'});
  const std::string empty = dir.Write("empty.aiff", {});
  ASSERT_EQ(::mkfifo(dir.File("pipe.aiff").c_str(), 0644), 0);
  // Sparse: the size is there without the disk space.
  const std::string huge = dir.Write("huge.aiff", {});
  std::filesystem::resize_file(huge, std::uintmax_t{1} << 32);
  struct Case {
    std::string path;
    MappedFile::Result expected;
    int error;
  };
  const std::vector<Case> cases = {
      {small, MappedFile::Result::Ok, 0},
      {dir.File("missing.aiff"), MappedFile::Result::CannotOpen, ENOENT},
      {dir.path().string(), MappedFile::Result::CannotOpen, EISDIR},
      {empty, MappedFile::Result::Empty, 0},
      {dir.File("pipe.aiff"), MappedFile::Result::NotRegular, 0},
      {"/dev/null", MappedFile::Result::NotRegular, 0},
      {huge, MappedFile::Result::TooLarge, 0},
  };
  MappedFile file;  // one object, reused as the reader reuses it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(file.Open(c.path), c.expected);
    EXPECT_EQ(file.LastErrno(), c.error);
    if (c.expected == MappedFile::Result::Ok) {
      ASSERT_EQ(file.size(), 4u);
      EXPECT_TRUE(std::equal(file.data(), file.data() + 4, "FORM"));
      EXPECT_FALSE(file.Damaged());
    }
  }
}

// Another program cuts the file short while it is mapped: the pages that vanished read as zeros
// instead of killing the program, the mapping says so, and the bytes still there are intact.
// Pages given back to the kernel come back unchanged when read again.
TEST(MappedFileTest, AFileCutShortWhileMappedReadsZerosAndIsMarkedDamaged) {
  test::TempDir dir;
  const long page = ::sysconf(_SC_PAGESIZE);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(page) * 8);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 251 + 1);
  const std::string path = dir.Write("shrinks.aiff", bytes);
  MappedFile file;
  ASSERT_EQ(file.Open(path), MappedFile::Result::Ok);
  file.ReleaseBefore(static_cast<std::size_t>(page) * 2);
  file.Release(file.data() + page * 2, static_cast<std::size_t>(page));
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.data()));
  EXPECT_FALSE(file.Damaged());

  ASSERT_EQ(::truncate(path.c_str(), page * 2), 0);
  const std::size_t kept = static_cast<std::size_t>(page) * 2;
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + static_cast<long>(kept), file.data()));
  EXPECT_TRUE(std::all_of(file.data() + kept, file.data() + file.size(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_TRUE(file.Damaged());

  // A file opened afterwards starts undamaged.
  ASSERT_EQ(file.Open(path), MappedFile::Result::Ok);
  EXPECT_EQ(file.size(), kept);
  EXPECT_FALSE(file.Damaged());
}

}  // namespace
}  // namespace velmora
