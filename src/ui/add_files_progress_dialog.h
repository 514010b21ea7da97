#pragma once

#include "ui/progress_dialog.h"

class QLabel;
class QProgressBar;

namespace velmora::ui {

// One line and one bar while files are searched for and added to the list. It stays where it
// was centred over its owner.
class CAddFilesProgressDlg final : public CProgressDlg {
  Q_OBJECT

 public:
  explicit CAddFilesProgressDlg(QWidget* owner);

  // "Searching AIFF files..." while the folder tree is walked; the bar stays empty.
  void ShowSearching();
  // "Adding AIFF file 3 of 10..." with the bar standing at 3 of 10.
  void ShowAdding(int number, int count);

 private:
  QLabel* m_line = nullptr;
  QProgressBar* m_bar = nullptr;
};

}  // namespace velmora::ui
