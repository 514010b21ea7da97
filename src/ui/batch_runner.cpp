#include "ui/batch_runner.h"

#include <QMetaObject>

namespace velmora::ui {

// Receives the engine's reports on its threads and queues each one to the runner's thread.
class BatchRunner::Forwarder final : public BatchObserver {
 public:
  explicit Forwarder(BatchRunner* runner) : m_runner(runner) {}

  void BatchStarted(int fileCount, OutputFormat) override {
    Post([fileCount](BatchRunner* r) { emit r->BatchStarted(fileCount); });
  }
  void FileStarted(int index, const std::string&) override {
    Post([index](BatchRunner* r) { emit r->FileStarted(index); });
  }
  void FramesDone(int index, std::uint64_t done, std::uint64_t total) override {
    Post([=](BatchRunner* r) { emit r->FramesDone(index, done, total); });
  }
  void FileFinished(int index, const FileReport& report) override {
    Post([index, report](BatchRunner* r) { emit r->FileFinished(index, report); });
  }
  void BatchFinished() override {
    Post([](BatchRunner* r) { r->Finish(); });
  }

 private:
  template <typename Call>
  void Post(Call call) {
    QMetaObject::invokeMethod(m_runner, [runner = m_runner, call] { call(runner); }, Qt::QueuedConnection);
  }

  BatchRunner* m_runner;
};

BatchRunner::BatchRunner(QObject* parent) : QObject(parent) {}

BatchRunner::~BatchRunner() {
  Cancel();
  if (m_thread.joinable()) m_thread.join();
}

bool BatchRunner::Start(const ConverterSettings& settings, const OutputFolders& folders,
                        std::vector<BatchItem> items, OutputFormat format, int jobs) {
  if (m_job) return false;
  if (m_thread.joinable()) m_thread.join();
  m_job = std::make_unique<ConversionJob>(settings, folders);
  m_forwarder = std::make_unique<Forwarder>(this);
  m_thread = std::thread([job = m_job.get(), forwarder = m_forwarder.get(), items = std::move(items), format, jobs] {
    job->RunBatch(items, format, *forwarder, jobs);
  });
  return true;
}

void BatchRunner::Cancel() {
  if (m_job) m_job->Cancel();
}

void BatchRunner::Finish() {
  // The engine's last report has arrived: its thread is returning.
  if (m_thread.joinable()) m_thread.join();
  const bool cancelled = m_job && m_job->Cancelled();
  m_job.reset();
  m_forwarder.reset();
  emit BatchFinished(cancelled);
}

}  // namespace velmora::ui
