#include "filelist/file_selection_model.h"

#include <QSignalBlocker>
#include <algorithm>
#include <utility>

namespace velmora {
namespace {

// The rows a selection's ranges cover, as ascending runs that neither overlap nor touch. A range
// of any columns stands for its whole rows; rows the model does not have are left out.
std::vector<std::pair<int, int>> RowSpans(const QItemSelection& selection, int rowCount) {
  std::vector<std::pair<int, int>> spans;
  spans.reserve(static_cast<std::size_t>(selection.size()));
  for (const QItemSelectionRange& range : selection) {
    if (!range.isValid()) continue;
    const int first = std::max(range.top(), 0);
    const int last = std::min(range.bottom(), rowCount - 1);
    if (first <= last) spans.emplace_back(first, last);
  }
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<int, int>> merged;
  for (const auto& span : spans) {
    if (!merged.empty() && span.first <= merged.back().second + 1) {
      merged.back().second = std::max(merged.back().second, span.second);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

}  // namespace

FileSelectionModel::FileSelectionModel(FileListModel& model, QObject* parent)
    : QItemSelectionModel(&model, parent), m_model(model) {
  // A stretch is held by row numbers: once rows move or go, it stays as it stands.
  const auto settle = [this] { m_stretch.clear(); };
  connect(&model, &QAbstractItemModel::layoutAboutToBeChanged, this, settle);
  connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this, settle);
  connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, settle);
  connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, settle);
}

void FileSelectionModel::select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) {
  if (command == QItemSelectionModel::NoUpdate) return;
  const int rows = m_model.rowCount();
  if (command & QItemSelectionModel::Clear) {
    m_stretch.clear();
    for (int row = 0; row < rows; ++row) SetRow(row, false);
  } else if (command & QItemSelectionModel::Current) {
    UndoStretch();
  } else {
    m_stretch.clear();
  }

  const bool deselect = command & QItemSelectionModel::Deselect;
  const bool toggle = command & QItemSelectionModel::Toggle;
  if (deselect || toggle || (command & QItemSelectionModel::Select)) {
    for (const auto& [first, last] : RowSpans(selection, rows)) {
      if (command & QItemSelectionModel::Current) {
        Stretch& stretch = m_stretch.emplace_back(Stretch{first, last, {}});
        for (int row = first; row <= last; ++row) stretch.before.push_back(m_model.Selected(row));
      }
      for (int row = first; row <= last; ++row) SetRow(row, !deselect && (!toggle || !m_model.Selected(row)));
    }
  }

  if (m_mirrored) {
    // Qt's ranges take whole rows too, as the flags do, and Qt tells the views.
    QItemSelectionModel::select(selection, command | QItemSelectionModel::Rows);
    m_selected = m_deselected = {};
  } else {
    AnnounceChanges();
  }
}

void FileSelectionModel::clear() {
  DeselectAll();
  QItemSelectionModel::clear();
}

bool FileSelectionModel::Selected(int row) const {
  return row >= 0 && row < m_model.rowCount() && m_model.Selected(row);
}

std::vector<int> FileSelectionModel::SelectedRows() const { return m_model.SelectedRows(); }

void FileSelectionModel::DeselectAll() { select(QItemSelection(), QItemSelectionModel::Clear); }

void FileSelectionModel::SetMirrored(bool mirrored) {
  if (mirrored == m_mirrored) return;
  m_mirrored = mirrored;
  m_stretch.clear();
  QItemSelection ranges;
  if (mirrored) {
    const int lastColumn = m_model.columnCount() - 1;
    for (const auto& [first, last] : RowRuns(SelectedRows())) {
      ranges.append(QItemSelectionRange(m_model.index(first, 0), m_model.index(last, lastColumn)));
    }
  }
  const QSignalBlocker quiet(this);
  QItemSelectionModel::select(ranges, QItemSelectionModel::ClearAndSelect);
}

void FileSelectionModel::SetRow(int row, bool selected) {
  if (m_model.Selected(row) == selected) return;
  m_model.SetSelected(row, selected);
  (selected ? m_selected : m_deselected).Add(row);
}

void FileSelectionModel::ChangedRows::Add(int row) {
  if (first > last) {
    first = last = row;
  } else {
    first = std::min(first, row);
    last = std::max(last, row);
  }
}

void FileSelectionModel::UndoStretch() {
  for (const Stretch& stretch : m_stretch) {
    for (int row = stretch.first; row <= stretch.last; ++row) {
      SetRow(row, stretch.before[static_cast<std::size_t>(row - stretch.first)]);
    }
  }
  m_stretch.clear();
}

// A view needs only the region to repaint: each side is told as one range, from the first row
// that changed that way to the last.
void FileSelectionModel::AnnounceChanges() {
  const auto rows = [this](const ChangedRows& changed) {
    QItemSelection span;
    if (changed.first <= changed.last) {
      span.append(QItemSelectionRange(m_model.index(changed.first, 0),
                                      m_model.index(changed.last, m_model.columnCount() - 1)));
    }
    return span;
  };
  const QItemSelection selected = rows(m_selected);
  const QItemSelection deselected = rows(m_deselected);
  m_selected = m_deselected = {};
  if (!selected.isEmpty() || !deselected.isEmpty()) emit selectionChanged(selected, deselected);
}

}  // namespace velmora
