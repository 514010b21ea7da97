#include "ui/file_list_view.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
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
