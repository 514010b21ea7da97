#include "ui/adding_run.h"

#include <QMetaObject>

#include "ui/add_files_progress_dialog.h"

namespace velmora::ui {

AddingRun::AddingRun(FileListModel& model, CAddFilesProgressDlg* dialog, QObject* parent)
    : QObject(parent), m_model(model), m_dialog(dialog) {
  if (m_dialog) connect(m_dialog, &CProgressDlg::cancelRequested, this, &AddingRun::Cancel);
}

AddingRun::~AddingRun() {
  Cancel();
  if (m_thread.joinable()) m_thread.join();
}

void AddingRun::Start(Collect collect) {
  if (m_dialog) m_dialog->ShowSearching();
  m_thread = std::thread([this, collect = std::move(collect)] {
    std::vector<std::string> roots;
    const std::vector<std::string> candidates = collect(m_stop, m_skipped, roots);
    // Each batch is handed to this object's thread; the model is only touched there.
    m_describer.Run(candidates, [this, &roots](DescribedBatch&& batch) {
      for (std::size_t i = 0; i < batch.files.size() && batch.first + i < roots.size(); ++i) {
        batch.files[i].root = roots[batch.first + i];
      }
      QMetaObject::invokeMethod(this, [this, batch = std::move(batch)] { Apply(batch); }, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(this, [this] { Finish(); }, Qt::QueuedConnection);
  });
}

void AddingRun::Cancel() {
  m_stop = true;
  m_describer.Cancel();
}

void AddingRun::Apply(const DescribedBatch& batch) {
  if (m_stop) return;
  const std::vector<AddOutcome> outcomes = m_model.AddDescribed(batch.files);
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    if (outcomes[i] == AddOutcome::Added) ++m_added;
    if (outcomes[i] == AddOutcome::Failed) {
      const DescribedFile& file = batch.files[i];
      m_failed.push_back({file.path, file.error, file.errorDetail});
    }
  }
  if (m_added > 0) emit RowsAdded(m_model.rowCount() - 1);
  if (m_dialog) {
    m_dialog->ShowAdding(static_cast<int>(batch.first + batch.files.size()), static_cast<int>(batch.total));
  }
}

void AddingRun::Finish() {
  if (m_thread.joinable()) m_thread.join();
  if (m_dialog) m_dialog->Finish();
  emit Finished();
}

}  // namespace velmora::ui
