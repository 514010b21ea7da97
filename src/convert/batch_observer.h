#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "convert/file_outcome.h"
#include "convert/output_paths.h"

namespace velmora {

// One file of a batch: the source, the folder the user gave that it was found under (its
// root, as given; empty for a file given by itself), which the name pattern's {path} is taken
// from, and the output an earlier conversion of the same entry made. The new output takes that name when the earlier file is still as it was written and of
// the same format (see OutputTarget::Publish); the earlier file is otherwise never touched.
struct BatchItem {
  BatchItem(std::string source, std::optional<EarlierOutput> earlierOutput = std::nullopt, std::string rootFolder = {})
      : sourcePath(std::move(source)), earlier(std::move(earlierOutput)), root(std::move(rootFolder)) {}

  std::string sourcePath;
  std::optional<EarlierOutput> earlier;
  std::string root;
};

// What became of one file.
struct FileReport {
  std::string sourcePath;
  std::string outputPath;  // the finished output; empty when there is none
  FileOutcome outcome;
  std::optional<FileStamp> outputStamp;  // of the finished output
};

// How the batch engine reports to its front end (the progress dialog, the command line); the
// engine's only way of handing out results. BatchStarted, FileStarted and BatchFinished come
// from the thread that runs the batch; with more than one job FramesDone and FileFinished come
// from worker threads, several at once, so an observer must be thread-safe. Calls for one file
// come in order from one thread at a time.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;
  virtual void BatchStarted(int fileCount, OutputFormat format) = 0;
  // With loudness on, every source is measured before any is converted (and before
  // FileStarted of the first): `measured` of `total` sources so far, 0 first. From any
  // thread, like FramesDone.
  virtual void MeasuringProgress(int /*measured*/, int /*total*/) {}
  // Source frames of file `index` measured so far, spaced out as FramesDone; the last report of
  // each file comes before its MeasuringProgress and says it whole, measured or not.
  virtual void FramesMeasured(int /*index*/, std::uint64_t /*framesDone*/, std::uint64_t /*totalFrames*/) {}
  virtual void FileStarted(int index, const std::string& sourcePath) = 0;
  // Source frames done so far of `totalFrames` (the header's count). Reports are spaced out to
  // a few dozen a second per batch; the last one of each converted file always comes.
  virtual void FramesDone(int index, std::uint64_t framesDone, std::uint64_t totalFrames) = 0;
  virtual void FileFinished(int index, const FileReport& report) = 0;
  virtual void BatchFinished() = 0;
};

}  // namespace velmora
