#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "convert/batch_observer.h"

namespace velmora::cli {

// Reports a batch on the terminal: one line per file on stdout, in list order whatever order
// the files finish in, and (unless quiet or not a terminal) a progress bar on stderr.
class TerminalObserver final : public BatchObserver {
 public:
  TerminalObserver(std::FILE* out, std::FILE* progress, bool showProgress);

  void BatchStarted(int fileCount, OutputFormat format) override;
  void FileStarted(int index, const BatchItem& item) override;
  void FramesDone(int index, std::int64_t framesDone, std::int64_t totalFrames) override;
  void FileFinished(int index, const BatchItem& item, FileResult result) override;
  void BatchFinished() override;

  int Converted() const { return m_converted; }
  int Failed() const { return m_failed; }

 private:
  struct FileState {
    std::int64_t done = 0, total = 0;
    bool active = false;
    bool finished = false;
    std::string line;
  };
  void PrintFinishedInOrder();
  void DrawBar(bool force);
  void ClearBar();

  std::mutex m_mutex;
  std::FILE* m_out;
  std::FILE* m_progress;
  bool m_showProgress;
  std::vector<FileState> m_files;
  std::size_t m_nextToPrint = 0;
  int m_converted = 0, m_failed = 0, m_finished = 0;
  bool m_barShown = false;
  std::chrono::steady_clock::time_point m_lastDraw;
};

}  // namespace velmora::cli
