#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "convert/batch_observer.h"
#include "convert/output_paths.h"
#include "settings/converter_settings.h"

namespace velmora {

// Status texts of a batch.
inline constexpr const char* kStatusConverting = "Converting...";
inline constexpr const char* kStatusFailure = "Conversion Failure";
inline constexpr const char* kStatusCancelled = "Cancelled";

// Converts a list of sources to MP3 or WAV, several at once if asked. Output names are chosen
// and reserved in list order, so a batch names its files the same whatever the job count.
class ConversionJob {
 public:
  ConversionJob(const ConverterSettings& settings, OutputFolders folders);

  // Converts every item in order; `jobs` files at once (at least 1). Items after the one at
  // which a cancelled batch stopped keep their earlier status and output.
  void RunBatch(std::vector<BatchItem>& items, OutputFormat format, BatchObserver& observer, int jobs = 1);

  // Stops the batch: files in work are removed, finished ones stay. Safe from any thread and
  // from a signal handler.
  void Cancel() { m_cancel.store(true); }
  bool Cancelled() const { return m_cancel.load(); }

 private:
  struct Task;
  bool Prepare(BatchItem& item, OutputFormat format, Task& task);
  void Convert(int index, BatchItem& item, Task& task, BatchObserver& observer);
  void Finish(int index, BatchItem& item, FileOutcome outcome, const std::string& errorText,
              BatchObserver& observer);

  ConverterSettings m_settings;
  OutputFolders m_folders;
  std::atomic<bool> m_cancel{false};
};

}  // namespace velmora
