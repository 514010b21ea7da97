#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "filelist/add_candidates.h"
#include "filelist/file_list_model.h"

namespace velmora::ui {

class CAddFilesProgressDlg;

// One run of adding files to the list: the candidates are gathered (a folder searched, a drop
// sorted out) and described on a thread of their own, and the rows are appended on the
// user-interface thread in candidate order, behind a progress dialog whose Cancel stops the run
// with the rows added so far kept: the search and the describing stop within moments, and so
// does the thread a destroyed run waits for. Ends with Finished(); the failure summary is the
// caller's.
class AddingRun final : public QObject {
  Q_OBJECT

 public:
  // Gathers the candidates, counting in `skipped` what was given but is not for the list, and
  // filling `roots` with the folder each was found under ("" for a file by itself; left empty
  // when none was); expected to return early once `stop` is set.
  using Collect = std::function<std::vector<std::string>(const std::atomic<bool>& stop, int& skipped,
                                                         std::vector<std::string>& roots)>;

  // `dialog` shows the run; the run finishes it.
  AddingRun(FileListModel& model, CAddFilesProgressDlg* dialog, QObject* parent = nullptr);
  ~AddingRun() override;  // cancels and waits for the thread

  // Starts gathering with `collect` (on the run's thread), then describes what it found.
  void Start(Collect collect);
  void Cancel();

  // The candidates that could not be loaded, in candidate order.
  const std::vector<LoadFailure>& Failed() const { return m_failed; }
  int Added() const { return m_added; }
  // What the gathering left out as not for the list (a dropped text file); read once finished.
  int Skipped() const { return m_skipped; }

 signals:
  // Rows were appended; `lastRow` is the newest.
  void RowsAdded(int lastRow);
  void Finished();

 private:
  void Apply(const DescribedBatch& batch);
  void Finish();

  FileListModel& m_model;
  QPointer<CAddFilesProgressDlg> m_dialog;
  CandidateDescriber m_describer;
  std::thread m_thread;
  std::vector<LoadFailure> m_failed;
  int m_added = 0;
  int m_skipped = 0;  // written by the run's thread before it ends
  // Set by Cancel; the search reads it, and batches still queued when it came are dropped.
  std::atomic<bool> m_stop{false};
};

}  // namespace velmora::ui
