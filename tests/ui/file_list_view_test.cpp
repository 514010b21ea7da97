// The list commands on a view of a few hundred rows with a scattered selection: which files stay
// selected and current across sorts, and which rows a Delete removes.
#include "ui/file_list_view.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTest>
#include <set>
#include <string>
#include <vector>

#include "filelist/file_list_model.h"

namespace velmora::ui {
namespace {

constexpr int kRows = 300;

std::string PathOf(int added) { return "/music/" + std::to_string(added) + ".aif"; }

class FileListViewTest : public ::testing::Test {
 protected:
  FileListViewTest() : m_view(m_model, nullptr) {
    std::vector<DescribedFile> files(kRows);
    for (int i = 0; i < kRows; ++i) {
      DescribedFile& file = files[static_cast<std::size_t>(i)];
      file.path = PathOf(i);
      file.readable = true;
      // Names and durations each in an order of their own, neither that of adding.
      file.info.sampleRate = 1000;
      file.info.frames = static_cast<std::uint64_t>((i * 113) % kRows + 1) * 1000;
      file.info.channels = 2;
    }
    m_model.AddDescribed(files);
    m_view.setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view.resize(400, 200);
    m_view.show();
  }

  // Selects the rows as added that `pick` chooses and makes the row added as `current` current.
  template <typename Pick>
  void Select(Pick pick, int current) {
    QItemSelection selection;
    for (int row = 0; row < m_model.rowCount(); ++row) {
      if (pick(row)) selection.select(m_model.index(row, 0), m_model.index(row, FileListModel::kColumnCount - 1));
    }
    m_view.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_view.selectionModel()->setCurrentIndex(m_model.index(current, 0), QItemSelectionModel::NoUpdate);
  }

  std::set<std::string> SelectedPaths() const {
    std::set<std::string> paths;
    for (int row : m_view.SelectedRows()) paths.insert(m_model.Entry(row).SourcePath);
    return paths;
  }
  std::string CurrentPath() const {
    const QModelIndex current = m_view.currentIndex();
    return current.isValid() ? m_model.Entry(current.row()).SourcePath : std::string();
  }
  // The colour the view paints near the start of a cell, where no text is.
  QColor PaintedRow(int row, int column = FileListModel::NameColumn) {
    const QRect cell = m_view.visualRect(m_model.index(row, column));
    return m_view.viewport()->grab().toImage().pixelColor(cell.left() + 1, cell.center().y());
  }
  void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton) {
    m_view.scrollTo(m_model.index(row, 0));
    QTest::mouseClick(m_view.viewport(), button, modifiers, m_view.visualRect(m_model.index(row, 1)).center());
  }
  bool CurrentInView() const { return m_view.viewport()->rect().intersects(m_view.visualRect(m_view.currentIndex())); }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (int row = 0; row < m_model.rowCount(); ++row) paths.push_back(m_model.Entry(row).SourcePath);
    return paths;
  }

  FileListModel m_model;
  FileListView m_view;
};

TEST_F(FileListViewTest, SortsKeepTheSelectedFilesSelectedAndTheCurrentOneCurrentAndInView) {
  Select([](int row) { return row % 3 == 0 || (row >= 100 && row < 110); }, 201);
  const std::set<std::string> selected = SelectedPaths();
  ASSERT_EQ(selected.size(), 107u);

  for (const int column : {FileListModel::NameColumn, FileListModel::DurationColumn, FileListModel::DurationColumn,
                           FileListModel::FrequencyColumn}) {
    m_view.SortByColumn(column);
    EXPECT_EQ(SelectedPaths(), selected) << "column " << column;
    EXPECT_EQ(CurrentPath(), PathOf(201)) << "column " << column;
    EXPECT_TRUE(CurrentInView()) << "column " << column;
    // Painted so: every cell of a selected row in the highlight, the row after it not.
    const int row = m_view.SelectedRows().back();
    m_view.scrollTo(m_model.index(row, 0));
    EXPECT_EQ(PaintedRow(row), PaintedRow(row, FileListModel::FrequencyColumn));
    EXPECT_TRUE(PaintedRow(row) == m_view.palette().color(QPalette::Active, QPalette::Highlight) ||
                PaintedRow(row) == m_view.palette().color(QPalette::Inactive, QPalette::Highlight));
    if (row + 1 < kRows) {
      EXPECT_NE(PaintedRow(row + 1), PaintedRow(row));
    }
  }
  // The order of a sort is the model's: ascending first, reversed on a second click.
  EXPECT_EQ(m_view.SortByColumn(FileListModel::NameColumn), Qt::AscendingOrder);
  EXPECT_EQ(m_view.SortByColumn(FileListModel::NameColumn), Qt::DescendingOrder);
  EXPECT_EQ(SelectedPaths(), selected);
}

TEST_F(FileListViewTest, DeleteRemovesExactlyTheSelectedRowsAndTheNextRowBecomesCurrent) {
  m_view.SortByColumn(FileListModel::DurationColumn);
  const std::vector<std::string> sorted = Paths();
  const auto remaining = [&sorted](auto removed) {
    std::vector<std::string> kept;
    for (int row = 0; row < static_cast<int>(sorted.size()); ++row) {
      if (!removed(row)) kept.push_back(sorted[static_cast<std::size_t>(row)]);
    }
    return kept;
  };

  // Every other row, far more runs than a view is told of one by one; the current row is
  // among them, so the row below it takes its place.
  const auto even = [](int row) { return row % 2 == 0; };
  Select(even, 250);
  EXPECT_EQ(m_view.RemoveSelected(), kRows / 2);
  EXPECT_EQ(Paths(), remaining(even));
  EXPECT_TRUE(m_view.SelectedRows().empty());
  EXPECT_EQ(CurrentPath(), sorted[251]);
  EXPECT_TRUE(CurrentInView());

  // A few runs, the current row outside them: it stays current.
  const std::vector<std::string> before = Paths();
  Select([](int row) { return (row >= 10 && row < 20) || row == 40; }, 30);
  EXPECT_EQ(m_view.RemoveSelected(), 11);
  EXPECT_EQ(m_model.rowCount(), 139);
  EXPECT_EQ(m_model.Entry(10).SourcePath, before[20]);
  EXPECT_EQ(CurrentPath(), before[30]);

  // Rows at the end: the last row that stays becomes current.
  const std::vector<std::string> last = Paths();
  Select([](int row) { return row >= 130 || row == 5; }, 135);
  EXPECT_EQ(m_view.RemoveSelected(), 10);
  EXPECT_EQ(CurrentPath(), last[129]);
  EXPECT_TRUE(CurrentInView());

  // Nothing selected: nothing removed.
  m_view.DeselectAll();
  EXPECT_EQ(m_view.RemoveSelected(), 0);
  EXPECT_EQ(m_model.rowCount(), 129);
}

// Clicks select as in any table: a plain click one row, Ctrl adds or takes away a row, Shift
// stretches from the last row clicked (a second Shift+click replaces the stretch); a right click
// on a selected row keeps the selection for the menu, and a plain click on one leaves it alone.
TEST_F(FileListViewTest, ClicksSelectAsInAnyTable) {
  Click(1);
  Click(3, Qt::ControlModifier);
  Click(6, Qt::ShiftModifier);
  EXPECT_EQ(m_view.SelectedRows(), (std::vector{1, 3, 4, 5, 6}));
  Click(4, Qt::ShiftModifier);
  EXPECT_EQ(m_view.SelectedRows(), (std::vector{1, 3, 4}));
  Click(1, Qt::NoModifier, Qt::RightButton);
  EXPECT_EQ(m_view.SelectedRows(), (std::vector{1, 3, 4}));
  Click(3, Qt::ControlModifier);
  EXPECT_EQ(m_view.SelectedRows(), (std::vector{1, 4}));
  Click(4);
  EXPECT_EQ(m_view.SelectedRows(), std::vector{4});
  QTest::keyClick(&m_view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(&m_view, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(m_view.SelectedRows(), std::vector{4});
  QTest::keyClick(&m_view, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(m_view.SelectedRows().size(), static_cast<std::size_t>(kRows));
}

}  // namespace
}  // namespace velmora::ui
