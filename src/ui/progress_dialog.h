#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QProgressBar;
class QVBoxLayout;

namespace velmora::ui {

// What both progress dialogs share: a frameless, modeless window over its owner with a Cancel
// button that only records the request. The running operation writes the texts and bars, reads
// Cancelled() between its steps and calls Finish() when it is done; the dialog then closes and
// deletes itself, so the operation must not touch it afterwards (hold it in a QPointer).
//
// The dialog lives on the user-interface thread. An operation that runs elsewhere forwards its
// progress to it through queued calls and learns of a cancel request from cancelRequested().
class CProgressDlg : public QDialog {
  Q_OBJECT

 public:
  bool Cancelled() const { return m_cancelled; }

  // The operation is over: close the window and delete the object.
  void Finish();

 signals:
  // Emitted once, on the first request (Cancel button or a close request from the desktop).
  void cancelRequested();

 protected:
  explicit CProgressDlg(QWidget* owner);

  // A line of text as wide as the dialog, and a slim bar without a text, both added to the
  // column above the Cancel button.
  QLabel* AddLine(const QString& objectName);
  QProgressBar* AddBar(const QString& objectName, const QString& accessibleName);
  // Puts the bar at value of maximum, both brought into a range the bar can show.
  static void SetBar(QProgressBar& bar, int value, int maximum);
  // `text` with `name` put in place of %1, the name shortened in its middle where the whole
  // line would not fit the dialog's width.
  QString WithElidedName(const QString& text, const QString& name) const;

  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void RequestCancel();

  QVBoxLayout* m_body = nullptr;
  QPushButton* m_cancel = nullptr;
  bool m_cancelled = false;
  bool m_finishing = false;
};

}  // namespace velmora::ui
