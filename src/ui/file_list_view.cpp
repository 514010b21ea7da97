#include "ui/file_list_view.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

#include "filelist/file_list_model.h"
#include "filelist/file_selection_model.h"
#include "ui/file_list_accessible.h"

namespace velmora::ui {
namespace {

// Paints a row as selected when its flag says so; the view itself asks only Qt's ranges.
class SelectedRowDelegate final : public QStyledItemDelegate {
 public:
  SelectedRowDelegate(const FileListModel& model, QObject* parent) : QStyledItemDelegate(parent), m_model(model) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem shown(option);
    if (index.isValid() && m_model.Selected(index.row())) shown.state |= QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, shown, index);
  }

 private:
  const FileListModel& m_model;
};

}  // namespace

FileListView::FileListView(FileListModel& model, QWidget* parent) : QTableView(parent), m_model(model) {
  MakeHeadersPressable(*this);
  setModel(&m_model);
  QItemSelectionModel* plain = selectionModel();
  m_selection = new FileSelectionModel(m_model, this);
  setSelectionModel(m_selection);
  delete plain;
  setItemDelegate(new SelectedRowDelegate(m_model, this));
  m_selection->SetMirrored(QAccessible::isActive());
  QAccessible::installActivationObserver(this);
  // The list paints every pixel of what it shows itself: a changed cell then costs Qt no repaint
  // of the window beneath it, and scrolling by a row moves the pixels and paints the one row.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  // A table moves between its cells with Tab by default, which traps the keyboard in the list.
  setTabKeyNavigation(false);
}

FileListView::~FileListView() { QAccessible::removeActivationObserver(this); }

void FileListView::accessibilityActiveChanged(bool active) { m_selection->SetMirrored(active); }

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

std::vector<int> FileListView::SelectedRows() const { return m_selection->SelectedRows(); }

void FileListView::DeselectAll() { m_selection->DeselectAll(); }

Qt::SortOrder FileListView::SortByColumn(int column) {
  // The flags move with the rows. Qt's ranges, kept for assistive technology, would be remapped
  // a persistent index at a time: they are dropped for the sort and set afresh after it.
  const bool mirrored = m_selection->Mirrored();
  m_selection->SetMirrored(false);
  const Qt::SortOrder order = m_model.SortByColumn(column);
  m_selection->SetMirrored(mirrored);
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

// Qt's commands for the mouse and Ctrl ask its own ranges whether a row is selected; these ask
// the flags. A press on a selected row keeps the selection (for the context menu, or a click
// that ends as the release); Ctrl toggles by the row pressed first.
QItemSelectionModel::SelectionFlags FileListView::selectionCommand(const QModelIndex& index, const QEvent* event) const {
  QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
  const bool selected = m_selection->Selected(index.row());
  const bool press = event && event->type() == QEvent::MouseButtonPress;
  const bool release = event && event->type() == QEvent::MouseButtonRelease;
  if (selectionMode() == ExtendedSelection && (press || release)) {
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    const bool plain = !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    if (press) {
      m_pressed = index;
      m_ctrlDrag = selected ? QItemSelectionModel::Deselect : QItemSelectionModel::Select;
      if (plain && selected) return QItemSelectionModel::NoUpdate;
    } else if (plain && selected && index == m_pressed && state() != DragSelectingState &&
               mouse->button() != Qt::RightButton) {
      return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
  }
  if (command & QItemSelectionModel::Toggle) {
    command &= ~QItemSelectionModel::Toggle;
    if (event && event->type() == QEvent::MouseMove) {
      command |= m_ctrlDrag;
    } else {
      command |= selected ? QItemSelectionModel::Deselect : QItemSelectionModel::Select;
    }
  }
  return command;
}

void FileListView::paintEvent(QPaintEvent* event) {
  QPainter(viewport()).fillRect(event->rect(), viewport()->palette().brush(QPalette::Base));
  QTableView::paintEvent(event);
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
