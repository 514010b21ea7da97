#pragma once

#include <QTableView>

namespace velmora {
class FileListModel;
}

namespace velmora::ui {

// The window's list of files. Tab and Shift+Tab leave it (the arrows move within it); the
// context menu is asked for by the mouse, the Menu key or Shift+F10, and a keyboard request
// places it at the current row. A Status cell's tooltip gives the whole text and, once the
// file is converted, the whole output path. Assistive tools can press a column header to sort.
class FileListView final : public QTableView {
  Q_OBJECT

 public:
  FileListView(FileListModel& model, QWidget* parent);

  // The status text and output path a Status cell's tooltip shows for `row`.
  QString StatusToolTip(int row) const;

 signals:
  void MenuRequested(const QPoint& globalPosition);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  QPoint KeyboardMenuPosition();

  FileListModel& m_model;
};

}  // namespace velmora::ui
