#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "convert/batch_observer.h"

namespace velmora::cli {

// The report of --report: one JSON object a line (JSON Lines) for every source of the batch, as
// its outcome is known, with the fields `source`, `output`, `format`, `outcome`, `reason`,
// `notes`, `loudness`, `duration_s` and `seconds`. Each line reaches the descriptor whole, in one
// write, so a run that is killed leaves a report that is valid to its last line. Sources that a
// cancelled batch never reached get a `cancelled` line when the batch ends, so every source has
// exactly one line. Names that are not valid UTF-8 are written with U+FFFD for each byte that
// does not fit, and their bytes as hexadecimal in `source_hex` or `output_hex`.
// Every call is passed on to `next` (the terminal's lines and progress bar).
class ReportObserver final : public BatchObserver {
 public:
  // `sources` are the batch's sources in order; they must outlive the batch. `fd` is open for
  // writing (appending, for a file) and stays the caller's.
  ReportObserver(BatchObserver& next, int fd, const std::vector<BatchItem>& sources);

  void BatchStarted(int fileCount, OutputFormat format) override;
  void MeasuringProgress(int measured, int total) override;
  void FramesMeasured(int index, std::uint64_t framesDone, std::uint64_t totalFrames) override;
  void FileStarted(int index, const std::string& sourcePath) override;
  void FramesDone(int index, std::uint64_t framesDone, std::uint64_t totalFrames) override;
  void FileFinished(int index, const FileReport& report) override;
  void BatchFinished() override;

  // The errno of the first line that could not be written; 0 when every line was.
  int Error() const { return m_error; }

 private:
  void Write(const std::string& line);

  BatchObserver& m_next;
  int m_fd;
  const std::vector<BatchItem>& m_sources;
  OutputFormat m_format = OutputFormat::Mp3;
  std::mutex m_mutex;
  std::vector<std::chrono::steady_clock::time_point> m_started;
  std::vector<bool> m_reported;
  int m_error = 0;
};

}  // namespace velmora::cli
