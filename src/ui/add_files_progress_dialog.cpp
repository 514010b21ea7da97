#include "ui/add_files_progress_dialog.h"

#include <QLabel>
#include <QProgressBar>

#include "ui/about/help_window.h"

namespace velmora::ui {

CAddFilesProgressDlg::CAddFilesProgressDlg(QWidget* owner) : CProgressDlg(owner) {
  setObjectName(QStringLiteral("addFilesProgressDialog"));
  setAccessibleName(tr("Adding files"));
  AddHelpKey(this, [] { return QStringLiteral("adding-files.html"); });
  m_line = AddLine(QStringLiteral("addFilesLine"));
  m_bar = AddBar(QStringLiteral("addFilesBar"), tr("Files added"));
  ShowSearching();
}

void CAddFilesProgressDlg::ShowSearching() {
  m_line->setText(tr("Searching AIFF files..."));
  m_bar->setValue(0);
}

void CAddFilesProgressDlg::ShowAdding(int number, int count) {
  m_line->setText(tr("Adding AIFF file %1 of %2...").arg(number).arg(count));
  SetBar(*m_bar, number, count);
}

}  // namespace velmora::ui
