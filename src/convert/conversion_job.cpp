#include "convert/conversion_job.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "audio/aiff_reader.h"
#include "convert/loudness_pass.h"
#include "convert/output_format.h"
#include "convert/name_pattern.h"
#include "platform/file_system.h"

namespace velmora {

// A file ready to convert: its source open, its output name reserved.
struct ConversionJob::Task {
  int index = 0;
  std::string sourcePath;
  OutputFormat format = OutputFormat::Wav;
  std::unique_ptr<AiffReader> reader;
  OutputTarget target;
  std::optional<EarlierOutput> earlier;
  const LoudnessPlan* loudness = nullptr;
};

ConversionJob::ConversionJob(const ConversionOptions& options, OutputFolders folders)
    : m_options(options),
      m_folders(std::move(folders)),
      m_namesUseTags(NamePatternOrDefault(options.output.namePattern).UsesTags()) {}

void ConversionJob::Finish(int index, FileReport report, BatchObserver& observer) {
  // Once the user cancelled, a file that did not finish counts as cancelled, whatever else
  // went wrong with it.
  if (Cancelled() && report.outcome.result == FileResult::Failed) report.outcome = FileOutcome::Cancelled();
  if (report.outcome.result != FileResult::Converted) {
    report.outputPath.clear();
    report.outputStamp.reset();
  }
  observer.FileFinished(index, report);
}

bool ConversionJob::ProgressDue() {
  const std::int64_t now = std::chrono::steady_clock::now().time_since_epoch().count();
  std::int64_t last = m_lastProgress.load(std::memory_order_relaxed);
  const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(kProgressInterval).count();
  return now - last >= interval && m_lastProgress.compare_exchange_strong(last, now, std::memory_order_relaxed);
}

// Opens the source and reserves the output name. The source is opened first so that a file
// that cannot be read never takes a name another file would have had; with --skip-existing and
// a name from the file name alone, the name is looked at first so that a resumed run does not
// open the sources it skips.
bool ConversionJob::Prepare(const BatchItem& item, OutputFormat format, Task& task, FileOutcome& failure) {
  auto open = [&] {
    task.reader = std::make_unique<AiffReader>();
    if (task.reader->Open(item.sourcePath)) return true;
    failure = FileOutcome::Unreadable(task.reader->Error(), task.reader->ErrorDetail());
    return false;
  };
  // A name is made of texts only: this reading leaves the pictures to the conversion's.
  std::optional<SourceTags> tags;
  if (m_namesUseTags) {
    if (!open()) return false;
    tags = task.reader->Tags({false, &m_cancel});
    if (Cancelled()) {
      failure = FileOutcome::Cancelled();
      return false;
    }
  }
  const SourceTags* namingTags = tags ? &*tags : nullptr;
  int firstNumber = 0;
  if (m_skipExisting) {
    const auto place =
        ChooseOutputPlace(item.sourcePath, m_options.output, m_folders, m_createdFolders, failure, namingTags, item.root);
    if (!place) return false;
    // The k-th source of the list that maps to a name owns the k-th numbered form of it, so a
    // run over the same list again skips exactly the sources whose own output exists.
    const std::string base = place->folder + place->stem;
    firstNumber = m_nameUses[OutputName(base, format, 0)]++;
    const std::string own = OutputName(base, format, firstNumber);
    // Only a finished file counts as done: a folder or a dangling link of the name is not one.
    if (IsRegularFile(own)) {
      failure = {FileResult::Skipped, FileReason::OutputExists, 0, own};
      // What an interrupted run left uncopied goes along now.
      if (m_options.output.copyCompanions) {
        failure.companions = m_companions.CopyBeside(item.sourcePath, own, &m_cancel);
      }
      return false;
    }
  }
  if (!task.reader && !open()) return false;
  return MakeOutputPath(item.sourcePath, format, m_options.output, m_folders, task.target, m_createdFolders, failure,
                        firstNumber, namingTags, item.root);
}

void ConversionJob::Convert(Task& task, BatchObserver& observer) {
  const std::uint64_t total = task.reader->Info().frames;
  const int index = task.index;
  FileContext context;
  context.cancel = &m_cancel;
  context.loudness = task.loudness;
  context.progress = [&](std::uint64_t done) {
    if (ProgressDue()) observer.FramesDone(index, done, total);
  };
  OutputFile& output = task.target.File();
  FileOutcome outcome;
  // A file that cannot get its memory (metadata too large for what is left, say) fails alone:
  // its partial output is discarded below and the batch goes on.
  try {
    outcome = FormatInfo(task.format).convert(*task.reader, task.sourcePath, output, m_options, context);
  } catch (const std::bad_alloc&) {
    outcome = FileOutcome::Failure(FileReason::OutOfMemory);
  }
  task.reader.reset();
  // A conversion that measured its own output has told its loudness already.
  if (task.loudness && outcome.result == FileResult::Converted && outcome.loudness.kind == LoudnessNote::Kind::None) {
    outcome.loudness = task.loudness->note;
  }
  if (outcome.result == FileResult::Converted && m_options.output.verify) Verify(task, outcome);
  int error = 0;
  if (outcome.result == FileResult::Converted) {
    if (task.target.Publish(error, task.earlier ? &*task.earlier : nullptr)) {
      observer.FramesDone(index, outcome.framesRead, total);
      // A companion that cannot be copied is noted on the file's line; the file stays converted.
      if (m_options.output.copyCompanions) {
        outcome.companions = m_companions.CopyBeside(task.sourcePath, task.target.Path(), &m_cancel);
      }
    } else {
      outcome = FileOutcome::Failure(FileReason::WriteFailed, {}, error);
    }
  }
  const std::optional<FileStamp> stamp = output.Stamp();
  output.Discard();  // nothing once published; the partial file otherwise
  Finish(index, {task.sourcePath, task.target.Path(), std::move(outcome), stamp}, observer);
}

// Reads a converted output back before it takes its name: a file that does not hold what was
// written fails (`outcome` becomes the failure), and a Cancel during the reading ends it as
// cancelled. A format without a read-back is a fault of the format table, and never passes
// unread.
void ConversionJob::Verify(Task& task, FileOutcome& outcome) {
  const auto verify = FormatInfo(task.format).verify;
  if (!verify) {
    outcome = FileOutcome::Failure(FileReason::VerificationFailed, "the format cannot be read back");
    return;
  }
  const std::string& path = task.target.File().TemporaryPath();
  if (m_beforeVerify) m_beforeVerify(path);
  FileOutcome checked;
  try {
    checked = verify(path, outcome.written, m_options, &m_cancel);
  } catch (const std::bad_alloc&) {
    checked = FileOutcome::Failure(FileReason::OutOfMemory);
  }
  if (checked.result != FileResult::Converted) outcome = std::move(checked);
}

// Measures every source as its conversion will hand it on, `jobs` at once, then plans each
// file's gain or ReplayGain; in album mode the files of one source folder are summed up as one
// programme. A source that cannot be measured gets no plan of its own: its conversion fails or
// goes on as without loudness. A finished meter keeps only its gating blocks and peaks, 8 bytes
// for each 100 ms of sound, so an album's files can wait for each other cheaply.
void ConversionJob::MeasureLoudness(const std::vector<BatchItem>& items, OutputFormat format, BatchObserver& observer,
                                    int jobs) {
  const int count = static_cast<int>(items.size());
  const bool album = m_options.loudness.album;
  const OutputFormatInfo& kind = FormatInfo(format);
  // ReplayGain describes what a player decodes: a lossy output is encoded and decoded to be
  // measured.
  const bool decode = kind.measureDecoded && m_options.loudness.mode == LoudnessMode::ReplayGain;
  std::vector<LoudnessMeter> meters(items.size());
  std::vector<char> measured(items.size(), 0);
  std::vector<int> unmeasurableRate(items.size(), 0);
  std::atomic<int> next{0};
  std::atomic<int> done{0};
  observer.MeasuringProgress(0, count);
  // Without room for the scratch MP3 (a full temporary folder), what the encoder is handed is
  // the next best measure.
  const auto MeasureWhatIsEncoded = [&](AiffReader& reader, const std::string& path, LoudnessMeter& meter,
                                        const FileContext& context) {
    return !Cancelled() && reader.Open(path) && MeasureConverted(reader, format, m_options, meter, context);
  };
  auto work = [&] {
    AiffReader reader;
    for (int i = next++; i < count && !Cancelled(); i = next++) {
      const auto at = static_cast<std::size_t>(i);
      std::uint64_t total = 0;
      FileContext context;
      context.cancel = &m_cancel;
      context.progress = [&](std::uint64_t framesDone) {
        if (ProgressDue()) observer.FramesMeasured(i, framesDone, total);
      };
      // A file that cannot get the memory to be measured goes unmeasured; its conversion will
      // tell whether it fails.
      try {
        if (reader.Open(items[at].sourcePath)) {
          // An output is measured at its own rate, which for WAV may be any.
          const SourceInfo& info = reader.Info();
          total = info.frames;
          int rate = 0;
          if (kind.keepsSource(m_options)) rate = info.sampleRate;
          else if (const auto out = kind.handedOn(info, m_options)) rate = out->sampleRate;
          if (rate > 0 && !LoudnessMeter::MeasurableRate(rate)) {
            unmeasurableRate[at] = rate;
          } else if (decode ? kind.measureDecoded(reader, items[at].sourcePath, m_options, meters[at], context) ||
                                     MeasureWhatIsEncoded(reader, items[at].sourcePath, meters[at], context)
                               : MeasureConverted(reader, format, m_options, meters[at], context)) {
            meters[at].Finish();
            measured[at] = 1;
          }
        }
      } catch (const std::bad_alloc&) {
        measured[at] = 0;
      }
      if (!measured[at]) meters[at] = LoudnessMeter();
      reader.Close();
      observer.FramesMeasured(i, total, total);
      observer.MeasuringProgress(++done, count);
    }
  };
  std::vector<std::thread> workers;
  for (int w = 1; w < std::min(jobs, count); ++w) workers.emplace_back(work);
  work();
  for (auto& worker : workers) worker.join();
  if (Cancelled()) return;

  // An album is a folder, however its files' paths spell it.
  std::vector<std::string> albumOf(items.size());
  std::map<std::string, std::vector<const LoudnessMeter*>> albums;
  for (std::size_t i = 0; i < items.size() && album; ++i) {
    if (!measured[i]) continue;
    albumOf[i] = FolderIdentity(items[i].sourcePath);
    albums[albumOf[i]].push_back(&meters[i]);
  }

  LoudnessChoice choice;
  choice.mode = m_options.loudness.mode;
  choice.target = m_options.loudness.target;
  choice.ceiling = m_options.loudness.ceiling;
  choice.album = album;
  // The decoded output carries the gain coefficient already.
  if (!decode) choice.gainCoefficient = kind.gain(m_options);
  m_loudness.assign(items.size(), {});
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (unmeasurableRate[i]) {
      m_loudness[i].note = {LoudnessNote::Kind::NotMeasuredAtRate, static_cast<double>(unmeasurableRate[i]), 0, 0};
      continue;
    }
    if (!measured[i]) continue;
    const auto found = albums.find(albumOf[i]);
    m_loudness[i] = PlanLoudness(choice, meters[i], found != albums.end() ? &found->second : nullptr);
  }
}

bool ConversionJob::RunBatch(const std::vector<BatchItem>& items, OutputFormat format, BatchObserver& observer,
                             int jobs) {
  if (m_ran) return false;
  m_ran = true;
  const int count = static_cast<int>(items.size());
  observer.BatchStarted(count, format);
  if (jobs < 1) jobs = 1;
  if (m_options.loudness.mode != LoudnessMode::Off) MeasureLoudness(items, format, observer, jobs);

  // Workers take prepared tasks in list order; the dispatcher below keeps one task prepared
  // beyond what the workers hold, so names are reserved in list order and never far ahead, and a
  // worker done with a short file need not wait for the next one to be opened and named.
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
          Convert(task, observer);
          task = Task();  // releases the name reservation before the next file is named
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
      changed.wait(lock, [&] { return busy <= jobs || Cancelled(); });
    }
    if (Cancelled()) break;
    const BatchItem& item = items[static_cast<std::size_t>(i)];
    observer.FileStarted(i, item.sourcePath);
    Task task;
    task.index = i;
    task.sourcePath = item.sourcePath;
    task.format = format;
    task.earlier = item.earlier;
    if (!m_loudness.empty()) task.loudness = &m_loudness[static_cast<std::size_t>(i)];
    FileOutcome failure;
    bool prepared = false;
    try {
      prepared = Prepare(item, format, task, failure);
    } catch (const std::bad_alloc&) {
      task = Task();  // the reader and the name it may hold go first, to give the memory back
      failure = FileOutcome::Failure(FileReason::OutOfMemory);
    }
    if (!prepared) {
      Finish(i, {item.sourcePath, {}, std::move(failure), {}}, observer);
      continue;
    }
    if (jobs == 1) {
      Convert(task, observer);
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
  RemoveEmptyFolders(m_createdFolders);
  observer.BatchFinished();
  return true;
}

}  // namespace velmora
