#include "filelist/add_candidates.h"

#include <QCoreApplication>
#include <algorithm>
#include <optional>
#include <thread>

#include "filelist/folder_tree.h"
#include "platform/folder_listing.h"

namespace velmora {
namespace {

// The summary names this many paths; the rest are summed up by one marker line.
constexpr std::size_t kListedFailures = 10;

// The summary is shown by the window, in the user's language where a translation is installed.
std::string Translated(const char* text) {
  return QCoreApplication::translate("velmora::FailureSummary", text).toStdString();
}

}  // namespace

std::vector<std::string> CollectDropCandidates(const std::vector<std::string>& dropped,
                                               const std::atomic<bool>* stop, int* skipped,
                                               std::vector<std::string>* roots) {
  std::vector<std::string> candidates;
  int notAiff = 0;
  for (const std::string& path : dropped) {
    if (stop && stop->load(std::memory_order_relaxed)) break;
    const auto type = GetEntryType(path);
    if (type == EntryType::Folder) {
      // The files dropped by themselves before it have no root; those found here have this one.
      if (roots) roots->resize(candidates.size(), std::string());
      CollectFolderTree(path, candidates, nullptr, stop);
      if (roots) roots->resize(candidates.size(), path);
    } else if (type == EntryType::Link) {
      const auto target = ResolveLinkChain(path);
      if (target && target->type == EntryType::File) {
        if (HasAiffExtension(target->path)) candidates.push_back(target->path);
        else ++notAiff;
      }
    } else if (HasAiffExtension(path)) {
      // Also when it has vanished since the drop: the run then reports it as not loaded.
      candidates.push_back(path);
    } else if (type == EntryType::File) {
      ++notAiff;
    }
  }
  if (skipped) *skipped = notAiff;
  if (roots) roots->resize(candidates.size(), std::string());
  return candidates;
}

std::string LoadFailureReason(AiffError error, const std::string& detail) {
  switch (error) {
    case AiffError::None:
    case AiffError::CannotOpen:
    case AiffError::NotRegularFile:
    case AiffError::CannotMap:
    case AiffError::TooLarge:
    case AiffError::SourceChanged: return Translated(QT_TRANSLATE_NOOP("velmora::FailureSummary", "cannot be read"));
    case AiffError::EmptyFile:
    case AiffError::TooShort:
    case AiffError::NotAiff: return Translated(QT_TRANSLATE_NOOP("velmora::FailureSummary", "not an AIFF file"));
    case AiffError::MissingComm:
    case AiffError::MissingSsnd:
    case AiffError::TruncatedComm:
    case AiffError::BadCommSize:
    case AiffError::BadSsnd:
      return Translated(QT_TRANSLATE_NOOP("velmora::FailureSummary", "damaged or truncated header"));
    case AiffError::BadChannelCount:
    case AiffError::BadSampleSize:
      return Translated(QT_TRANSLATE_NOOP("velmora::FailureSummary", "unsupported sample format"));
    case AiffError::UnsupportedCompression:
      return QCoreApplication::translate("velmora::FailureSummary", "unsupported compression '%1'")
          .arg(QString::fromStdString(detail))
          .toStdString();
  }
  return {};
}

std::string FailureSummary(const std::vector<LoadFailure>& failed, const std::string& supportAddress) {
  if (failed.empty()) return {};
  std::string text = Translated(QT_TRANSLATE_NOOP("velmora::FailureSummary", "Failed to load the following files."));
  text += "\n\n";
  const std::size_t listed = std::min(failed.size(), kListedFailures);
  for (std::size_t i = 0; i < listed; ++i) {
    text += failed[i].path + " (" + LoadFailureReason(failed[i].error, failed[i].detail) + ")\n";
  }
  if (failed.size() > kListedFailures) {
    text += Translated(QT_TRANSLATE_NOOP("velmora::FailureSummary", "<more files>...")) + '\n';
  }
  const QString help = QCoreApplication::translate("velmora::FailureSummary", "To get help, please contact <%1>.");
  return text + '\n' + help.arg(QString::fromStdString(supportAddress)).toStdString();
}

CandidateDescriber::CandidateDescriber(int workers, std::size_t maxBatch)
    : m_workers(std::max(workers, 1)), m_maxBatch(std::max<std::size_t>(maxBatch, 1)) {}

void CandidateDescriber::Cancel() {
  {
    // Under the lock, so that Run cannot miss the wake-up between its test and its wait.
    std::lock_guard lock(m_mutex);
    m_cancel.store(true);
  }
  m_ready.notify_all();
}

bool CandidateDescriber::Run(const std::vector<std::string>& candidates, const Deliver& deliver) {
  const std::size_t total = candidates.size();
  std::vector<std::optional<DescribedFile>> results(total);  // guarded by m_mutex
  std::size_t readyEnd = 0;  // results[0, readyEnd) are all in; guarded by m_mutex
  std::atomic<std::size_t> nextToTake{0};

  const auto work = [&] {
    while (!m_cancel.load()) {
      const std::size_t index = nextToTake.fetch_add(1);
      if (index >= total) return;
      DescribedFile file = DescribeFile(candidates[index]);
      bool advanced = false;
      {
        std::lock_guard lock(m_mutex);
        results[index] = std::move(file);
        while (readyEnd < total && results[readyEnd]) {
          ++readyEnd;
          advanced = true;
        }
      }
      if (advanced) m_ready.notify_all();
    }
  };

  std::size_t delivered = 0;
  {
    // Declared after the state the workers use, so they are joined before it goes.
    std::vector<std::jthread> workers;
    const auto count = std::min<std::size_t>(static_cast<std::size_t>(m_workers), total);
    for (std::size_t i = 0; i < count; ++i) workers.emplace_back(work);

    auto lastDelivery = std::chrono::steady_clock::now();
    while (delivered < total) {
      DescribedBatch batch{delivered, total, {}};
      {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [&] { return m_cancel.load() || readyEnd > delivered; });
        // Gather more while the interval lasts, unless a full batch or the rest is ready.
        m_ready.wait_until(lock, lastDelivery + kBatchInterval, [&] {
          return m_cancel.load() || readyEnd - delivered >= m_maxBatch || readyEnd == total;
        });
        if (m_cancel.load()) break;
        const std::size_t end = std::min(readyEnd, delivered + m_maxBatch);
        batch.files.reserve(end - delivered);
        for (std::size_t i = delivered; i < end; ++i) {
          batch.files.push_back(std::move(*results[i]));
          results[i].reset();
        }
      }
      delivered += batch.files.size();
      deliver(std::move(batch));
      lastDelivery = std::chrono::steady_clock::now();
    }
  }
  return delivered == total;
}

}  // namespace velmora
