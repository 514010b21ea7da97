#include "support/batch_run.h"

#include <algorithm>
#include <mutex>

namespace velmora::test {
namespace {

struct Recorder final : BatchObserver {
  BatchRun run;
  std::mutex mutex;
  void BatchStarted(int, OutputFormat) override {}
  void MeasuringProgress(int done, int) override {
    std::lock_guard lock(mutex);
    run.measured.push_back(done);
  }
  void FileStarted(int, const std::string&) override {
    std::lock_guard lock(mutex);
    if (run.measured.empty()) run.measuredBeforeStart = false;
  }
  void FramesDone(int, std::uint64_t, std::uint64_t) override {}
  void FileFinished(int, const FileReport& report) override {
    std::lock_guard lock(mutex);
    run.reports.push_back(report);
  }
  void BatchFinished() override {}
};

}  // namespace

BatchRun RunBatch(const std::vector<std::string>& sources, OutputFormat format, const ConverterSettings& settings,
                  const WavTarget& target, int jobs) {
  ConversionOptions options = OptionsFromSettings(settings);
  options.wav.target = target;
  ConversionJob job(options, OutputFolders{});
  std::vector<BatchItem> items;
  for (const std::string& source : sources) items.push_back({source, {}});
  Recorder recorder;
  job.RunBatch(items, format, recorder, jobs);
  std::sort(recorder.run.reports.begin(), recorder.run.reports.end(),
            [](const FileReport& a, const FileReport& b) { return a.sourcePath < b.sourcePath; });
  return std::move(recorder.run);
}

}  // namespace velmora::test
