// The covers and notes that travel with converted files: which go, where, and how often.
#include "convert/companion_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "convert/conversion_job.h"
#include "platform/system_calls.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

using Reports = std::map<int, FileReport>;

class ReportObserver final : public BatchObserver {
 public:
  void BatchStarted(int, OutputFormat) override {}
  void FileStarted(int, const std::string&) override {}
  void FramesDone(int, std::uint64_t, std::uint64_t) override {}
  void FileFinished(int index, const FileReport& report) override {
    std::lock_guard lock(m_mutex);
    reports[index] = report;
  }
  void BatchFinished() override {}

  Reports reports;

 private:
  std::mutex m_mutex;
};

// The companion notes of a batch added up, and how many files carried one.
CompanionNote Total(const Reports& reports, int* carriers = nullptr) {
  CompanionNote total;
  for (const auto& [index, report] : reports) {
    const CompanionNote& note = report.outcome.companions;
    if (carriers && !note.Empty()) ++*carriers;
    total.copied += note.copied;
    total.present += note.present;
    total.tooLarge += note.tooLarge;
    total.failed += note.failed;
  }
  return total;
}

class CompanionFilesTest : public ::testing::Test {
 protected:
  std::string WriteAiff(const std::string& name) {
    test::AiffBuilder b;
    b.frames = 100;
    for (int i = 0; i < 100; ++i) test::PutBe16(b.sound, static_cast<unsigned>(i * 7) & 0xFFFF);
    return m_dir.Write(name, b.Build());
  }
  std::string Text(const std::string& name, const std::string& text) {
    return m_dir.Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  std::string Read(const std::string& name) {
    const auto bytes = test::ReadFileBytes(m_dir.File(name));
    return {bytes.begin(), bytes.end()};
  }
  // Converts `sources` to WAV, `jobs` at once: into out/<source folder's name>/ when `toOut`,
  // else next to each source.
  Reports Convert(const std::vector<std::string>& sources, int jobs, bool toOut = true, bool skip = false) {
    ConverterSettings settings;
    if (toOut) {
      settings.DestOutputFolderOpt = kOutputFolderSpecified;
      settings.DestSpecifiedFolder = m_dir.File("out");
      settings.OutputNamePattern = "{folder}/{name}";
    }
    settings.CopyCompanions = 1;
    std::vector<BatchItem> items;
    for (const std::string& source : sources) items.push_back({source, {}});
    ReportObserver observer;
    ConversionJob job(OptionsFromSettings(settings), {std::nullopt, std::nullopt, false});
    job.SetSkipExisting(skip);
    job.RunBatch(items, OutputFormat::Wav, observer, jobs);
    return observer.reports;
  }

  test::TempDir m_dir;
};

// Which files of an album folder travel, copied once whatever the number of its sources and
// jobs, never over a file that is there, and nowhere when the output stays beside the source.
TEST_F(CompanionFilesTest, TheRuleOnARealTree) {
  const struct {
    const char* name;
    bool travels;
  } kFiles[] = {
      {"cover.jpg", true},  {"Front.JPEG", true},  {"back.webp", true},  {"scan.TIFF", true},
      {"disc.png", true},   {"booklet.pdf", true}, {"notes.TXT", true},  {"info.nfo", true},
      {"readme.md", true},  {"credits.rtf", true}, {"album.cue", false}, {"list.m3u", false},
      {"list.m3u8", false}, {"list.pls", false},   {"list.xspf", false}, {".hidden.jpg", false},
      {"rip.log", false},   {"other.aiff", false}, {"jpg", false},       {"cover.jpg.part", false},
  };
  std::vector<std::string> album = {WriteAiff("album/one.aiff"), WriteAiff("album/two.aiff")};
  for (const auto& file : kFiles) {
    if (!fs::exists(m_dir.File(std::string("album/") + file.name))) Text(std::string("album/") + file.name, file.name);
  }
  // A link to a cover elsewhere is copied as the cover; links to anything else, folders, a
  // pipe and a file past the size bound are not.
  Text("elsewhere/shared.png", "shared");
  fs::create_symlink(m_dir.File("elsewhere/shared.png"), m_dir.File("album/linked.png"));
  fs::create_symlink(m_dir.File("elsewhere"), m_dir.File("album/folder-link.jpg"));
  fs::create_symlink(m_dir.File("missing.jpg"), m_dir.File("album/dangling.jpg"));
  fs::create_directories(m_dir.File("album/art.jpg"));
  ASSERT_EQ(::mkfifo(m_dir.File("album/pipe.jpg").c_str(), 0600), 0);
  Text("album/huge.pdf", "");
  fs::resize_file(m_dir.File("album/huge.pdf"), kMaxCompanionBytes + 1);  // sparse: costs no disk
  // The copy keeps the date of the scan.
  const struct timespec dated[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, m_dir.File("album/cover.jpg").c_str(), dated, 0), 0);
  // A name taken in the output folder is left as it is, not numbered.
  Text("out/album/notes.TXT", "mine");

  // Many sources of one folder, two at once.
  std::vector<std::string> many;
  for (int i = 0; i < 12; ++i) many.push_back(WriteAiff("many/" + std::to_string(i) + ".aiff"));
  Text("many/folder.jpg", "many");

  std::vector<std::string> sources = album;
  sources.insert(sources.end(), many.begin(), many.end());
  int carriers = 0;
  const CompanionNote total = Total(Convert(sources, 2), &carriers);
  EXPECT_EQ(carriers, 2);       // one file of each folder carries the folder's note
  EXPECT_EQ(total.copied, 11);  // album: 9 that travel and are free, and the link; many: 1
  EXPECT_EQ(total.present, 1);
  EXPECT_EQ(total.tooLarge, 1);
  EXPECT_EQ(total.failed, 0);
  for (const auto& file : kFiles) {
    const std::string copy = std::string("out/album/") + file.name;
    if (std::string(file.name) == "notes.TXT") continue;
    EXPECT_EQ(fs::exists(m_dir.File(copy)), file.travels) << file.name;
    if (file.travels) {
      EXPECT_EQ(Read(copy), file.name);
    }
  }
  EXPECT_EQ(Read("out/album/notes.TXT"), "mine");
  EXPECT_EQ(Read("out/album/linked.png"), "shared");
  EXPECT_EQ(fs::symlink_status(m_dir.File("out/album/linked.png")).type(), fs::file_type::regular);
  EXPECT_EQ(Read("out/many/folder.jpg"), "many");
  struct stat st = {};
  ASSERT_EQ(::stat(m_dir.File("out/album/cover.jpg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1'000'000'000);
  // Nothing else came along, and no temporary copy was left.
  for (const char* name : {"folder-link.jpg", "dangling.jpg", "art.jpg", "pipe.jpg", "huge.pdf"}) {
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_dir.File(std::string("out/album/") + name)))) << name;
  }
  for (const auto& entry : fs::recursive_directory_iterator(m_dir.File("out"))) {
    EXPECT_EQ(entry.path().string().find(".velmora-"), std::string::npos) << entry.path();
  }

  // A run that skips what exists completes what an interrupted one left uncopied.
  fs::remove(m_dir.File("out/many/folder.jpg"));
  const Reports resumed = Convert(many, 2, true, true);
  EXPECT_EQ(resumed.at(0).outcome.result, FileResult::Skipped);
  EXPECT_EQ(Total(resumed).copied, 1);
  EXPECT_EQ(Read("out/many/folder.jpg"), "many");

  // Outputs next to their sources copy nothing onto the sources' own folder.
  EXPECT_TRUE(Total(Convert(album, 1, false)).Empty());

  // A Cancel stops the copying before the first file.
  const std::atomic<bool> cancelled{true};
  EXPECT_TRUE(CompanionCopier().CopyBeside(album[0], m_dir.File("elsewhere/x.wav"), &cancelled).Empty());
  EXPECT_FALSE(fs::exists(m_dir.File("elsewhere/cover.jpg")));
}

// On a full disk a companion is not copied but named, nothing half-written is left, and the
// next is tried all the same.
TEST_F(CompanionFilesTest, ACompanionThatCannotBeWrittenIsNamed) {
  const std::string source = WriteAiff("album/one.aiff");
  Text("album/a.txt", "a");
  Text("album/cover.jpg", "c");
  fs::create_directories(m_dir.File("out"));
  SystemCalls full = Sys();
  full.write = [](int, const void*, std::size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  const SystemCalls previous = SetSystemCallsForTesting(full);
  const CompanionNote note = CompanionCopier().CopyBeside(source, m_dir.File("out/one.wav"), nullptr);
  SetSystemCallsForTesting(previous);
  EXPECT_EQ(note.copied, 0);
  EXPECT_EQ(note.failed, 2);
  EXPECT_EQ(note.firstFailed, "a.txt");
  EXPECT_EQ(note.error, ENOSPC);
  EXPECT_TRUE(fs::is_empty(m_dir.File("out")));
}

}  // namespace
}  // namespace velmora
