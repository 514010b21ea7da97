#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "filelist/described_file.h"

namespace velmora {

// The candidates of a drop, in drop order. A folder is searched as by CollectFolderTree; a
// file is taken when its name has an AIFF extension; a link is followed to the end of its
// chain and its target taken when that is a file with an AIFF extension (a link to a folder,
// a dangling link and a loop add nothing). Repeats are left in: the list skips them. Touches
// only the file system, so it may run on a worker thread. Once `stop` (when given) is set, it
// returns what it has found so far. `skipped` (when given) counts the dropped files (or links
// to files) passed over for not having an AIFF name. `roots` (when given) receives one entry
// per candidate: the dropped folder it was found under, or "" for a file dropped by itself.
std::vector<std::string> CollectDropCandidates(const std::vector<std::string>& dropped,
                                               const std::atomic<bool>* stop = nullptr, int* skipped = nullptr,
                                               std::vector<std::string>* roots = nullptr);

// A candidate of an adding run that could not be loaded, and why.
struct LoadFailure {
  std::string path;
  AiffError error = AiffError::CannotOpen;
  std::string detail;  // the reader's: a compression code, a channel count
};

// The message after an adding run in which the `failed` files could not be loaded: at most ten
// of them, one a line with its reason, and a marker when there are more. Empty when nothing
// failed.
std::string FailureSummary(const std::vector<LoadFailure>& failed, const std::string& supportAddress);

// Why a file could not be loaded, in a few words for the summary ("not an AIFF file",
// "unsupported compression 'QDMC'").
std::string LoadFailureReason(AiffError error, const std::string& detail);

// Consecutive results of a describing run, in candidate order.
struct DescribedBatch {
  std::size_t first = 0;  // the candidate index of files[0]
  std::size_t total = 0;  // candidates in the run
  std::vector<DescribedFile> files;
};

// Opens the candidates of an adding run to describe them, several at once on worker threads,
// and hands the results back in candidate order. Run() blocks its caller (a thread of the
// window's, never the user-interface thread); the deliver callback is called on that thread
// and is expected to pass each batch on to the thread that owns the list. Batches come at most
// every kBatchInterval unless maxBatch results are ready sooner, so a fast run does not flood
// the user-interface thread. Cancel() may come from any thread at any time: once it has
// returned, no further batch is begun (one being delivered at that moment completes), and the
// workers stop after the file each has in hand. A describer serves one run: a cancelled one
// stays cancelled.
class CandidateDescriber {
 public:
  using Deliver = std::function<void(DescribedBatch&&)>;

  static constexpr int kDefaultWorkers = 4;
  static constexpr std::size_t kDefaultMaxBatch = 512;
  static constexpr std::chrono::milliseconds kBatchInterval{50};

  explicit CandidateDescriber(int workers = kDefaultWorkers, std::size_t maxBatch = kDefaultMaxBatch);
  CandidateDescriber(const CandidateDescriber&) = delete;
  CandidateDescriber& operator=(const CandidateDescriber&) = delete;

  // Describes every candidate; true when all were delivered, false after a Cancel.
  bool Run(const std::vector<std::string>& candidates, const Deliver& deliver);

  void Cancel();
  bool Cancelled() const { return m_cancel.load(); }

 private:
  int m_workers;
  std::size_t m_maxBatch;
  std::atomic<bool> m_cancel{false};
  std::mutex m_mutex;
  std::condition_variable m_ready;  // a result arrived, or Cancel
};

}  // namespace velmora
