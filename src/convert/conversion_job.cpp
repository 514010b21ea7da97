#include "convert/conversion_job.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "audio/aiff_reader.h"
#include "platform/file_system.h"

namespace velmora {

// A file ready to convert: its source open, its output name reserved.
struct ConversionJob::Task {
  int index = 0;
  OutputFormat format = OutputFormat::Wav;
  std::unique_ptr<AiffReader> reader;
  OutputTarget place;
};

ConversionJob::ConversionJob(const ConverterSettings& settings, OutputFolders folders)
    : m_settings(settings), m_folders(std::move(folders)) {}

void ConversionJob::Finish(int index, BatchItem& item, FileOutcome outcome, const std::string& errorText,
                           BatchObserver& observer) {
  if (outcome.result == FileResult::Converted) {
    item.status = FileNamePart(item.outputPath);
    item.reason.clear();
  } else {
    item.outputPath.clear();
    // Once the user cancelled, a file that did not finish counts as cancelled, whatever else
    // went wrong with it.
    if (Cancelled()) outcome.result = FileResult::Cancelled;
    item.status = outcome.result == FileResult::Cancelled ? kStatusCancelled : errorText;
    item.reason = outcome.result == FileResult::Cancelled ? std::string() : outcome.reason;
  }
  observer.FileFinished(index, item, outcome.result);
}

// Opens the source and reserves the output name. The source is opened first so that a file
// that cannot be read never takes a name another file would have had.
bool ConversionJob::Prepare(BatchItem& item, OutputFormat format, Task& task) {
  // Converting an entry again replaces its earlier output instead of numbering a new one.
  if (!item.outputPath.empty() && item.outputPath != item.sourcePath) RemoveFile(item.outputPath);
  item.outputPath.clear();
  task.reader = std::make_unique<AiffReader>();
  if (!task.reader->Open(item.sourcePath)) {
    item.status = kStatusFailure;
    item.reason = task.reader->ErrorText();
    return false;
  }
  std::string errorText;
  if (!MakeOutputPath(item.sourcePath, format, m_settings, m_folders, task.place, errorText)) {
    item.status = errorText;
    item.reason.clear();
    return false;
  }
  item.outputPath = task.place.path;
  return true;
}

void ConversionJob::Convert(int index, BatchItem& item, Task& task, BatchObserver& observer) {
  const std::int64_t total = task.reader->Info().frames;
  FileContext context;
  context.cancel = &m_cancel;
  context.progress = [&](std::int64_t done) { observer.FramesDone(index, done, total); };
  FileOutcome outcome =
      task.format == OutputFormat::Mp3
          ? ConvertFileToMp3(*task.reader, item.sourcePath, std::move(task.place.file), m_settings, context)
          : ConvertFileToWav(*task.reader, std::move(task.place.file), m_settings, context);
  task.reader.reset();
  // A converted file must exist with something in it.
  if (outcome.result == FileResult::Converted && GetFileSize(item.outputPath).value_or(0) == 0) {
    outcome = {FileResult::Failed, "output is empty"};
  }
  Finish(index, item, std::move(outcome), kStatusFailure, observer);
}

void ConversionJob::RunBatch(std::vector<BatchItem>& items, OutputFormat format, BatchObserver& observer,
                             int jobs) {
  const int count = static_cast<int>(items.size());
  observer.BatchStarted(count, format);
  if (jobs < 1) jobs = 1;

  // Workers take prepared tasks in list order; the dispatcher below prepares the next task only
  // when a worker is free, so names are reserved in list order and never far ahead.
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Task> queue;
  int busy = 0;
  bool closing = false;
  std::vector<std::thread> workers;
  if (jobs > 1) {
    for (int w = 0; w < jobs; ++w) {
      workers.emplace_back([&] {
        while (true) {
          Task task;
          {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return closing || !queue.empty(); });
            if (queue.empty()) return;
            task = std::move(queue.front());
            queue.pop_front();
          }
          Convert(task.index, items[static_cast<std::size_t>(task.index)], task, observer);
          {
            std::lock_guard lock(mutex);
            --busy;
          }
          changed.notify_all();
        }
      });
    }
  }

  for (int i = 0; i < count && !Cancelled(); ++i) {
    if (jobs > 1) {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return busy < jobs || Cancelled(); });
    }
    if (Cancelled()) break;
    BatchItem& item = items[static_cast<std::size_t>(i)];
    item.status = kStatusConverting;
    item.reason.clear();
    observer.FileStarted(i, item);
    Task task;
    task.index = i;
    task.format = format;
    if (!Prepare(item, format, task)) {
      Finish(i, item, {FileResult::Failed, item.reason}, item.status, observer);
      continue;
    }
    if (jobs == 1) {
      Convert(i, item, task, observer);
      continue;
    }
    {
      std::lock_guard lock(mutex);
      ++busy;
      queue.push_back(std::move(task));
    }
    changed.notify_all();
  }

  {
    std::lock_guard lock(mutex);
    closing = true;
  }
  changed.notify_all();
  for (auto& worker : workers) worker.join();
  observer.BatchFinished();
}

}  // namespace velmora
