#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "cli/terminal_text.h"
#include "convert/batch_observer.h"
#include "convert/progress_estimate.h"

namespace velmora::cli {

// Reports a batch on the terminal: one line per file, in list order whatever order the files
// finish in; results ("SOURCE -> OUTPUT", "SOURCE: skipped (OUTPUT exists)") on `out`, failures,
// short conversions and conversions without their gapless frame on `err`, escaped where the stream is a terminal; and (unless quiet or
// not a terminal) a progress bar on `err`, cleared before any line is printed. Given each
// source's seconds of sound (in batch order), the bar also tells the time elapsed, the time left
// and the speed; the sound may also come once the batch runs (SetSoundSeconds).
class TerminalObserver final : public BatchObserver {
 public:
  TerminalObserver(const Streams& streams, bool showProgress, std::vector<double> soundSeconds = {});

  // Each source's seconds of sound (in batch order), known only now: files finished before
  // count as they would have. Safe from any thread.
  void SetSoundSeconds(std::vector<double> soundSeconds);

  void BatchStarted(int fileCount, OutputFormat format) override;
  void MeasuringProgress(int measured, int total) override;
  void FileStarted(int index, const std::string& sourcePath) override;
  void FramesDone(int index, std::uint64_t framesDone, std::uint64_t totalFrames) override;
  void FileFinished(int index, const FileReport& report) override;
  void BatchFinished() override;

  // Files that failed, were cancelled or came out short.
  int Problems() const { return m_problems; }

 private:
  struct FileState {
    std::uint64_t done = 0, total = 0;
    bool active = false;
    bool finished = false;
    bool problem = false;
    bool note = false;  // converted, with something the user asked for left out
    bool converted = false;
    std::string line;  // until it is printed
  };
  void PrintFinishedInOrder();
  void DrawBar(bool force);
  void ClearBar();

  std::mutex m_mutex;
  Streams m_streams;
  std::FILE* m_out;
  std::FILE* m_err;
  bool m_showProgress;
  std::vector<FileState> m_files;
  std::size_t m_nextToPrint = 0;  // files before it are finished and printed
  std::size_t m_started = 0;      // files from it on have not started
  int m_problems = 0, m_finished = 0;
  bool m_barShown = false;
  std::chrono::steady_clock::time_point m_lastDraw;
  // The sound of the batch: each file's seconds, the whole (files that needed no work leave it)
  // and the files converted so far.
  std::vector<double> m_sounds;
  double m_soundTotal = 0;
  double m_soundFinished = 0;
  std::chrono::steady_clock::time_point m_start;
  ProgressEstimate m_estimate;
};

}  // namespace velmora::cli
