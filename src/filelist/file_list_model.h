#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "filelist/described_file.h"
#include "platform/output_file.h"

namespace velmora {

// An output written for an entry, as it was written.
struct WrittenOutput {
  std::string path;
  FileStamp stamp;
};

// One listed source file, described when it was added.
struct FileListEntry {
  std::uint64_t Id = 0;    // the entry's own number, never given to another entry of the list
  std::string SourcePath;  // exactly as it was given when added
  // The folder it was found under, as given, when it came from Add Folder or a dropped folder;
  // empty for a file added by itself. The name pattern's {path} starts there.
  std::string Root;
  std::int32_t Channels = 0;
  std::int32_t SampleRate = 0;  // never 0 in a listed entry: a rate of 0 is listed as 1
  std::uint64_t FrameCount = 0;
  std::string OutputPath;  // the output last written for this entry; empty when there is none
  // The last output of each kind (by file extension) written for this entry, so that converting
  // to a kind again replaces that kind's output, whatever was converted in between.
  std::vector<WrittenOutput> Outputs;

  // The last output written with this extension (".mp3"), if any.
  const WrittenOutput* OutputWithExtension(const std::string& extension) const;
};

enum class AddOutcome { Added, Duplicate, Failed };

// The list of source files of the main window: one row per file, in the order the rows were
// added or last sorted; five read-only columns. New rows go to the end, or once the list has
// been sorted, to their places in its sort order. Each entry has an id of its own, by which work that outlives a row number (a batch)
// finds its row again. Two paths name the same row when they name the same file (device and inode), else
// when their texts are equal; the list keeps an index of both, so adding costs O(log n). Removing
// rows leaves their index entries behind, to be told apart by their ids, so that removing many
// rows costs little; the index is pruned once the stale entries outnumber the listed ones.
//
// Qt's model contract applies: use it from the thread that owns it.
class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { NameColumn, DurationColumn, FrequencyColumn, ChannelsColumn, StatusColumn, kColumnCount };

  explicit FileListModel(QObject* parent = nullptr);

  // The initial width of a column in pixels, for the view. Alignment comes through
  // Qt::TextAlignmentRole of data() and headerData().
  static int ColumnWidth(int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  // Sorts by `column` in `order` and makes that the sort state; the selection and persistent
  // indexes (the current row) move with their rows. Names and statuses sort as texts in the
  // user's locale, case-sensitively; durations, rates and channel counts by their values (a
  // duration exactly, not to the second). Rows that compare equal keep their order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // Appends files described elsewhere (on a worker thread); the duplicate test is made here,
  // in order, so the second of two names for one file in `files` is Duplicate too, and a listed
  // path is Duplicate even if it no longer opens. A file that did not open as AIFF/AIFF-C is
  // Failed. All new rows are inserted at once. Returns one outcome per file.
  std::vector<AddOutcome> AddDescribed(std::span<const DescribedFile> files);

  // Removes the given rows (in any order; invalid and repeated indexes are ignored). Returns
  // how many were removed. Rows scattered over many separate runs go in one model reset, after
  // which a view has no selection and no current row; otherwise each run is removed as such.
  int RemoveRows(std::vector<int> rows);
  // Removes every row; false when the list was empty already.
  bool RemoveAll();

  // A click on a column header: ascending for a new column, otherwise the reverse of the
  // last order. Returns the order used, for the header's sort indicator.
  Qt::SortOrder SortByColumn(int column);

  const FileListEntry& Entry(int row) const { return m_rows.at(static_cast<std::size_t>(row)).entry; }
  // The row of the entry with this id; -1 once it has been removed.
  int RowOf(std::uint64_t id) const;
  QString Status(int row) const { return m_rows.at(static_cast<std::size_t>(row)).status; }
  // The row's whole outcome, a note a line; empty until a batch has finished with it.
  QString Details(int row) const { return m_rows.at(static_cast<std::size_t>(row)).details; }
  // The text shown in a cell.
  QString CellText(int row, int column) const;
  void SetStatus(int row, const QString& text, const QString& details = {});
  // The entry's newest output, written and published as `stamp` says; it takes the place of the
  // entry's earlier output of its kind. Without a stamp the output is shown but never replaced.
  void SetOutput(int row, const std::string& path, const std::optional<FileStamp>& stamp);

  // Whether a row is selected. The flag is kept with the row, so a sort or a removal carries the
  // selection along at no cost of its own; a view reaches it through FileSelectionModel. New
  // rows come unselected.
  bool Selected(int row) const { return m_rows.at(static_cast<std::size_t>(row)).selected; }
  void SetSelected(int row, bool selected) { m_rows.at(static_cast<std::size_t>(row)).selected = selected; }
  // The selected rows, ascending.
  std::vector<int> SelectedRows() const;

 private:
  struct Row {
    FileListEntry entry;
    QString status;
    QString details;
    std::optional<FileIdentity> identity;  // of the file when it was added
    bool selected = false;
  };

  bool PathListed(const std::string& path) const;
  bool Listed(const std::string& path, const std::optional<FileIdentity>& identity) const;
  void Index(const Row& row);
  void PruneIndex();
  std::vector<int> SortedOrder(int column, Qt::SortOrder order) const;
  std::function<bool(int, int)> SortsBefore() const;
  void PlaceInSortOrder(int firstNew);
  // Puts the rows in `sorted` order (the old row at each new place); the selection and the
  // persistent indexes move with their rows.
  void ApplyOrder(const std::vector<int>& sorted);
  void IndexRows();

  std::vector<Row> m_rows;
  std::uint64_t m_lastId = 0;
  std::unordered_map<std::uint64_t, int> m_rowOfId;
  // The id of the entry each path was last listed for; listed paths are long and share their
  // folders: hashed.
  std::unordered_map<std::string, std::uint64_t> m_idOfPath;
  // The path each file identity was last listed under.
  std::map<FileIdentity, std::string> m_pathOfFile;
  int m_sortColumn = -1;
  Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// Ascending rows as runs of adjacent rows: the first and last row of each.
std::vector<std::pair<int, int>> RowRuns(const std::vector<int>& ascendingRows);

// Column texts: "mm:ss" with minutes of any length; "44100 Hz"; "Mono", "Stereo" or the count.
QString DurationText(std::uint64_t frames, std::int32_t sampleRate);
QString FrequencyText(std::int32_t sampleRate);
QString ChannelsText(std::int32_t channels);

}  // namespace velmora
