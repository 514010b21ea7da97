#include "ui/file_list_view.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>
#include <mutex>

#include "filelist/file_list_model.h"
#include "ui/file_list_accessible.h"

namespace velmora::ui {

FileListView::FileListView(FileListModel& model, QWidget* parent) : QTableView(parent), m_model(model) {
  // Before the model can announce the list to assistive technology, which would make and keep
  // a plain table's interface for it.
  static std::once_flag factoryInstalled;
  std::call_once(factoryInstalled, [] { QAccessible::installFactory(FileListAccessibleFactory); });
  setModel(&m_model);
  // A table moves between its cells with Tab by default, which traps the keyboard in the list.
  setTabKeyNavigation(false);
}

QString FileListView::StatusToolTip(int row) const {
  if (row < 0 || row >= m_model.rowCount()) return {};
  QString text = m_model.Status(row);
  const std::string& output = m_model.Entry(row).OutputPath;
  if (!output.empty()) {
    if (!text.isEmpty()) text += u'\n';
    text += QString::fromStdString(output);
  }
  return text;
}

std::vector<int> FileListView::SelectedRows() const { return velmora::SelectedRows(selectionModel()->selection()); }

Qt::SortOrder FileListView::SortByColumn(int column) {
  std::vector<std::uint64_t> selectedIds;
  for (int row : SelectedRows()) selectedIds.push_back(m_model.Entry(row).Id);
  // Left in place, the selection would be carried through the sort by a persistent index per
  // selected row, remapped along with its ranges' own; with a scattered selection of many
  // thousand rows it costs less to drop it and set it afresh as runs of adjacent rows. The
  // current row is one persistent index and moves with its file.
  {
    // The view repaints after the sort in any case; told of the deselection first, it would
    // work out the region of every range.
    const QSignalBlocker quiet(selectionModel());
    selectionModel()->clearSelection();
  }
  const Qt::SortOrder order = m_model.SortByColumn(column);
  std::vector<int> rows;
  rows.reserve(selectedIds.size());
  for (std::uint64_t id : selectedIds) rows.push_back(m_model.RowOf(id));
  std::sort(rows.begin(), rows.end());
  SelectRows(rows);
  if (currentIndex().isValid()) scrollTo(currentIndex());
  return order;
}

int FileListView::RemoveSelected() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return 0;
  const auto removed = [&rows](int row) { return std::binary_search(rows.begin(), rows.end(), row); };
  int next = currentIndex().row();
  if (next >= 0 && removed(next)) {
    const int current = next;
    while (next < m_model.rowCount() && removed(next)) ++next;
    if (next == m_model.rowCount()) {
      next = current;
      while (next >= 0 && removed(next)) --next;
    }
  }
  const std::uint64_t nextId = next >= 0 ? m_model.Entry(next).Id : 0;
  // Many scattered rows go in one model reset, which also drops the selection at once.
  const int count = m_model.RemoveRows(rows);
  if (next >= 0) {
    const QModelIndex index = m_model.index(m_model.RowOf(nextId), 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
  }
  return count;
}

void FileListView::SelectRows(const std::vector<int>& ascendingRows) {
  QItemSelection selection;
  for (const auto& [first, last] : RowRuns(ascendingRows)) {
    selection.append(QItemSelectionRange(m_model.index(first, 0), m_model.index(last, FileListModel::kColumnCount - 1)));
  }
  selectionModel()->select(selection, QItemSelectionModel::Select);
}

void FileListView::keyPressEvent(QKeyEvent* event) {
  const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
  const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (menuKey || shiftF10) {
    emit MenuRequested(KeyboardMenuPosition());
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void FileListView::contextMenuEvent(QContextMenuEvent* event) {
  emit MenuRequested(event->reason() == QContextMenuEvent::Keyboard ? KeyboardMenuPosition() : event->globalPos());
  event->accept();
}

bool FileListView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && index.column() == FileListModel::StatusColumn) {
      QToolTip::showText(help->globalPos(), StatusToolTip(index.row()), viewport(), visualRect(index));
      return true;
    }
  }
  return QTableView::viewportEvent(event);
}

// Beside the start of the current row, or the list's centre when there is no current row.
QPoint FileListView::KeyboardMenuPosition() {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return mapToGlobal(rect().center());
  scrollTo(current);
  const QRect row = visualRect(m_model.index(current.row(), 0));
  return viewport()->mapToGlobal(QPoint(row.left() + row.height(), row.center().y()));
}

}  // namespace velmora::ui
