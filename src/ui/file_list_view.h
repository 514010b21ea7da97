#pragma once

#include <QAccessible>
#include <QPersistentModelIndex>
#include <QTableView>
#include <vector>

namespace velmora {
class FileListModel;
class FileSelectionModel;
}

namespace velmora::ui {

// The window's list of files. Tab and Shift+Tab leave it (the arrows move within it); the
// context menu is asked for by the mouse, the Menu key or Shift+F10, and a keyboard request
// places it at the current row. A Status cell's tooltip gives the whole text and, once the
// file is converted, the whole output path. Assistive tools can press a column header to sort.
// The selection is a flag per row (see FileSelectionModel), painted by the view's delegate, so
// that the list commands and painting keep to a cost that follows the rows, not the rows times
// the ranges of a scattered selection. Qt's ranges are kept as well while assistive technology
// is active, which reads them.
class FileListView final : public QTableView, private QAccessible::ActivationObserver {
  Q_OBJECT

 public:
  FileListView(FileListModel& model, QWidget* parent);
  ~FileListView() override;

  // The status text and output path a Status cell's tooltip shows for `row`.
  QString StatusToolTip(int row) const;

  // The selected rows, ascending.
  std::vector<int> SelectedRows() const;
  // Not QAbstractItemView::clearSelection(), which clears only Qt's ranges.
  void DeselectAll();
  // Sorts as a click on the column's header does (see FileListModel::SortByColumn); the selected
  // rows stay selected and the current row stays current and in view.
  Qt::SortOrder SortByColumn(int column);
  // Removes the selected rows and returns how many went. The current row stays current; when it
  // was removed, the next row that stays takes its place (the last row when none follows).
  int RemoveSelected();

 signals:
  void MenuRequested(const QPoint& globalPosition);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;

 private:
  void accessibilityActiveChanged(bool active) override;
  QPoint KeyboardMenuPosition();

  FileListModel& m_model;
  FileSelectionModel* m_selection;
  // The row a mouse button went down on, and whether a Ctrl+drag from it selects or deselects.
  mutable QPersistentModelIndex m_pressed;
  mutable QItemSelectionModel::SelectionFlags m_ctrlDrag = QItemSelectionModel::NoUpdate;
};

}  // namespace velmora::ui
