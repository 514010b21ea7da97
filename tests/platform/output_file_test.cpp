#include "platform/output_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/system_calls.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Result = OutputFile::PublishResult;

std::optional<std::string> Contents(const std::string& path) {
  if (!fs::exists(path)) return std::nullopt;
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A complete output holding `text`, closed and waiting for its name.
void WriteComplete(OutputFile& file, const std::string& finalPath, const std::string& text) {
  ASSERT_TRUE(file.CreateTemporary(finalPath));
  ASSERT_TRUE(file.Write(text.data(), text.size()));
  ASSERT_TRUE(file.Close());
}

// How the folder's file system takes a move that must not replace: as a local disk does, or as
// NFS and SMB mounts do, which refuse the no-replace flag (EINVAL) so that a link stands in;
// over NFS a link whose reply was lost is sent again and answers EEXIST for its own name.
enum class FileSystem { Local, RefusesNoReplace, LinkReplyLost };

int g_links = 0;  // link calls made while a refusing file system is in place

SystemCalls CallsOf(FileSystem fileSystem) {
  SystemCalls calls = Sys();
  if (fileSystem == FileSystem::Local) return calls;
  calls.renameat2 = [](int, const char*, int, const char*, unsigned flags) {
    errno = flags != 0 ? EINVAL : ENOSYS;
    return -1;
  };
  calls.link = [](const char* from, const char* to) {
    ++g_links;
    return ::link(from, to);
  };
  if (fileSystem == FileSystem::LinkReplyLost) {
    calls.link = [](const char* from, const char* to) {
      ++g_links;
      if (::link(from, to) != 0) return -1;
      errno = EEXIST;
      return -1;
    };
  }
  return calls;
}

// A table of system calls in place for one scope, whatever way the scope is left.
struct CallsInPlace {
  explicit CallsInPlace(const SystemCalls& calls) : previous(SetSystemCallsForTesting(calls)) {}
  ~CallsInPlace() { SetSystemCallsForTesting(previous); }
  CallsInPlace(const CallsInPlace&) = delete;
  CallsInPlace& operator=(const CallsInPlace&) = delete;
  SystemCalls previous;
};

// A finished output takes a name only when it is free, or when it is the very earlier output it
// was told to replace. Anything else under the name is the user's and stays; the output then
// stays temporary and takes the next name offered. The same holds where the file system refuses
// the no-replace rename, and nothing is left under a temporary name.
TEST(OutputFileTest, PublishingReplacesNothingButTheEarlierOutputItWasGiven) {
  enum class Before { Nothing, UsersFile, EarlierOutput, EarlierRewritten, EarlierReplaced, EarlierDeleted };
  struct Case {
    const char* what;
    Before before;
    bool over;  // PublishOver the earlier output rather than Publish
    Result expected;
    std::optional<std::string> left;  // what the name holds afterwards
  };
  const std::vector<Case> cases = {
      {"a free name", Before::Nothing, false, Result::Published, "fresh"},
      {"a name the user's file has", Before::UsersFile, false, Result::Exists, "mine"},
      {"the earlier output, not given", Before::EarlierOutput, false, Result::Exists, "old"},
      {"the earlier output, given", Before::EarlierOutput, true, Result::Published, "fresh"},
      {"the earlier output, rewritten since", Before::EarlierRewritten, true, Result::Exists, "old, edited"},
      {"another file moved onto the name", Before::EarlierReplaced, true, Result::Exists, "theirs"},
      {"the earlier output, deleted since", Before::EarlierDeleted, true, Result::Exists, std::nullopt},
  };
  for (const FileSystem fileSystem : {FileSystem::Local, FileSystem::RefusesNoReplace, FileSystem::LinkReplyLost}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what + std::string(" on file system ") + std::to_string(static_cast<int>(fileSystem)));
      const CallsInPlace calls(CallsOf(fileSystem));
      g_links = 0;
      test::TempDir dir;
      const std::string path = dir.File("out.wav");
      FileStamp earlier;
      if (c.before == Before::UsersFile) std::ofstream(path) << "mine";
      if (c.before >= Before::EarlierOutput) {
        OutputFile first;
        WriteComplete(first, path, "old");
        ASSERT_EQ(first.Publish(path), Result::Published);
        ASSERT_TRUE(first.Stamp().has_value());
        earlier = *first.Stamp();
        EXPECT_EQ(ReadFileStamp(path), earlier);  // the name keeps the stamp taken at the close
      }
      if (c.before == Before::EarlierRewritten) std::ofstream(path) << "old, edited";
      if (c.before == Before::EarlierReplaced) {
        // Written while the earlier output still exists, so it cannot get its inode back.
        std::ofstream(dir.File("theirs")) << "theirs";
        fs::rename(dir.File("theirs"), path);
      }
      if (c.before == Before::EarlierDeleted) fs::remove(path);

      OutputFile output;
      WriteComplete(output, path, "fresh");
      const std::string temporary = output.TemporaryPath();
      EXPECT_NE(temporary.find(OutputFile::kTemporaryMarker), std::string::npos);
      EXPECT_EQ(c.over ? output.PublishOver(path, earlier) : output.Publish(path), c.expected);
      EXPECT_EQ(Contents(path), c.left);
      if (c.expected == Result::Exists) {
        EXPECT_EQ(Contents(temporary), "fresh");
        EXPECT_EQ(output.Publish(dir.File("out_1.wav")), Result::Published);
        EXPECT_EQ(Contents(dir.File("out_1.wav")), "fresh");
      }
      EXPECT_FALSE(fs::exists(temporary));
      for (const std::string& name : Names(dir.path())) {
        EXPECT_EQ(name.find(OutputFile::kTemporaryMarker), std::string::npos) << name;
      }
      // Each Publish went through the link; PublishOver renames, which these file systems take.
      if (fileSystem != FileSystem::Local) {
        EXPECT_GT(g_links, 0);
      }
    }
  }
}

// An output that is not finished (dropped, discarded, failed to write or not closed) never takes
// a name and leaves no temporary file behind; a failure keeps the system's reason.
TEST(OutputFileTest, AnUnfinishedOutputLeavesNothingAndKeepsItsReason) {
  enum class Ending { Dropped, Discarded, DiskFull, NotClosed };
  struct Case {
    const char* what;
    Ending ending;
    int error;
  };
  const std::vector<Case> cases = {
      {"dropped unpublished", Ending::Dropped, 0},
      {"discarded", Ending::Discarded, 0},
      {"the disk full", Ending::DiskFull, ENOSPC},
      {"published before its close", Ending::NotClosed, EBADF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    const std::string path = dir.File("out.wav");
    {
      OutputFile output;
      ASSERT_TRUE(output.CreateTemporary(path));
      const std::string text(100000, 'x');  // more than the buffer holds
      if (c.ending == Ending::DiskFull) {
        SystemCalls full = Sys();
        full.write = [](int, const void*, std::size_t) -> ssize_t {
          errno = ENOSPC;
          return -1;
        };
        const SystemCalls previous = SetSystemCallsForTesting(full);
        const bool written = output.Write(text.data(), text.size()) && output.Close();
        SetSystemCallsForTesting(previous);
        EXPECT_FALSE(written);
      } else {
        ASSERT_TRUE(output.Write(text.data(), text.size()));
      }
      if (c.ending == Ending::Dropped || c.ending == Ending::Discarded) {
        ASSERT_TRUE(output.Close());
      }
      if (c.ending == Ending::Discarded) output.Discard();
      if (c.ending == Ending::DiskFull || c.ending == Ending::NotClosed) {
        EXPECT_EQ(output.Publish(path), Result::Failed);
      }
      EXPECT_EQ(output.Error(), c.error);
    }
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace velmora
