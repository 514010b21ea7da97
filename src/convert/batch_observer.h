#pragma once

#include <cstdint>
#include <string>

#include "convert/file_conversion.h"
#include "convert/output_paths.h"

namespace velmora {

// One file of a batch: the source, the output it was converted to (kept between batches so
// that converting the entry again replaces that output), and its status text.
struct BatchItem {
  std::string sourcePath;
  std::string outputPath;
  std::string status;
  std::string reason;  // why it failed, when known
};

// How the batch engine reports to its front end (the progress dialog, the command line).
// With more than one job the per-file calls come from worker threads, several at once, so an
// observer must be thread-safe; calls for one file come in order from one thread at a time.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;
  virtual void BatchStarted(int fileCount, OutputFormat format) = 0;
  virtual void FileStarted(int index, const BatchItem& item) = 0;
  // After every block: source frames done so far of `totalFrames`.
  virtual void FramesDone(int index, std::int64_t framesDone, std::int64_t totalFrames) = 0;
  virtual void FileFinished(int index, const BatchItem& item, FileResult result) = 0;
  virtual void BatchFinished() = 0;
};

}  // namespace velmora
