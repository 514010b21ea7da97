#pragma once

#include <QObject>
#include <memory>
#include <thread>
#include <vector>

#include "convert/conversion_job.h"

namespace velmora::ui {

// Runs one conversion batch on a thread of its own (which spreads the files over the cores) and
// hands every report to the user-interface thread as a signal, so the window stays responsive
// and its list is only ever touched from its own thread.
class BatchRunner final : public QObject {
  Q_OBJECT

 public:
  explicit BatchRunner(QObject* parent = nullptr);
  ~BatchRunner() override;  // cancels and waits for a running batch

  // Starts the batch; false when one is already running.
  bool Start(const ConverterSettings& settings, const OutputFolders& folders, std::vector<BatchItem> items,
             OutputFormat format, int jobs);
  // Asks the batch to stop: files in work are removed, finished ones stay. Safe at any time.
  void Cancel();
  bool Running() const { return m_job != nullptr; }

 signals:
  void BatchStarted(int fileCount);
  void FileStarted(int index);
  void FramesDone(int index, quint64 done, quint64 total);
  void FileFinished(int index, const velmora::FileReport& report);
  // The thread has ended; Running() is false from here on.
  void BatchFinished(bool cancelled);

 private:
  class Forwarder;
  void Finish();

  std::unique_ptr<ConversionJob> m_job;
  std::unique_ptr<Forwarder> m_forwarder;
  std::thread m_thread;
};

}  // namespace velmora::ui
