#include "convert/conversion_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Records what the engine reports and lets a test act at chosen moments.
class RecordingObserver final : public BatchObserver {
 public:
  void BatchStarted(int fileCount, OutputFormat) override { started = fileCount; }
  void FileStarted(int index, const BatchItem&) override {
    std::lock_guard lock(mutex);
    startedFiles.push_back(index);
  }
  void FramesDone(int index, std::int64_t done, std::int64_t total) override {
    if (onFrames) onFrames(index, done, total);
  }
  void FileFinished(int index, const BatchItem& item, FileResult result) override {
    std::lock_guard lock(mutex);
    finished.push_back({index, item.status, result});
    if (onFinished) onFinished(index);
  }
  void BatchFinished() override { batchFinished = true; }

  struct Finished {
    int index;
    std::string status;
    FileResult result;
  };
  std::mutex mutex;
  int started = -1;
  bool batchFinished = false;
  std::vector<int> startedFiles;
  std::vector<Finished> finished;
  std::function<void(int, std::int64_t, std::int64_t)> onFrames;
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
  std::vector<BatchItem> Items(const std::vector<std::string>& sources) {
    std::vector<BatchItem> items;
    for (const auto& source : sources) items.push_back({source, {}, {}, {}});
    return items;
  }
  OutputFolders NoFallbacks() { return {}; }

  test::TempDir m_dir;
  ConverterSettings m_settings;
};

TEST_F(ConversionJobTest, StatusTextsOfConvertedAndFailedFiles) {
  std::vector<BatchItem> items = Items({WriteAiff("a.aiff", 3000), m_dir.Write("bad.aiff", {1, 2, 3}),
                                        WriteAiff("b.aiff", 0)});
  RecordingObserver observer;
  ConversionJob job(m_settings, NoFallbacks());
  job.RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(observer.started, 3);
  EXPECT_TRUE(observer.batchFinished);
  EXPECT_EQ(items[0].status, "a.wav");
  EXPECT_EQ(items[0].outputPath, m_dir.File("a.wav"));
  EXPECT_EQ(items[1].status, "Conversion Failure");
  EXPECT_EQ(items[1].reason, "file too short to be AIFF");
  EXPECT_TRUE(items[1].outputPath.empty());
  // A source with no frames still makes a valid, empty WAV file.
  EXPECT_EQ(items[2].status, "b.wav");
  EXPECT_EQ(fs::file_size(m_dir.File("b.wav")), 44u);
  EXPECT_FALSE(fs::exists(m_dir.File("bad.wav")));
}

TEST_F(ConversionJobTest, NoWritablePlaceAndUncreatableMirrorFolder) {
  std::vector<BatchItem> items = Items({WriteAiff("a.aiff", 10)});
  // A regular file where the output folder should be: nothing can be created below it.
  m_dir.Write("blocker", {'x'});
  m_settings.DestOutputFolderOpt = kOutputFolderSpecified;
  m_settings.DestSpecifiedFolder = m_dir.File("blocker");
  RecordingObserver observer;
  // The specified folder is unusable, so output goes next to the source.
  ConversionJob(m_settings, NoFallbacks()).RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(items[0].status, "a.wav");

  m_settings.DestSpecifiedFolder = m_dir.File("out");
  m_settings.CreateDirs = 1;
  fs::create_directories(m_dir.File("out"));
  m_dir.Write("out" + m_dir.path().string(), {'x'});  // a file where the mirrored folder goes
  items = Items({m_dir.File("a.aiff")});
  ConversionJob(m_settings, NoFallbacks()).RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(items[0].status, "Failed to create folder \"" + m_dir.File("out") + m_dir.path().string() + "/\"");
}

TEST_F(ConversionJobTest, ConvertingAnEntryAgainReplacesItsEarlierOutput) {
  std::vector<BatchItem> items = Items({WriteAiff("a.aiff", 100)});
  RecordingObserver observer;
  ConversionJob(m_settings, NoFallbacks()).RunBatch(items, OutputFormat::Wav, observer);
  ASSERT_EQ(items[0].status, "a.wav");
  ConversionJob(m_settings, NoFallbacks()).RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(items[0].status, "a.wav");  // the same name again, not a_1.wav
  EXPECT_FALSE(fs::exists(m_dir.File("a_1.wav")));
}

TEST_F(ConversionJobTest, CancelDuringAFileRemovesItsOutputAndKeepsFinishedOnes) {
  std::vector<BatchItem> items = Items({WriteAiff("a.aiff", 5000), WriteAiff("b.aiff", 5000), WriteAiff("c.aiff", 5000)});
  items[2].status = "earlier status";
  RecordingObserver observer;
  ConversionJob job(m_settings, NoFallbacks());
  observer.onFrames = [&](int index, std::int64_t done, std::int64_t) {
    if (index == 1 && done >= 1152) job.Cancel();
  };
  job.RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(items[0].status, "a.wav");
  EXPECT_TRUE(fs::exists(m_dir.File("a.wav")));
  EXPECT_EQ(items[1].status, "Cancelled");
  EXPECT_TRUE(items[1].outputPath.empty());
  EXPECT_FALSE(fs::exists(m_dir.File("b.wav")));
  EXPECT_EQ(items[2].status, "earlier status");  // never reached
  EXPECT_FALSE(fs::exists(m_dir.File("c.wav")));
}

TEST_F(ConversionJobTest, CancelRightAfterAFileOrOnItsLastBlockKeepsIt) {
  std::vector<BatchItem> items = Items({WriteAiff("a.aiff", 100), WriteAiff("b.aiff", 100)});
  RecordingObserver observer;
  ConversionJob job(m_settings, NoFallbacks());
  observer.onFinished = [&](int index) {
    if (index == 0) job.Cancel();
  };
  job.RunBatch(items, OutputFormat::Wav, observer);
  EXPECT_EQ(items[0].status, "a.wav");
  EXPECT_TRUE(items[1].status.empty());
  EXPECT_FALSE(fs::exists(m_dir.File("b.wav")));

  // Cancel seen after the block that ends the data: the file is complete and stays.
  std::vector<BatchItem> single = Items({WriteAiff("c.aiff", 500)});
  ConversionJob job2(m_settings, NoFallbacks());
  RecordingObserver observer2;
  observer2.onFrames = [&](int, std::int64_t, std::int64_t) { job2.Cancel(); };
  job2.RunBatch(single, OutputFormat::Wav, observer2);
  EXPECT_EQ(single[0].status, "c.wav");
  // That last block is not written: the file ends before it.
  EXPECT_EQ(fs::file_size(m_dir.File("c.wav")), 44u);
}

TEST_F(ConversionJobTest, ParallelBatchNamesFilesExactlyAsASequentialOne) {
  std::vector<std::string> sources;
  for (const char* name : {"a.aif", "a.aiff", "a.aifc", "b.aiff", "bad.aiff", "a.AIFF"}) {
    sources.push_back(std::string(name) == "bad.aiff" ? m_dir.Write(name, {0}) : WriteAiff(name, 3000));
  }
  auto run = [&](int jobs, const std::string& out) {
    ConverterSettings settings = m_settings;
    settings.DestOutputFolderOpt = kOutputFolderSpecified;
    settings.DestSpecifiedFolder = m_dir.File(out);
    std::vector<BatchItem> items = Items(sources);
    RecordingObserver observer;
    ConversionJob(settings, NoFallbacks()).RunBatch(items, OutputFormat::Wav, observer, jobs);
    std::vector<std::string> statuses;
    for (const auto& item : items) statuses.push_back(item.status);
    return statuses;
  };
  const auto sequential = run(1, "one");
  EXPECT_EQ(sequential, (std::vector<std::string>{"a.wav", "a_1.wav", "a_2.wav", "b.wav", "Conversion Failure", "a_3.wav"}));
  for (int attempt = 0; attempt < 5; ++attempt) {
    EXPECT_EQ(run(3, "three" + std::to_string(attempt)), sequential);
  }
  EXPECT_EQ(test::ReadFileBytes(m_dir.File("one/a_2.wav")), test::ReadFileBytes(m_dir.File("three0/a_2.wav")));
}

}  // namespace
}  // namespace velmora
