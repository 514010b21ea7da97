#include "filelist/file_list_model.h"

#include <QCollator>
#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <utility>
#include <numeric>

#include "platform/file_system.h"

namespace velmora {
namespace {

struct ColumnInfo {
  const char* header;
  int width;
  Qt::Alignment alignment;
};

constexpr std::array<ColumnInfo, FileListModel::kColumnCount> kColumns = {{
    {"AIFF", 170, Qt::AlignLeft},
    {QT_TRANSLATE_NOOP("velmora::FileListModel", "Duration"), 70, Qt::AlignRight},
    {QT_TRANSLATE_NOOP("velmora::FileListModel", "Freq."), 75, Qt::AlignRight},
    {QT_TRANSLATE_NOOP("velmora::FileListModel", "Channels"), 65, Qt::AlignLeft},
    {QT_TRANSLATE_NOOP("velmora::FileListModel", "Status"), 170, Qt::AlignLeft},
}};

// Past this many runs of adjacent rows, one model reset is cheaper for a view than a removal
// per run (with 10,000 rows listed, a reset costs a table view about as much as 80 runs).
constexpr std::size_t kMaxRemovalRuns = 64;

bool ValidColumn(int column) { return column >= 0 && column < FileListModel::kColumnCount; }

// A rate that is not positive is taken as 1 Hz, as the list shows a rate of 0.
std::uint64_t PositiveRate(std::int32_t sampleRate) { return static_cast<std::uint64_t>(sampleRate > 0 ? sampleRate : 1); }

// A duration (frames / rate) in a form that compares exactly and cheaply: whole seconds, then
// the remainder as a fraction of the rate, compared crosswise (each below 2^31, so the products
// fit).
struct DurationKey {
  std::uint64_t seconds;
  std::uint64_t remainder;
  std::uint64_t rate;
  bool operator<(const DurationKey& other) const {
    if (seconds != other.seconds) return seconds < other.seconds;
    return remainder * other.rate < other.remainder * rate;
  }
};

DurationKey KeyOfDuration(const FileListEntry& entry) {
  const std::uint64_t rate = PositiveRate(entry.SampleRate);
  return {entry.FrameCount / rate, entry.FrameCount % rate, rate};
}

// The channel count as the list shows it: a count of 0 reads "Mono".
std::int32_t ShownChannels(const FileListEntry& entry) { return std::max(entry.Channels, 1); }

}  // namespace

QString DurationText(std::uint64_t frames, std::int32_t sampleRate) {
  const std::uint64_t seconds = frames / PositiveRate(sampleRate);
  return QString::asprintf("%02llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                           static_cast<unsigned long long>(seconds % 60));
}

QString FrequencyText(std::int32_t sampleRate) { return QString::asprintf("%d Hz", sampleRate); }

QString ChannelsText(std::int32_t channels) {
  if (channels <= 1) return FileListModel::tr("Mono");
  if (channels == 2) return FileListModel::tr("Stereo");
  return QString::number(channels);
}

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

int FileListModel::ColumnWidth(int column) { return ValidColumn(column) ? kColumns[column].width : 0; }

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || !ValidColumn(index.column())) return {};
  if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
  // The Status cell may be cut off on screen; a screen reader hears the whole outcome.
  if (role == Qt::AccessibleDescriptionRole && index.column() == StatusColumn) return Details(index.row());
  if (role == Qt::TextAlignmentRole) {
    return static_cast<int>(kColumns[index.column()].alignment | Qt::AlignVCenter);
  }
  return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || !ValidColumn(section)) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return tr(kColumns[section].header);
  if (role == Qt::TextAlignmentRole) return static_cast<int>(kColumns[section].alignment | Qt::AlignVCenter);
  return {};
}

QString FileListModel::CellText(int row, int column) const {
  const Row& item = m_rows.at(static_cast<std::size_t>(row));
  const FileListEntry& entry = item.entry;
  switch (column) {
    case NameColumn: return QString::fromStdString(FileNamePart(entry.SourcePath));
    case DurationColumn: return DurationText(entry.FrameCount, entry.SampleRate);
    case FrequencyColumn: return FrequencyText(entry.SampleRate);
    case ChannelsColumn: return ChannelsText(entry.Channels);
    case StatusColumn: return item.status;
    default: return {};
  }
}

bool FileListModel::PathListed(const std::string& path) const {
  const auto found = m_idOfPath.find(path);
  return found != m_idOfPath.end() && m_rowOfId.contains(found->second);
}

bool FileListModel::Listed(const std::string& path, const std::optional<FileIdentity>& identity) const {
  if (PathListed(path)) return true;
  if (!identity) return false;
  const auto found = m_pathOfFile.find(*identity);
  // A deleted file's inode number is soon given to a new file: the listed path must still
  // name this file for the two to be the same.
  return found != m_pathOfFile.end() && PathListed(found->second) && GetFileIdentity(found->second) == identity;
}

void FileListModel::Index(const Row& row) {
  m_idOfPath.insert_or_assign(row.entry.SourcePath, row.entry.Id);
  if (row.identity) m_pathOfFile.insert_or_assign(*row.identity, row.entry.SourcePath);
}

void FileListModel::PruneIndex() {
  // Each listed row has one path entry; the rest are stale.
  if (m_idOfPath.size() <= 2 * m_rows.size()) return;
  std::erase_if(m_idOfPath, [this](const auto& item) { return !m_rowOfId.contains(item.second); });
  std::erase_if(m_pathOfFile, [this](const auto& item) { return !PathListed(item.second); });
}

std::vector<AddOutcome> FileListModel::AddDescribed(std::span<const DescribedFile> files) {
  std::vector<AddOutcome> outcomes;
  outcomes.reserve(files.size());
  std::vector<Row> added;
  for (const DescribedFile& file : files) {
    if (Listed(file.path, file.identity)) {
      outcomes.push_back(AddOutcome::Duplicate);
    } else if (!file.readable) {
      outcomes.push_back(AddOutcome::Failed);
    } else {
      Row row;
      row.entry.Id = ++m_lastId;
      row.entry.SourcePath = file.path;
      row.entry.Root = file.root;
      row.entry.Channels = file.info.channels;
      row.entry.SampleRate = file.info.sampleRate == 0 ? 1 : file.info.sampleRate;
      row.entry.FrameCount = file.info.frames;
      row.identity = file.identity;
      // Listed from now on, so that a second name for the file later in `files` is a duplicate.
      m_rowOfId[row.entry.Id] = rowCount() + static_cast<int>(added.size());
      Index(row);
      added.push_back(std::move(row));
      outcomes.push_back(AddOutcome::Added);
    }
  }
  if (!added.empty()) {
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    endInsertRows();
    if (m_sortColumn >= 0) PlaceInSortOrder(first);
  }
  return outcomes;
}

int FileListModel::RemoveRows(std::vector<int> rows) {
  std::erase_if(rows, [this](int row) { return row < 0 || row >= rowCount(); });
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const std::vector<std::pair<int, int>> runs = RowRuns(rows);
  for (int row : rows) m_rowOfId.erase(m_rows[static_cast<std::size_t>(row)].entry.Id);

  if (runs.size() > kMaxRemovalRuns) {
    beginResetModel();
    std::vector<bool> removed(m_rows.size());
    for (int row : rows) removed[static_cast<std::size_t>(row)] = true;
    std::size_t kept = 0;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
      if (!removed[row]) m_rows[kept++] = std::move(m_rows[row]);
    }
    m_rows.resize(kept);
    IndexRows();
    PruneIndex();
    endResetModel();
    return static_cast<int>(rows.size());
  }

  // The last run first, so that the earlier rows keep their indexes.
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    beginRemoveRows({}, run->first, run->second);
    m_rows.erase(m_rows.begin() + run->first, m_rows.begin() + run->second + 1);
    endRemoveRows();
  }
  IndexRows();
  PruneIndex();
  return static_cast<int>(rows.size());
}

bool FileListModel::RemoveAll() {
  if (m_rows.empty()) return false;
  beginRemoveRows({}, 0, rowCount() - 1);
  m_rows.clear();
  m_idOfPath.clear();
  m_pathOfFile.clear();
  m_rowOfId.clear();
  endRemoveRows();
  return true;
}

Qt::SortOrder FileListModel::SortByColumn(int column) {
  const Qt::SortOrder order = column != m_sortColumn || m_sortOrder == Qt::DescendingOrder
                                  ? Qt::AscendingOrder
                                  : Qt::DescendingOrder;
  sort(column, order);
  return order;
}

namespace {

// Names and statuses sort as texts in the user's locale, case-sensitively.
QCollator TextCollator() {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseSensitive);
  return collator;
}

}  // namespace

std::vector<int> FileListModel::SortedOrder(int column, Qt::SortOrder order) const {
  const int count = rowCount();
  std::vector<int> rows(static_cast<std::size_t>(count));
  std::iota(rows.begin(), rows.end(), 0);
  // Each row's key is taken once, into one array, so that the comparisons touch nothing else.
  const auto sortBy = [&rows, order](const auto& keys, auto less) {
    const auto at = [&keys](int row) -> const auto& { return keys[static_cast<std::size_t>(row)]; };
    if (order == Qt::AscendingOrder) {
      std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return less(at(a), at(b)); });
    } else {
      std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return less(at(b), at(a)); });
    }
  };
  const auto keysOf = [this, count](auto key) {
    std::vector<decltype(key(m_rows.front().entry))> keys;
    keys.reserve(static_cast<std::size_t>(count));
    for (const Row& row : m_rows) keys.push_back(key(row.entry));
    return keys;
  };
  // There is no secondary key: rows that compare equal keep their order either way.
  switch (column) {
    case DurationColumn:
      sortBy(keysOf(KeyOfDuration), std::less<>{});
      break;
    case FrequencyColumn:
      sortBy(keysOf([](const FileListEntry& entry) { return entry.SampleRate; }), std::less<>{});
      break;
    case ChannelsColumn:
      sortBy(keysOf(ShownChannels), std::less<>{});
      break;
    default: {
      const QCollator collator = TextCollator();
      std::vector<QCollatorSortKey> keys;
      keys.reserve(rows.size());
      for (int row = 0; row < count; ++row) keys.push_back(collator.sortKey(CellText(row, column)));
      sortBy(keys, [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) < 0; });
      break;
    }
  }
  return rows;
}

void FileListModel::sort(int column, Qt::SortOrder order) {
  if (!ValidColumn(column)) return;
  m_sortColumn = column;
  m_sortOrder = order;
  ApplyOrder(SortedOrder(column, order));
}

// Whether row `a` sorts before row `b` by the list's sort state, the keys taken as they are
// compared: few comparisons are made this way.
std::function<bool(int, int)> FileListModel::SortsBefore() const {
  const int column = m_sortColumn;
  const bool ascending = m_sortOrder == Qt::AscendingOrder;
  auto compare = [this, column, collator = TextCollator()](int a, int b) {
    const FileListEntry& x = Entry(a);
    const FileListEntry& y = Entry(b);
    switch (column) {
      case DurationColumn: return KeyOfDuration(x) < KeyOfDuration(y);
      case FrequencyColumn: return x.SampleRate < y.SampleRate;
      case ChannelsColumn: return ShownChannels(x) < ShownChannels(y);
      default: return collator.compare(CellText(a, column), CellText(b, column)) < 0;
    }
  };
  return [compare, ascending](int a, int b) { return ascending ? compare(a, b) : compare(b, a); };
}

// Rows from `firstNew` on were just appended to rows in sort order: each goes after the listed
// rows it does not sort before, and new rows that compare equal keep their order.
void FileListModel::PlaceInSortOrder(int firstNew) {
  const auto before = SortsBefore();
  std::vector<int> fresh(static_cast<std::size_t>(rowCount() - firstNew));
  std::iota(fresh.begin(), fresh.end(), firstNew);
  std::stable_sort(fresh.begin(), fresh.end(), before);
  std::vector<int> order;
  order.reserve(m_rows.size());
  int listed = 0;
  for (const int row : fresh) {
    // The first listed row the new one sorts before, from where the last one went.
    int at = listed;
    for (int end = firstNew; at < end;) {
      const int middle = at + (end - at) / 2;
      if (before(row, middle)) end = middle;
      else at = middle + 1;
    }
    while (listed < at) order.push_back(listed++);
    order.push_back(row);
  }
  while (listed < firstNew) order.push_back(listed++);
  ApplyOrder(order);
}

void FileListModel::ApplyOrder(const std::vector<int>& sorted) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<Row> rows;
  rows.reserve(m_rows.size());
  std::vector<int> newRow(m_rows.size());
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const auto old = static_cast<std::size_t>(sorted[i]);
    newRow[old] = static_cast<int>(i);
    rows.push_back(std::move(m_rows[old]));
  }
  m_rows = std::move(rows);
  IndexRows();
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& persistent : from) {
    to.append(index(newRow[static_cast<std::size_t>(persistent.row())], persistent.column()));
  }
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileListModel::SetStatus(int row, const QString& text, const QString& details) {
  if (row < 0 || row >= rowCount()) return;
  m_rows[static_cast<std::size_t>(row)].status = text;
  m_rows[static_cast<std::size_t>(row)].details = details;
  const QModelIndex cell = index(row, StatusColumn);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

const WrittenOutput* FileListEntry::OutputWithExtension(const std::string& extension) const {
  const auto found = std::find_if(Outputs.begin(), Outputs.end(),
                                  [&](const WrittenOutput& output) { return FileExtension(output.path) == extension; });
  return found == Outputs.end() ? nullptr : &*found;
}

void FileListModel::SetOutput(int row, const std::string& path, const std::optional<FileStamp>& stamp) {
  if (row < 0 || row >= rowCount()) return;
  FileListEntry& entry = m_rows[static_cast<std::size_t>(row)].entry;
  entry.OutputPath = path;
  const std::string extension = FileExtension(path);
  std::erase_if(entry.Outputs, [&](const WrittenOutput& output) { return FileExtension(output.path) == extension; });
  if (stamp) entry.Outputs.push_back({path, *stamp});
}

std::vector<int> FileListModel::SelectedRows() const {
  std::vector<int> rows;
  for (std::size_t row = 0; row < m_rows.size(); ++row) {
    if (m_rows[row].selected) rows.push_back(static_cast<int>(row));
  }
  return rows;
}

int FileListModel::RowOf(std::uint64_t id) const {
  const auto found = m_rowOfId.find(id);
  return found == m_rowOfId.end() ? -1 : found->second;
}

// Every listed id is in the index already: its rows are updated in place, without allocating.
void FileListModel::IndexRows() {
  for (std::size_t row = 0; row < m_rows.size(); ++row) m_rowOfId[m_rows[row].entry.Id] = static_cast<int>(row);
}

std::vector<std::pair<int, int>> RowRuns(const std::vector<int>& ascendingRows) {
  std::vector<std::pair<int, int>> runs;
  for (int row : ascendingRows) {
    if (!runs.empty() && runs.back().second == row - 1) {
      runs.back().second = row;
    } else {
      runs.emplace_back(row, row);
    }
  }
  return runs;
}

}  // namespace velmora
