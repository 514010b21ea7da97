#include "filelist/add_candidates.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <thread>

#include "filelist/file_list_model.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;

std::string WriteAiff(const test::TempDir& dir, const std::string& name, std::uint32_t frames = 100) {
  test::AiffBuilder builder;
  builder.frames = frames;
  return dir.Write(name, builder.Build());
}

// One adding run as the window makes it: describe, append each batch, collect the failures.
struct RunResult {
  bool complete = false;
  std::vector<AddOutcome> outcomes;
  std::vector<LoadFailure> failed;
};

RunResult AddAll(FileListModel& model, const Paths& candidates, int workers = 2) {
  RunResult result;
  CandidateDescriber describer(workers);
  result.complete = describer.Run(candidates, [&](DescribedBatch&& batch) {
    const std::vector<AddOutcome> outcomes = model.AddDescribed(batch.files);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
      const DescribedFile& file = batch.files[i];
      if (outcomes[i] == AddOutcome::Failed) result.failed.push_back({file.path, file.error, file.errorDetail});
    }
    result.outcomes.insert(result.outcomes.end(), outcomes.begin(), outcomes.end());
  });
  return result;
}

TEST(CandidateTest, DropTakesFilesFoldersAndLinksToAiffFiles) {
  test::TempDir dir;
  const std::string song = WriteAiff(dir, "files/song.aif");
  const std::string loud = WriteAiff(dir, "files/LOUD.AIFF");
  const std::string wav = dir.Write("files/clip.wav", {0});
  const std::string data = dir.Write("files/data.bin", {0});
  const std::string inFolder = WriteAiff(dir, "folder/in.aifc");
  const std::string deeper = WriteAiff(dir, "folder/sub/deeper.afc");
  fs::create_symlink(song, dir.File("to-song"));
  fs::create_symlink("to-song", dir.File("to-to-song"));  // a chain ends at the file
  fs::create_symlink(data, dir.File("named.aiff"));        // the target's name counts
  fs::create_symlink(dir.File("folder"), dir.File("to-folder"));
  fs::create_symlink("loop-b", dir.File("loop-a"));
  fs::create_symlink("loop-a", dir.File("loop-b"));
  fs::create_symlink(dir.File("gone.aif"), dir.File("dangling.aif"));

  const Paths dropped = {dir.File("to-to-song"), loud,          wav,
                         dir.File("folder"),     dir.File("named.aiff"), dir.File("to-folder"),
                         dir.File("loop-a"),     dir.File("dangling.aif"), dir.File("vanished.aif"),
                         song,                   data};
  int skipped = 0;
  EXPECT_EQ(CollectDropCandidates(dropped, nullptr, &skipped),
            (Paths{song, loud, inFolder, deeper, dir.File("vanished.aif"), song}));
  // The files without an AIFF name are counted, for the window to say so: clip.wav, data.bin
  // and the link to it.
  EXPECT_EQ(skipped, 3);
  EXPECT_EQ(CollectDropCandidates({}), Paths{});
}

TEST(CandidateTest, RepeatedDropsAddEachFileOnce) {
  test::TempDir dir;
  const std::string a = WriteAiff(dir, "music/a.aif");
  const std::string b = WriteAiff(dir, "music/b.aiff");
  FileListModel model;

  // A file dropped together with its folder.
  RunResult first = AddAll(model, CollectDropCandidates({a, dir.File("music")}));
  EXPECT_TRUE(first.complete);
  EXPECT_EQ(first.outcomes, (std::vector{AddOutcome::Added, AddOutcome::Duplicate, AddOutcome::Added}));
  EXPECT_EQ(model.rowCount(), 2);

  // The same folder again, through a link to the file in between: nothing new, nothing failed.
  fs::create_symlink(b, dir.File("b-link"));
  RunResult second = AddAll(model, CollectDropCandidates({dir.File("music"), dir.File("b-link"),
                                                          dir.File("music/")}));
  EXPECT_EQ(second.outcomes, std::vector<AddOutcome>(5, AddOutcome::Duplicate));
  EXPECT_EQ(FailureSummary(second.failed, "help@example.org"), "");
  EXPECT_EQ(model.rowCount(), 2);
}

TEST(CandidateTest, DescriberDeliversInCandidateOrder) {
  test::TempDir dir;
  Paths candidates;
  std::vector<bool> readable;
  for (int i = 0; i < 240; ++i) {
    const std::string name = "f" + std::to_string(i) + ".aif";
    switch (i % 3) {
      case 0: candidates.push_back(WriteAiff(dir, name, static_cast<std::uint32_t>(i))); break;
      case 1: candidates.push_back(dir.Write(name, {'b', 'a', 'd'})); break;
      default: candidates.push_back(dir.File(name)); break;  // missing
    }
    readable.push_back(i % 3 == 0);
  }

  for (int workers : {1, 4, 16}) {
    CandidateDescriber describer(workers, 7);
    std::vector<DescribedFile> results;
    const bool complete = describer.Run(candidates, [&](DescribedBatch&& batch) {
      EXPECT_EQ(batch.first, results.size());
      EXPECT_EQ(batch.total, candidates.size());
      EXPECT_FALSE(batch.files.empty());
      EXPECT_LE(batch.files.size(), 7u);
      for (DescribedFile& file : batch.files) results.push_back(std::move(file));
    });
    EXPECT_TRUE(complete);
    ASSERT_EQ(results.size(), candidates.size()) << workers;
    for (std::size_t i = 0; i < results.size(); ++i) {
      EXPECT_EQ(results[i].path, candidates[i]) << workers;
      EXPECT_EQ(results[i].readable, readable[i]) << candidates[i];
      if (readable[i]) {
        EXPECT_EQ(results[i].info.frames, i);
      }
    }
  }
  EXPECT_TRUE(CandidateDescriber().Run({}, [](DescribedBatch&&) { ADD_FAILURE() << "nothing to deliver"; }));
}

TEST(CandidateTest, CancelKeepsTheRowsAddedSoFar) {
  test::TempDir dir;
  Paths candidates;
  for (int i = 0; i < 50; ++i) candidates.push_back(WriteAiff(dir, "c" + std::to_string(i) + ".aif"));

  // Cancelled by the window while it applies the fifth batch.
  FileListModel model;
  CandidateDescriber describer(3, 1);
  int batches = 0;
  EXPECT_FALSE(describer.Run(candidates, [&](DescribedBatch&& batch) {
    model.AddDescribed(batch.files);
    if (++batches == 5) describer.Cancel();
  }));
  EXPECT_EQ(batches, 5);
  ASSERT_EQ(model.rowCount(), 5);
  for (int row = 0; row < 5; ++row) EXPECT_EQ(model.Entry(row).SourcePath, candidates[row]);
  // A cancelled describer stays cancelled.
  EXPECT_FALSE(describer.Run(candidates, [](DescribedBatch&&) { ADD_FAILURE() << "delivered after Cancel"; }));

  // Cancelled from another thread, the way the progress dialog's button does it, while the
  // run's thread is handing over its first batch.
  CandidateDescriber threaded(4, 2);
  std::promise<void> firstBatch;
  std::promise<void> cancelled;
  std::vector<DescribedBatch> received;
  std::thread runner([&] {
    const bool complete = threaded.Run(candidates, [&](DescribedBatch&& batch) {
      received.push_back(std::move(batch));
      if (received.size() == 1) {
        firstBatch.set_value();
        cancelled.get_future().wait();
      }
    });
    EXPECT_FALSE(complete);
  });
  firstBatch.get_future().wait();
  threaded.Cancel();
  cancelled.set_value();
  runner.join();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].first, 0u);
  EXPECT_EQ(received[0].files.front().path, candidates[0]);
}

// The summary names each file with its reason, ten at most.
TEST(CandidateTest, FailureSummaryListsTenFilesWithTheirReasonsThenAMarker) {
  test::TempDir dir;
  test::AiffBuilder qdmc;
  qdmc.aifc = true;
  qdmc.compression = "QDMC";
  test::AiffBuilder truncated;
  auto header = truncated.Build();
  header.resize(30);  // the COMM chunk runs past the end
  Paths candidates = {WriteAiff(dir, "good.aif"), dir.Write("compressed.aifc", qdmc.Build()),
                      dir.Write("truncated.aif", header), dir.File("missing.aif")};
  for (int i = 0; i < 8; ++i) candidates.push_back(dir.Write("bad" + std::to_string(i) + ".aif", {'x'}));
  const std::string head = "Failed to load the following files.\n\n";
  const std::string tail = "\nTo get help, please contact <help@example.org>.";
  std::string ten = dir.File("compressed.aifc") + " (unsupported compression 'QDMC')\n" +
                    dir.File("truncated.aif") + " (damaged or truncated header)\n" + dir.File("missing.aif") +
                    " (cannot be read)\n";
  for (int i = 0; i < 7; ++i) ten += dir.File("bad" + std::to_string(i) + ".aif") + " (not an AIFF file)\n";

  FileListModel model;
  const RunResult eleven = AddAll(model, candidates, 3);
  ASSERT_EQ(eleven.failed.size(), 11u);
  EXPECT_EQ(FailureSummary(eleven.failed, "help@example.org"), head + ten + "<more files>...\n" + tail);

  const std::vector<LoadFailure> exactlyTen(eleven.failed.begin(), eleven.failed.begin() + 10);
  EXPECT_EQ(FailureSummary(exactlyTen, "help@example.org"), head + ten + tail);
  EXPECT_EQ(FailureSummary({}, "help@example.org"), "");
  EXPECT_EQ(model.rowCount(), 1);
}

}  // namespace
}  // namespace velmora
