#include "filelist/file_list_model.h"
#include "filelist/file_selection_model.h"

#include <gtest/gtest.h>

#include <QPersistentModelIndex>
#include <filesystem>
#include <numeric>

#include "support/aiff_builder.h"
#include "support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string WriteAiff(const test::TempDir& dir, const std::string& name, int channels, std::uint32_t frames,
                      double rate) {
  test::AiffBuilder builder;
  builder.channels = channels;
  builder.frames = frames;
  builder.rate = rate;
  return dir.Write(name, builder.Build());
}

std::vector<QString> Column(const FileListModel& model, int column) {
  std::vector<QString> texts;
  for (int row = 0; row < model.rowCount(); ++row) texts.push_back(model.CellText(row, column));
  return texts;
}

std::vector<QString> Row(const FileListModel& model, int row) {
  std::vector<QString> texts;
  for (int column = 0; column < model.columnCount(); ++column) {
    texts.push_back(model.data(model.index(row, column)).toString());
  }
  return texts;
}

// A file as the describer reports it, without a file behind it: the sorting and removing
// tests need only the numbers.
DescribedFile Described(const std::string& path, std::int32_t rate, std::uint64_t frames, std::int32_t channels = 2) {
  DescribedFile file;
  file.path = path;
  file.readable = true;
  file.info.sampleRate = rate;
  file.info.frames = frames;
  file.info.channels = channels;
  return file;
}

QString Q(const char* text) { return QString::fromUtf8(text); }

// Adds one file as the window does: described, then appended.
AddOutcome Add(FileListModel& model, const std::string& path) {
  const DescribedFile file = DescribeFile(path);
  return model.AddDescribed(std::span(&file, 1)).front();
}

TEST(FileListModelTest, ColumnsShowTheDescriptionOfEachFile) {
  test::TempDir dir;
  FileListModel model;
  const std::string minute = WriteAiff(dir, "minute.aiff", 1, 2'646'000, 44100);
  const std::string longOne = WriteAiff(dir, "long.aif", 6, 7'500'000, 1000);
  const std::string noRate = WriteAiff(dir, "norate.aifc", 2, 7507, 0);
  const std::string largest = WriteAiff(dir, "largest.aiff", 3, 4'294'967'295u, 0);

  int updates = 0;
  QObject::connect(&model, &QAbstractItemModel::dataChanged, [&](const QModelIndex& from, const QModelIndex& to) {
    EXPECT_TRUE(from == to && from == model.index(1, FileListModel::StatusColumn));
    ++updates;
  });
  for (const std::string& path : {minute, longOne, noRate, largest}) EXPECT_EQ(Add(model, path), AddOutcome::Added) << path;
  EXPECT_EQ(Row(model, 0), (std::vector{Q("minute.aiff"), Q("01:00"), Q("44100 Hz"), Q("Mono"), QString()}));
  EXPECT_EQ(Row(model, 1), (std::vector{Q("long.aif"), Q("125:00"), Q("1000 Hz"), Q("6"), QString()}));
  // A rate of 0 is listed as 1 Hz, so the duration is the frame count in seconds.
  EXPECT_EQ(Row(model, 2), (std::vector{Q("norate.aifc"), Q("125:07"), Q("1 Hz"), Q("Stereo"), QString()}));
  // The largest frame count a header can hold: minutes are never cut to two digits.
  EXPECT_EQ(Row(model, 3), (std::vector{Q("largest.aiff"), Q("71582788:15"), Q("1 Hz"), Q("3"), QString()}));

  EXPECT_EQ(model.Entry(2).SourcePath, noRate);
  EXPECT_EQ(model.Entry(2).SampleRate, 1);

  model.SetStatus(1, Q("Converting..."));
  model.SetOutput(1, "/out/long.mp3", FileStamp{1, 2, 3, 4});
  model.SetStatus(7, Q("no such row"));
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(model.data(model.index(1, FileListModel::StatusColumn)).toString(), Q("Converting..."));
  EXPECT_EQ(model.Entry(1).OutputPath, "/out/long.mp3");
  // The newest output of a kind takes its kind's place; other kinds stay, and an output without
  // a stamp is never to be replaced.
  model.SetOutput(1, "/out/long.wav", FileStamp{5, 6, 7, 8});
  model.SetOutput(1, "/out/long_1.mp3", FileStamp{9, 9, 9, 9});
  EXPECT_EQ(model.Entry(1).OutputPath, "/out/long_1.mp3");
  ASSERT_NE(model.Entry(1).OutputWithExtension(".mp3"), nullptr);
  EXPECT_EQ(model.Entry(1).OutputWithExtension(".mp3")->path, "/out/long_1.mp3");
  EXPECT_EQ(model.Entry(1).OutputWithExtension(".wav")->stamp, (FileStamp{5, 6, 7, 8}));
  model.SetOutput(1, "/out/long.wav", std::nullopt);
  EXPECT_EQ(model.Entry(1).OutputWithExtension(".wav"), nullptr);
}

TEST(FileListModelTest, SortsByEachKindAndTogglesTheDirection) {
  FileListModel model;
  // Names, rates and durations are each in a different order, and the text order of the
  // numbers differs from their value order (11025 Hz < 8000 Hz, 100:00 < 99:59 as text).
  model.AddDescribed(std::vector{
      Described("/m/delta.aif", 8000, 8000 * 6000),     // 100:00
      Described("/m/alpha.aif", 11025, 11025 * 5999),   // 99:59
      Described("/m/charlie.aif", 44100, 44100 * 59),   // 00:59
      Described("/m/bravo.aif", 22050, 22050 * 60, 1),  // 01:00
  });
  const QPersistentModelIndex selected = model.index(1, 0);  // alpha, as a view's selection holds it

  EXPECT_EQ(model.SortByColumn(FileListModel::FrequencyColumn), Qt::AscendingOrder);
  EXPECT_EQ(Column(model, FileListModel::FrequencyColumn),
            (std::vector{Q("8000 Hz"), Q("11025 Hz"), Q("22050 Hz"), Q("44100 Hz")}));
  EXPECT_EQ(selected.row(), 1);
  EXPECT_EQ(model.SortByColumn(FileListModel::FrequencyColumn), Qt::DescendingOrder);
  EXPECT_EQ(Column(model, FileListModel::NameColumn),
            (std::vector{Q("charlie.aif"), Q("bravo.aif"), Q("alpha.aif"), Q("delta.aif")}));
  EXPECT_EQ(selected.row(), 2);
  EXPECT_EQ(model.SortByColumn(FileListModel::FrequencyColumn), Qt::AscendingOrder);

  // Another column starts ascending, whatever the last direction was.
  model.SortByColumn(FileListModel::FrequencyColumn);
  EXPECT_EQ(model.SortByColumn(FileListModel::DurationColumn), Qt::AscendingOrder);
  EXPECT_EQ(Column(model, FileListModel::DurationColumn),
            (std::vector{Q("00:59"), Q("01:00"), Q("99:59"), Q("100:00")}));
  EXPECT_EQ(model.SortByColumn(FileListModel::DurationColumn), Qt::DescendingOrder);
  EXPECT_EQ(Column(model, FileListModel::DurationColumn),
            (std::vector{Q("100:00"), Q("99:59"), Q("01:00"), Q("00:59")}));

  EXPECT_EQ(model.SortByColumn(FileListModel::NameColumn), Qt::AscendingOrder);
  EXPECT_EQ(Column(model, FileListModel::NameColumn),
            (std::vector{Q("alpha.aif"), Q("bravo.aif"), Q("charlie.aif"), Q("delta.aif")}));
  EXPECT_EQ(model.Entry(0).SourcePath, "/m/alpha.aif");  // entries travel with their rows
  EXPECT_EQ(selected.row(), 0);

  // Rows added to a sorted list take their places in its order, after the rows they equal.
  model.SortByColumn(FileListModel::NameColumn);
  model.AddDescribed(std::vector{Described("/m/aardvark.aif", 1000, 1), Described("/n/charlie.aif", 1000, 1),
                                 Described("/m/echo.aif", 1000, 1), Described("/m/beta.aif", 1000, 1)});
  EXPECT_EQ(Column(model, FileListModel::NameColumn),
            (std::vector{Q("echo.aif"), Q("delta.aif"), Q("charlie.aif"), Q("charlie.aif"), Q("bravo.aif"),
                         Q("beta.aif"), Q("alpha.aif"), Q("aardvark.aif")}));
  EXPECT_EQ(model.Entry(3).SourcePath, "/n/charlie.aif");
  EXPECT_EQ(selected.row(), 6);  // alpha, still selected

  // Qt's sort() sets the state the next header click continues from.
  model.sort(FileListModel::DurationColumn, Qt::DescendingOrder);
  EXPECT_EQ(model.CellText(0, FileListModel::DurationColumn), Q("100:00"));
  EXPECT_EQ(model.SortByColumn(FileListModel::DurationColumn), Qt::AscendingOrder);
  EXPECT_EQ(model.CellText(0, FileListModel::DurationColumn), Q("00:00"));

  // Values, not texts: durations that all read 00:01 compare exactly, and channel counts by
  // number (Mono, Stereo, 6 rather than "6", "Mono", "Stereo").
  FileListModel exact;
  exact.AddDescribed(std::vector{Described("/e/six.aif", 1000, 1700, 6), Described("/e/mono.aif", 1000, 1200, 1),
                                 Described("/e/stereo.aif", 44100, 44100 * 3 / 2, 2)});
  const std::vector<QString> byValue{Q("mono.aif"), Q("stereo.aif"), Q("six.aif")};
  exact.SortByColumn(FileListModel::DurationColumn);
  EXPECT_EQ(Column(exact, FileListModel::NameColumn), byValue);
  exact.sort(FileListModel::NameColumn);
  exact.SortByColumn(FileListModel::ChannelsColumn);
  EXPECT_EQ(Column(exact, FileListModel::NameColumn), byValue);
}

TEST(FileListModelTest, RemovesTheGivenRowsAndForgetsTheirPaths) {
  FileListModel model;
  std::vector<DescribedFile> files;
  for (int i = 0; i < 7; ++i) files.push_back(Described("/m/" + std::to_string(i) + ".aif", 44100, 44100));
  model.AddDescribed(files);
  const QPersistentModelIndex survivor = model.index(5, 0);
  const std::uint64_t survivorId = model.Entry(5).Id;
  const std::uint64_t removedId = model.Entry(0).Id;

  std::vector<std::pair<int, int>> removals;
  QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                   [&](const QModelIndex&, int first, int last) { removals.emplace_back(first, last); });
  // Three selected rows, in the order a view may report them, with a repeat and a stale index.
  EXPECT_EQ(model.RemoveRows({4, 0, 3, 4, 9, -1}), 3);
  EXPECT_EQ(Column(model, FileListModel::NameColumn),
            (std::vector{Q("1.aif"), Q("2.aif"), Q("5.aif"), Q("6.aif")}));
  // Adjacent rows go in one removal, the later run first.
  EXPECT_EQ(removals, (std::vector<std::pair<int, int>>{{3, 4}, {0, 0}}));
  EXPECT_EQ(survivor.row(), 2);
  // Ids find their rows after removals and sorts; a removed entry's id finds none.
  EXPECT_EQ(model.RowOf(survivorId), 2);
  model.sort(FileListModel::NameColumn, Qt::DescendingOrder);
  EXPECT_EQ(model.RowOf(survivorId), 1);
  EXPECT_EQ(model.RowOf(removedId), -1);

  EXPECT_EQ(model.AddDescribed(files),
            (std::vector{AddOutcome::Added, AddOutcome::Duplicate, AddOutcome::Duplicate, AddOutcome::Added,
                         AddOutcome::Added, AddOutcome::Duplicate, AddOutcome::Duplicate}));
  EXPECT_EQ(model.rowCount(), 7);
  EXPECT_EQ(model.RowOf(removedId), -1);  // re-added entries have ids of their own

  EXPECT_TRUE(model.RemoveAll());
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.RemoveAll());
  EXPECT_EQ(Add(model, "/m/1.aif"), AddOutcome::Failed);  // no longer listed, and never on disk

  // Every other row of 300: many runs, removed at once (from a list never sorted, where rows
  // stay in the order they came).
  FileListModel many;
  files.clear();
  std::vector<int> even;
  for (int i = 0; i < 300; ++i) {
    files.push_back(Described("/n/" + std::to_string(i) + ".aif", 44100, 44100));
    if (i % 2 == 0) even.push_back(i);
  }
  many.AddDescribed(files);
  EXPECT_EQ(many.RemoveRows(even), 150);
  ASSERT_EQ(many.rowCount(), 150);
  for (int row = 0; row < 150; ++row) {
    EXPECT_EQ(many.Entry(row).SourcePath, "/n/" + std::to_string(2 * row + 1) + ".aif");
  }
  EXPECT_EQ(many.AddDescribed(std::vector{Described("/n/0.aif", 8000, 1), Described("/n/299.aif", 8000, 1)}),
            (std::vector{AddOutcome::Added, AddOutcome::Duplicate}));

  // Most of the rest go as well, and the index lets go of their paths; the rows still listed
  // stay duplicates.
  std::vector<int> most(140);
  std::iota(most.begin(), most.end(), 0);
  EXPECT_EQ(many.RemoveRows(most), 140);
  EXPECT_EQ(many.AddDescribed(std::vector{Described("/n/1.aif", 8000, 1), Described("/n/299.aif", 8000, 1),
                                           Described("/n/0.aif", 8000, 1)}),
            (std::vector{AddOutcome::Added, AddOutcome::Duplicate, AddOutcome::Duplicate}));
}

// The selection as Qt's views command it, kept as flags on the rows.
TEST(FileSelectionModelTest, CommandsTakeWholeRowsAStretchReplacesTheOneBeforeAndRowsCarryTheirFlags) {
  FileListModel model;
  std::vector<DescribedFile> files;
  for (int i = 0; i < 10; ++i) files.push_back(Described("/s/" + std::to_string(9 - i) + ".aif", 8000, 1));
  model.AddDescribed(files);
  FileSelectionModel selection(model);
  std::vector<std::pair<QItemSelection, QItemSelection>> told;
  QObject::connect(&selection, &QItemSelectionModel::selectionChanged,
                   [&told](const QItemSelection& on, const QItemSelection& off) { told.emplace_back(on, off); });
  const auto cells = [&model](int top, int bottom, int column = 0) {
    return QItemSelection(model.index(top, column), model.index(bottom, column));
  };

  // Ranges in any order, overlapping, of single cells: their whole rows. A view is told the
  // span of the rows that changed.
  QItemSelection ranges = cells(7, 8, FileListModel::StatusColumn);
  ranges.merge(cells(2, 2), QItemSelectionModel::Select);
  ranges.merge(cells(8, 9, FileListModel::DurationColumn), QItemSelectionModel::Select);
  selection.select(ranges, QItemSelectionModel::Select);
  EXPECT_EQ(selection.SelectedRows(), (std::vector{2, 7, 8, 9}));
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].first.front().top(), 2);
  EXPECT_EQ(told[0].first.front().bottom(), 9);
  EXPECT_TRUE(told[0].second.isEmpty());
  selection.select(cells(8, 9), QItemSelectionModel::Toggle);
  selection.select(model.index(0, 3), QItemSelectionModel::Toggle);
  selection.select(cells(7, 7), QItemSelectionModel::Deselect);
  EXPECT_EQ(selection.SelectedRows(), (std::vector{0, 2}));

  // Shift or the mouse stretching a selection from row 4: each stretch replaces the one before,
  // and what a shrinking stretch leaves is as it was before the stretch began (row 2 stays).
  selection.select(cells(4, 4), QItemSelectionModel::ClearAndSelect);
  selection.select(cells(1, 4), QItemSelectionModel::SelectCurrent);
  selection.select(cells(3, 4), QItemSelectionModel::SelectCurrent);
  EXPECT_EQ(selection.SelectedRows(), (std::vector{3, 4}));
  selection.select(cells(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Current);
  EXPECT_EQ(selection.SelectedRows(), (std::vector{0, 4}));
  // A command without Current settles the stretch: the next stretch adds to it.
  selection.select(cells(9, 9), QItemSelectionModel::Select);
  selection.select(cells(6, 7), QItemSelectionModel::SelectCurrent);
  selection.select(cells(6, 6), QItemSelectionModel::SelectCurrent);
  EXPECT_EQ(selection.SelectedRows(), (std::vector{0, 4, 6, 9}));

  // The flags travel with their files through a sort (names ascend: the rows turn over) and go
  // with removed rows; a model reset leaves nothing selected.
  model.SortByColumn(FileListModel::NameColumn);
  EXPECT_EQ(selection.SelectedRows(), (std::vector{0, 3, 5, 9}));
  EXPECT_EQ(model.Entry(3).SourcePath, "/s/3.aif");
  model.RemoveRows({3, 4});
  EXPECT_EQ(selection.SelectedRows(), (std::vector{0, 3, 7}));
  model.AddDescribed(std::vector{Described("/s/new.aif", 8000, 1)});
  EXPECT_FALSE(selection.Selected(8));

  // Qt's own ranges, which assistive technology reads, hold the selection only while mirrored.
  EXPECT_FALSE(selection.isSelected(model.index(3, 0)));
  selection.SetMirrored(true);
  EXPECT_TRUE(selection.isSelected(model.index(3, FileListModel::StatusColumn)));
  selection.select(cells(5, 5), QItemSelectionModel::Select);
  EXPECT_EQ(selection.selectedRows().size(), 4);
  selection.SetMirrored(false);
  EXPECT_FALSE(selection.hasSelection());
  EXPECT_EQ(selection.SelectedRows(), (std::vector{0, 3, 5, 7}));

  // Removing rows in many runs resets the model, after which nothing is selected, as with Qt's
  // own selection.
  std::vector<DescribedFile> more;
  for (int i = 0; i < 150; ++i) more.push_back(Described("/t/" + std::to_string(i) + ".aif", 8000, 1));
  model.AddDescribed(more);
  std::vector<int> scattered;
  for (int row = 0; row < model.rowCount(); row += 2) scattered.push_back(row);
  model.RemoveRows(scattered);
  EXPECT_TRUE(selection.SelectedRows().empty());
}

TEST(FileListModelTest, TwoNamesOfOneFileAreOneEntry) {
  test::TempDir dir;
  FileListModel model;
  const std::string x = WriteAiff(dir, "x.aiff", 2, 100, 44100);
  const std::string upper = WriteAiff(dir, "A.aiff", 2, 100, 44100);
  const std::string lower = WriteAiff(dir, "a.aiff", 2, 100, 44100);
  fs::create_directories(dir.File("sub"));
  fs::create_symlink(x, dir.File("link.aif"));
  fs::create_hard_link(x, dir.File("hard.aif"));

  EXPECT_EQ(Add(model, x), AddOutcome::Added);
  EXPECT_EQ(Add(model, x), AddOutcome::Duplicate);
  for (const std::string& other : {dir.File("./x.aiff"), dir.File("sub/../x.aiff"), dir.File("link.aif"),
                                   dir.File("hard.aif")}) {
    EXPECT_EQ(Add(model, other), AddOutcome::Duplicate) << other;
  }
  // Letter case makes two files on this file system.
  EXPECT_EQ(Add(model, upper), AddOutcome::Added);
  EXPECT_EQ(Add(model, lower), AddOutcome::Added);
  EXPECT_EQ(model.rowCount(), 3);

  // A listed path stays a duplicate even when it no longer opens.
  dir.Write("A.aiff", {'n', 'o', 'p', 'e'});
  EXPECT_EQ(Add(model, upper), AddOutcome::Duplicate);
  EXPECT_EQ(Add(model, dir.Write("notes.aif", {'t', 'e', 'x', 't'})), AddOutcome::Failed);
  EXPECT_EQ(Add(model, dir.File("missing.aif")), AddOutcome::Failed);

  // Within one batch, the second name of a file is the duplicate.
  const std::string y = WriteAiff(dir, "y.aif", 1, 10, 8000);
  fs::create_symlink(y, dir.File("y-link.aif"));
  EXPECT_EQ(model.AddDescribed(std::vector{DescribeFile(dir.File("y-link.aif")), DescribeFile(y)}),
            (std::vector{AddOutcome::Added, AddOutcome::Duplicate}));

  // A listed path that no longer names its file (renamed here; a deleted file's inode number
  // soon goes to a new file) no longer makes that file a duplicate.
  fs::rename(lower, dir.File("renamed.aif"));
  EXPECT_EQ(Add(model, dir.File("renamed.aif")), AddOutcome::Added);
  // Removing the stale row keeps the file listed under its new name.
  EXPECT_EQ(model.CellText(2, FileListModel::NameColumn), Q("a.aiff"));
  model.RemoveRows({2});
  EXPECT_EQ(Add(model, dir.File("./renamed.aif")), AddOutcome::Duplicate);
}

}  // namespace
}  // namespace velmora
