#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "convert/batch_observer.h"
#include "convert/companion_files.h"
#include "convert/file_conversion.h"
#include "convert/loudness_plan.h"
#include "convert/output_paths.h"
#include "settings/conversion_options.h"

namespace velmora {

// Converts a list of sources to MP3 or WAV, several at once if asked. Output names are chosen
// and reserved in list order, so a batch names its files the same whatever the job count.
// Each output is written under a temporary name and takes its final name when complete. With
// the companions option on, each published output takes its source folder's covers and notes
// along into its own folder (see convert/companion_files.h).
//
// One job object runs one batch: create it, optionally set the options below, call RunBatch
// once. Results reach the caller only through the observer.
class ConversionJob {
 public:
  // Progress reports of a batch are at least this far apart (the last of a file excepted).
  static constexpr std::chrono::milliseconds kProgressInterval{40};

  ConversionJob(const ConversionOptions& options, OutputFolders folders);

  // Skips a source whose own output name already exists: the k-th source of the list that
  // maps to a name owns its k-th numbered form (name, name_1, ...), and is written there or at
  // the next free number after it.
  void SetSkipExisting(bool skip) { m_skipExisting = skip; }

  // A test seam: called with an output's temporary path after it is written and closed and
  // before it is read back (with the verify option on), to damage it as a disk might.
  void SetBeforeVerify(std::function<void(const std::string& temporaryPath)> hook) { m_beforeVerify = std::move(hook); }

  // Converts every item in order, `jobs` files at once (at least 1). After a Cancel, files in
  // work are removed, finished ones stay, and later items are not reported. Returns false
  // without doing anything when this job has already run a batch.
  bool RunBatch(const std::vector<BatchItem>& items, OutputFormat format, BatchObserver& observer, int jobs = 1);

  // Stops the batch. Safe from any thread and from a signal handler.
  void Cancel() { m_cancel.store(true); }
  bool Cancelled() const { return m_cancel.load(); }

 private:
  struct Task;
  bool Prepare(const BatchItem& item, OutputFormat format, Task& task, FileOutcome& failure);
  void Convert(Task& task, BatchObserver& observer);
  void Verify(Task& task, FileOutcome& outcome);
  void Finish(int index, FileReport report, BatchObserver& observer);
  bool ProgressDue();
  void MeasureLoudness(const std::vector<BatchItem>& items, OutputFormat format, BatchObserver& observer, int jobs);

  ConversionOptions m_options;
  OutputFolders m_folders;
  bool m_namesUseTags = false;  // the name pattern reads the source's tags
  bool m_skipExisting = false;
  bool m_ran = false;
  std::function<void(const std::string&)> m_beforeVerify;
  std::atomic<bool> m_cancel{false};
  std::atomic<std::int64_t> m_lastProgress{0};  // steady-clock ticks of the last report
  std::vector<std::string> m_createdFolders;    // written by the dispatching thread only
  std::map<std::string, int> m_nameUses;        // sources so far per first output name; ditto
  std::vector<LoudnessPlan> m_loudness;         // per item, from the measuring pass; empty with loudness off
  CompanionCopier m_companions;
};

}  // namespace velmora
