#pragma once

#include <QItemSelectionModel>
#include <vector>

#include "filelist/file_list_model.h"

namespace velmora {

// The file list's selection, kept as a flag on each row of the FileListModel rather than as Qt's
// ranges. Qt tests a cell against every range of a selection when it paints it, and remaps each
// range when the rows are sorted, so a scattered selection of tens of thousands of runs made a
// sort or a repaint cost seconds; a flag costs one look. Qt's commands come in as they are
// (Clear, Select, Deselect, Toggle, and Current for a selection still being stretched by the
// mouse or Shift, which replaces the stretch before it) and always take whole rows.
//
// Qt's own readers (isSelected, selectedRows, hasSelection) and clearSelection() see only what
// is mirrored: read the selection with Selected() and SelectedRows(), clear it with
// DeselectAll(). The list must outlive its selection. While mirrored, Qt's ranges are kept as well, for assistive technology,
// which reads them.
class FileSelectionModel final : public QItemSelectionModel {
  Q_OBJECT

 public:
  explicit FileSelectionModel(FileListModel& model, QObject* parent = nullptr);

  using QItemSelectionModel::select;
  void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;
  // Clears the selection and the current index; Qt's reset() after a model reset comes here.
  void clear() override;

  bool Selected(int row) const;
  // Ascending.
  std::vector<int> SelectedRows() const;
  void DeselectAll();

  bool Mirrored() const { return m_mirrored; }
  // Turning it on sets Qt's ranges from the flags; off drops them (quietly: nothing a view
  // shows changes).
  void SetMirrored(bool mirrored);

 private:
  // Rows a Current command changed, with their flags before it, so that the next one can take
  // them back.
  struct Stretch {
    int first;
    int last;
    std::vector<bool> before;
  };

  void SetRow(int row, bool selected);
  void UndoStretch();
  void AnnounceChanges();

  FileListModel& m_model;
  std::vector<Stretch> m_stretch;
  bool m_mirrored = false;
  // The rows that changed one way during one command, first to last, for selectionChanged().
  struct ChangedRows {
    int first = 0;
    int last = -1;  // below `first` while none has
    void Add(int row);
  };
  ChangedRows m_selected;
  ChangedRows m_deselected;
};

}  // namespace velmora
