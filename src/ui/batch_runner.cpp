#include "ui/batch_runner.h"

#include <algorithm>
#include <mutex>

namespace velmora::ui {
namespace {

constexpr std::uint64_t kFullPercent = 100;

}  // namespace

// Gathers the engine's reports from its threads until the runner takes them.
class BatchRunner::Collector final : public BatchObserver {
 public:
  void BatchStarted(int, OutputFormat) override {}
  void MeasuringProgress(int measured, int total) override {
    std::lock_guard lock(m_mutex);
    m_news.measured = {measured, total};
  }
  void FramesMeasured(int index, std::uint64_t done, std::uint64_t) override {
    std::lock_guard lock(m_mutex);
    m_news.framesMeasured[index] = done;
  }
  void FileStarted(int index, const std::string&) override {
    std::lock_guard lock(m_mutex);
    m_news.started.push_back(index);
  }
  void FramesDone(int index, std::uint64_t done, std::uint64_t total) override {
    const std::uint64_t percent = total == 0 ? kFullPercent : std::min(done * kFullPercent / total, kFullPercent);
    std::lock_guard lock(m_mutex);
    m_news.percent[index] = static_cast<int>(percent);
    m_news.frames[index] = done;
  }
  void FileFinished(int index, const FileReport& report) override {
    std::lock_guard lock(m_mutex);
    m_news.finished.emplace_back(index, report);
  }
  void BatchFinished() override {
    std::lock_guard lock(m_mutex);
    m_over = true;
  }

  // Hands over what has come since the last call; true once the batch is over.
  bool Take(BatchNews& news) {
    std::lock_guard lock(m_mutex);
    news = std::exchange(m_news, {});
    return m_over;
  }

 private:
  std::mutex m_mutex;
  BatchNews m_news;
  bool m_over = false;
};

BatchRunner::BatchRunner(QObject* parent) : QObject(parent) {
  m_timer.setInterval(kReportInterval);
  connect(&m_timer, &QTimer::timeout, this, &BatchRunner::Deliver);
}

BatchRunner::~BatchRunner() {
  Cancel();
  if (m_thread.joinable()) m_thread.join();
}

bool BatchRunner::Start(const ConverterSettings& settings, const OutputFolders& folders,
                        std::vector<BatchItem> items, OutputFormat format, int jobs) {
  if (m_job) return false;
  m_job = std::make_unique<ConversionJob>(OptionsFromSettings(settings), folders);
  m_collector = std::make_unique<Collector>();
  m_thread = std::thread([job = m_job.get(), collector = m_collector.get(), items = std::move(items), format, jobs] {
    job->RunBatch(items, format, *collector, jobs);
  });
  m_timer.start();
  return true;
}

void BatchRunner::Cancel() {
  if (m_job) m_job->Cancel();
}

void BatchRunner::Deliver() {
  BatchNews news;
  const bool over = m_collector->Take(news);
  if (news.measured || !news.framesMeasured.empty() || !news.started.empty() || !news.percent.empty() ||
      !news.finished.empty()) {
    emit News(news);
  }
  if (!over) return;
  // The engine's last report has come: its thread is returning.
  m_timer.stop();
  if (m_thread.joinable()) m_thread.join();
  const bool cancelled = m_job->Cancelled();
  m_job.reset();
  m_collector.reset();
  emit BatchFinished(cancelled);
}

}  // namespace velmora::ui
