#include "convert/conversion_job.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "cli/outcome_text.h"
#include "platform/file_system.h"
#include "platform/system_calls.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using cli::ReasonText;

// Records what the engine reports and lets a test act at chosen moments.
class RecordingObserver final : public BatchObserver {
 public:
  void BatchStarted(int fileCount, OutputFormat) override { started = fileCount; }
  void FileStarted(int index, const std::string&) override {
    if (onStarted) onStarted(index);
  }
  void FramesDone(int index, std::uint64_t done, std::uint64_t total) override {
    {
      std::lock_guard lock(mutex);
      lastFrames[index] = done;
      ++progressReports;
    }
    if (onFrames) onFrames(index, done, total);
  }
  void FileFinished(int index, const FileReport& report) override {
    {
      std::lock_guard lock(mutex);
      reports[index] = report;
    }
    if (onFinished) onFinished(index);
  }
  void BatchFinished() override { batchFinished = true; }

  // The output's name when converted, else what became of the file.
  std::string Status(int index) {
    const FileReport& report = reports.at(index);
    switch (report.outcome.result) {
      case FileResult::Converted: return FileNamePart(report.outputPath);
      case FileResult::Cancelled: return "cancelled";
      case FileResult::Skipped: return "skipped";
      case FileResult::Failed: break;
    }
    return "failed";
  }
  std::string Reason(int index) { return ReasonText(reports.at(index).outcome); }

  std::mutex mutex;
  int started = -1;
  bool batchFinished = false;
  int progressReports = 0;
  std::map<int, std::uint64_t> lastFrames;
  std::map<int, FileReport> reports;
  std::function<void(int, std::uint64_t, std::uint64_t)> onFrames;
  std::function<void(int)> onStarted;
  std::function<void(int)> onFinished;
};

class ConversionJobTest : public ::testing::Test {
 protected:
  std::string WriteAiff(const std::string& name, int frames, int channels = 2) {
    test::AiffBuilder b;
    b.channels = channels;
    b.frames = static_cast<std::uint32_t>(frames);
    for (int i = 0; i < frames * channels; ++i) test::PutBe16(b.sound, static_cast<unsigned>(i * 7) & 0xFFFF);
    return m_dir.Write(name, b.Build());
  }
  static std::vector<BatchItem> Items(const std::vector<std::string>& sources) {
    std::vector<BatchItem> items;
    for (const auto& source : sources) items.push_back({source, {}});
    return items;
  }
  // What is in a folder, names only: no temporary file may be left anywhere.
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      names.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void Run(const std::vector<BatchItem>& items, RecordingObserver& observer, int jobs = 1) {
    ConversionJob(OptionsFromSettings(m_settings), m_folders).RunBatch(items, OutputFormat::Wav, observer, jobs);
  }

  test::TempDir m_dir;
  ConverterSettings m_settings;
  OutputFolders m_folders{std::nullopt, std::nullopt, true};
};

TEST_F(ConversionJobTest, ReportsOfConvertedAndFailedFiles) {
  const auto items = Items({WriteAiff("a.aiff", 3000), m_dir.Write("bad.aiff", {1, 2, 3}), WriteAiff("b.aiff", 0)});
  RecordingObserver observer;
  ConversionJob job(OptionsFromSettings(m_settings), m_folders);
  ASSERT_TRUE(job.RunBatch(items, OutputFormat::Wav, observer));
  EXPECT_FALSE(job.RunBatch(items, OutputFormat::Wav, observer));  // one batch per job
  EXPECT_EQ(observer.started, 3);
  EXPECT_TRUE(observer.batchFinished);
  EXPECT_EQ(observer.Status(0), "a.wav");
  EXPECT_EQ(observer.reports[0].outputPath, m_dir.File("a.wav"));
  EXPECT_EQ(observer.lastFrames[0], 3000u);  // the last progress report always comes
  EXPECT_EQ(observer.Status(1), "failed");
  EXPECT_EQ(observer.Reason(1), "file too short to be AIFF");
  EXPECT_TRUE(observer.reports[1].outputPath.empty());
  // A source with no frames still makes a valid, empty WAV file.
  EXPECT_EQ(observer.Status(2), "b.wav");
  EXPECT_EQ(fs::file_size(m_dir.File("b.wav")), 44u);
  EXPECT_EQ(Names(m_dir.path()), (std::vector<std::string>{"a.aiff", "a.wav", "b.aiff", "b.wav", "bad.aiff"}));
}

// The window's lossless setting reaches the conversion: four channels stay four, where the
// 16-bit path would deliver two.
TEST_F(ConversionJobTest, LosslessSettingKeepsEveryChannel) {
  const auto items = Items({WriteAiff("quad.aiff", 100, 4)});
  m_settings.WAVLossless = 1;
  RecordingObserver observer;
  Run(items, observer);
  ASSERT_EQ(observer.Status(0), "quad.wav");
  const std::vector<std::uint8_t> wav = test::ReadFileBytes(m_dir.File("quad.wav"));
  ASSERT_EQ(wav.size(), 80u + 100u * 8u);
  EXPECT_EQ(wav[22], 4);
  EXPECT_EQ(wav[34], 16);
}

TEST_F(ConversionJobTest, UnusableFoldersFallBackInTheWindowAndFailOnTheCommandLine) {
  const auto items = Items({WriteAiff("a.aiff", 10)});
  // A regular file where the output folder should be: nothing can be created below it.
  m_dir.Write("blocker", {'x'});
  m_settings.DestOutputFolderOpt = kOutputFolderSpecified;
  m_settings.DestSpecifiedFolder = m_dir.File("blocker") + "/out";
  RecordingObserver window;
  Run(items, window);
  EXPECT_EQ(window.Status(0), "a.wav");  // next to the source instead

  m_folders.fallBack = false;
  RecordingObserver cli;
  Run(items, cli);
  EXPECT_EQ(cli.Status(0), "failed");
  EXPECT_EQ(cli.Reason(0), "cannot create folder \"" + m_dir.File("blocker") + "/out/\": Not a directory");

  // A mirrored folder that cannot be made fails in both; the folders made on the way are
  // removed again since nothing went into them.
  m_folders.fallBack = true;
  m_settings.DestSpecifiedFolder = m_dir.File("out");
  m_settings.CreateDirs = 1;
  fs::create_directories(m_dir.File("out") + m_dir.path().parent_path().string());
  m_dir.Write("out" + m_dir.path().string(), {'x'});  // a file where the mirrored folder goes
  const auto nested = Items({m_dir.File("a.aiff")});
  RecordingObserver mirror;
  Run(nested, mirror);
  EXPECT_EQ(mirror.Status(0), "failed");
  EXPECT_EQ(mirror.Reason(0), "cannot create folder \"" + m_dir.File("out") + m_dir.path().string() + "/\": Not a directory");

  m_settings.DestSpecifiedFolder = m_dir.File("fresh/deep");
  m_folders.fallBack = false;
  const auto unreadable = Items({m_dir.Write("bad.aiff", {0})});
  RecordingObserver failing;
  Run(unreadable, failing);
  EXPECT_EQ(failing.Status(0), "failed");
  EXPECT_FALSE(fs::exists(m_dir.File("fresh")));
}

// Converting an entry again: the new file takes the earlier one's name only while that is
// still the very file written then, and of the same format; anything else is left alone.
TEST_F(ConversionJobTest, ConvertingAgainReplacesOnlyTheUnchangedEarlierOutputOfItsFormat) {
  const std::string source = WriteAiff("a.aiff", 100);
  const auto convert = [&](OutputFormat format, const std::optional<EarlierOutput>& earlier) {
    RecordingObserver observer;
    ConversionJob(OptionsFromSettings(m_settings), m_folders).RunBatch({{source, earlier}}, format, observer);
    return observer.reports.at(0);
  };
  const auto earlierOf = [](const FileReport& report) { return EarlierOutput{report.outputPath, *report.outputStamp}; };

  const FileReport wav = convert(OutputFormat::Wav, std::nullopt);
  ASSERT_TRUE(wav.outputStamp.has_value());
  const FileReport mp3 = convert(OutputFormat::Mp3, earlierOf(wav));
  EXPECT_EQ(mp3.outputPath, m_dir.File("a.mp3"));
  EXPECT_EQ(ReadFileStamp(wav.outputPath), wav.outputStamp);  // the other format is not touched

  const FileReport again = convert(OutputFormat::Wav, earlierOf(wav));
  EXPECT_EQ(again.outputPath, wav.outputPath);  // the same name again, not a_1.wav
  EXPECT_NE(again.outputStamp->inode, wav.outputStamp->inode);
  EXPECT_EQ(ReadFileStamp(again.outputPath), again.outputStamp);

  // The user moved the output away and saved a file of their own under its name.
  fs::rename(again.outputPath, m_dir.File("kept.wav"));
  m_dir.Write("a.wav", {'m', 'i', 'n', 'e'});
  const FileReport numbered = convert(OutputFormat::Wav, earlierOf(again));
  EXPECT_EQ(numbered.outputPath, m_dir.File("a_1.wav"));
  EXPECT_EQ(fs::file_size(m_dir.File("a.wav")), 4u);
  EXPECT_EQ(Names(m_dir.path()), (std::vector<std::string>{"a.aiff", "a.mp3", "a.wav", "a_1.wav", "kept.wav"}));
}

TEST_F(ConversionJobTest, AFailedOrCancelledReconversionKeepsTheEarlierOutput) {
  const std::string source = WriteAiff("long.aiff", 50000);
  RecordingObserver first;
  Run(Items({source}), first);
  const EarlierOutput earlier{first.reports.at(0).outputPath, *first.reports.at(0).outputStamp};

  RecordingObserver cancelled;
  ConversionJob job(OptionsFromSettings(m_settings), m_folders);
  cancelled.onStarted = [&](int) { job.Cancel(); };
  job.RunBatch({{source, earlier}}, OutputFormat::Wav, cancelled);
  EXPECT_EQ(cancelled.Status(0), "cancelled");

  fs::remove(source);
  RecordingObserver failed;
  ConversionJob(OptionsFromSettings(m_settings), m_folders).RunBatch({{source, earlier}}, OutputFormat::Wav, failed);
  EXPECT_EQ(failed.Status(0), "failed");
  EXPECT_EQ(ReadFileStamp(earlier.path), earlier.stamp);
  EXPECT_EQ(Names(m_dir.path()), std::vector<std::string>{"long.wav"});
}

TEST_F(ConversionJobTest, CancelDuringAFileRemovesItsOutputAndKeepsFinishedOnes) {
  const auto items = Items({WriteAiff("a.aiff", 50000), WriteAiff("b.aiff", 50000), WriteAiff("c.aiff", 50000)});
  RecordingObserver observer;
  ConversionJob job(OptionsFromSettings(m_settings), m_folders);
  // The user cancels as the second file starts: its first block is the last one read.
  observer.onStarted = [&](int index) {
    if (index == 1) job.Cancel();
  };
  job.RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(observer.Status(0), "a.wav");
  EXPECT_EQ(observer.Status(1), "cancelled");
  EXPECT_TRUE(observer.reports[1].outputPath.empty());
  EXPECT_EQ(observer.reports.count(2), 0u);  // never reached, never reported
  EXPECT_EQ(Names(m_dir.path()), (std::vector<std::string>{"a.aiff", "a.wav", "b.aiff", "c.aiff"}));
}

TEST_F(ConversionJobTest, CancelAfterAFileOrWithItsLastBlockKeepsTheWholeFile) {
  const auto items = Items({WriteAiff("a.aiff", 100), WriteAiff("b.aiff", 100)});
  RecordingObserver observer;
  ConversionJob job(OptionsFromSettings(m_settings), m_folders);
  observer.onFinished = [&](int index) {
    if (index == 0) job.Cancel();
  };
  job.RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(observer.Status(0), "a.wav");
  EXPECT_EQ(observer.reports.count(1), 0u);
  EXPECT_FALSE(fs::exists(m_dir.File("b.wav")));

  // Cancel seen with the block that ends the data: that block is written and the file is
  // complete (1,000 stereo 16-bit frames after the 44-byte header).
  const auto single = Items({WriteAiff("c.aiff", 1000)});
  ConversionJob lateJob(OptionsFromSettings(m_settings), m_folders);
  RecordingObserver late;
  late.onFrames = [&](int, std::uint64_t, std::uint64_t) { lateJob.Cancel(); };
  lateJob.RunBatch(single, OutputFormat::Wav, late);
  EXPECT_EQ(late.Status(0), "c.wav");
  EXPECT_EQ(fs::file_size(m_dir.File("c.wav")), 44u + 1000u * 4u);
}

TEST_F(ConversionJobTest, AFailedCloseFailsTheFileWithTheSystemsReason) {
  const auto items = Items({WriteAiff("a.aiff", 100)});
  SystemCalls failing = Sys();
  failing.fdatasync = [](int) -> int {
    errno = ENOSPC;
    return -1;
  };
  const SystemCalls previous = SetSystemCallsForTesting(failing);
  RecordingObserver observer;
  Run(items, observer);
  SetSystemCallsForTesting(previous);
  EXPECT_EQ(observer.Status(0), "failed");
  EXPECT_EQ(observer.Reason(0), "cannot write output: No space left on device");
  EXPECT_EQ(Names(m_dir.path()), std::vector<std::string>{"a.aiff"});
}

TEST_F(ConversionJobTest, ANameTakenWhileConvertingIsNeverReplaced) {
  const auto items = Items({WriteAiff("a.aiff", 5000)});
  RecordingObserver observer;
  // Another program creates a.wav while the file is in work.
  observer.onFrames = [&](int, std::uint64_t, std::uint64_t) {
    if (!fs::exists(m_dir.File("a.wav"))) m_dir.Write("a.wav", {'m', 'i', 'n', 'e'});
  };
  Run(items, observer);
  EXPECT_EQ(observer.Status(0), "a_1.wav");
  EXPECT_EQ(test::ReadFileBytes(m_dir.File("a.wav")), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
  EXPECT_EQ(fs::file_size(m_dir.File("a_1.wav")), 44u + 5000u * 4u);
}

TEST_F(ConversionJobTest, SkipExistingLooksAtTheUnnumberedNameAndCountsOnlyFiles) {
  const auto items = Items({WriteAiff("a.aiff", 10), WriteAiff("b.aiff", 10), WriteAiff("c.aiff", 10),
                            WriteAiff("d.aiff", 10)});
  m_dir.Write("a.wav", {'x'});
  // A folder or a dangling link of the output's name is no finished output.
  fs::create_directory(m_dir.File("c.wav"));
  fs::create_symlink(m_dir.File("gone.wav"), m_dir.File("d.wav"));
  RecordingObserver observer;
  ConversionJob job(OptionsFromSettings(m_settings), m_folders);
  job.SetSkipExisting(true);
  job.RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(observer.reports[0].outcome.result, FileResult::Skipped);
  EXPECT_EQ(observer.Reason(0), m_dir.File("a.wav") + " exists");
  EXPECT_EQ(observer.Status(1), "b.wav");
  EXPECT_EQ(observer.Status(2), "c_1.wav");
  EXPECT_EQ(observer.Status(3), "d_1.wav");
  EXPECT_FALSE(fs::exists(m_dir.File("a_1.wav")));
  EXPECT_FALSE(fs::exists(m_dir.File("gone.wav")));
}

// {path} rebuilds each source's folders below its root in the output folder, so same-named
// files of different albums keep their names; a run resumed with skip-existing finds them.
TEST_F(ConversionJobTest, PathPatternRebuildsTheTreeBelowEachRoot) {
  const std::string root = m_dir.File("in");
  std::vector<BatchItem> items = {
      {WriteAiff("in/Artist/Album/one.aiff", 10), std::nullopt, root},
      {WriteAiff("in/Other/one.aiff", 10), std::nullopt, root + "/"},
      {WriteAiff("in/top.aiff", 10), std::nullopt, root},
      {WriteAiff("loose.aiff", 10)},
  };
  m_settings.DestOutputFolderOpt = kOutputFolderSpecified;
  m_settings.DestSpecifiedFolder = m_dir.File("out");
  m_settings.OutputNamePattern = "{path}/{name}";
  for (const bool resume : {false, true}) {
    RecordingObserver observer;
    ConversionJob job(OptionsFromSettings(m_settings), m_folders);
    job.SetSkipExisting(resume);
    job.RunBatch(items, OutputFormat::Wav, observer, 2);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(observer.reports[i].outcome.result, resume ? FileResult::Skipped : FileResult::Converted) << i;
    }
  }
  EXPECT_EQ(Names(m_dir.File("out")), (std::vector<std::string>{"Artist", "Artist/Album", "Artist/Album/one.wav",
                                                                "Other", "Other/one.wav", "loose.wav", "top.wav"}));
}

TEST_F(ConversionJobTest, ParallelBatchNamesFilesExactlyAsASequentialOne) {
  std::vector<std::string> sources;
  for (const char* name : {"a.aif", "a.aiff", "a.aifc", "b.aiff", "bad.aiff", "a.AIFF"}) {
    sources.push_back(std::string(name) == "bad.aiff" ? m_dir.Write(name, {0}) : WriteAiff(name, 3000));
  }
  auto run = [&](int jobs, const std::string& out) {
    m_settings.DestOutputFolderOpt = kOutputFolderSpecified;
    m_settings.DestSpecifiedFolder = m_dir.File(out);
    RecordingObserver observer;
    Run(Items(sources), observer, jobs);
    std::vector<std::string> statuses;
    for (int i = 0; i < static_cast<int>(sources.size()); ++i) statuses.push_back(observer.Status(i));
    return statuses;
  };
  const auto sequential = run(1, "one");
  EXPECT_EQ(sequential, (std::vector<std::string>{"a.wav", "a_1.wav", "a_2.wav", "b.wav", "failed", "a_3.wav"}));
  for (int attempt = 0; attempt < 5; ++attempt) {
    EXPECT_EQ(run(3, "three" + std::to_string(attempt)), sequential);
  }
  EXPECT_EQ(test::ReadFileBytes(m_dir.File("one/a_2.wav")), test::ReadFileBytes(m_dir.File("three0/a_2.wav")));
}

}  // namespace
}  // namespace velmora
