#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "convert/conversion_job.h"

namespace velmora::ui {

// What a batch did since the window last looked. A file's start comes before its progress and
// its outcome, whether they arrive together or apart.
struct BatchNews {
  std::vector<int> started;                          // batch indexes put into work, in order
  std::map<int, int> percent;                        // the latest percent of files in work
  std::map<int, std::uint64_t> frames;               // and the latest source frames they have done
  std::vector<std::pair<int, FileReport>> finished;  // outcomes, in the order they came
  std::optional<std::pair<int, int>> measured;        // the loudness pass: sources measured of all
  std::map<int, std::uint64_t> framesMeasured;        // and the latest source frames measured, by file
};

// Runs one conversion batch on a thread of its own (which spreads the files over the cores).
// The engine's reports are gathered as they come and handed to the user-interface thread in
// one group at most every kReportInterval, so that a batch of thousands of short files cannot
// flood the window with work; the list is only ever touched from its own thread.
class BatchRunner final : public QObject {
  Q_OBJECT

 public:
  // A few dozen updates a second: smooth to the eye, cheap beside the encoders.
  static constexpr std::chrono::milliseconds kReportInterval{40};

  explicit BatchRunner(QObject* parent = nullptr);
  ~BatchRunner() override;  // cancels and waits for a running batch

  // Starts the batch; false when one is already running.
  bool Start(const ConverterSettings& settings, const OutputFolders& folders, std::vector<BatchItem> items,
             OutputFormat format, int jobs);
  // Asks the batch to stop at once (the workers read the flag after every block): files in
  // work are removed, finished ones stay. Safe at any time.
  void Cancel();

 signals:
  void News(const velmora::ui::BatchNews& news);
  // The thread has ended; the last news came before this.
  void BatchFinished(bool cancelled);

 private:
  class Collector;
  void Deliver();

  std::unique_ptr<ConversionJob> m_job;
  std::unique_ptr<Collector> m_collector;
  std::thread m_thread;
  QTimer m_timer;
};

}  // namespace velmora::ui
