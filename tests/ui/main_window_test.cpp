// The main window driven as a user drives it: drops, buttons, keys, menus, whole conversions.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/settings_store.h"
#include "settings/converter_settings.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"
#include "ui/about/help_window.h"
#include "ui/controls/skin_button.h"
#include "ui/convert_progress_dialog.h"
#include "ui/file_manager.h"
#include "ui/message_box_catcher.h"
#include "ui/options/opt_sheet.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;
using test::Child;

// Remembers what the window asked the file manager to show; an absent one says it could not.
class RecordingFileManager final : public FileManager {
 public:
  void SelectFile(const QString& path) override {
    if (absent) ReportUnavailable(path);
    else shown.push_back(path);
  }
  QStringList shown;
  bool absent = false;
};

// Counts the events of one type delivered to any object while it lives.
class EventCounter final : public QObject {
 public:
  explicit EventCounter(QEvent::Type type) : m_type(type) { qApp->installEventFilter(this); }
  ~EventCounter() override { qApp->removeEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    count += event->type() == m_type;
    return false;
  }

 private:
  QEvent::Type m_type;
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : m_store(m_dir.File("Velmora.conf")) {
    m_window = std::make_unique<CMainDlg>(m_store, m_files);
    m_window->SetOutputFolders({m_dir.File("docs"), m_dir.File("program"), true});
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  }

  // A new window over the settings file as it is now, as after a restart.
  void Reopen() {
    m_window = std::make_unique<CMainDlg>(m_store, m_files);
    m_window->SetOutputFolders({m_dir.File("docs"), m_dir.File("program"), true});
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  }

  std::string WriteAiff(const std::string& name, std::uint32_t frames = 4410, double rate = 44100, int channels = 2) {
    test::AiffBuilder b;
    b.channels = channels;
    b.frames = frames;
    b.rate = rate;
    b.sound.resize(static_cast<std::size_t>(frames) * 2 * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < b.sound.size(); ++i) b.sound[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 11);
    return m_dir.Write(name, b.Build());
  }

  // Drops paths on the window as the file manager does, and waits for the rows.
  void Drop(const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls.push_back(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    WaitForWork();
  }
  void WaitForWork() {
    if (!m_window->Busy()) return;
    QSignalSpy finished(m_window.get(), &CMainDlg::WorkFinished);
    ASSERT_TRUE(finished.wait(60000));
  }
  // A key pressed in the window, as the active window (a message box closing leaves none).
  void Key(Qt::Key key) {
    QApplication::setActiveWindow(m_window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(Child<QTableView>(*m_window, "fileList"), key);
  }
  void Click(const char* button) { QTest::mouseClick(Child<CSkinButton>(*m_window, button), Qt::LeftButton); }
  QStringList Names() const {
    QStringList names;
    for (int row = 0; row < m_window->Model().rowCount(); ++row) names << m_window->Model().CellText(row, 0);
    return names;
  }
  QStringList Statuses() const {
    QStringList statuses;
    for (int row = 0; row < m_window->Model().rowCount(); ++row) statuses << m_window->Model().Status(row);
    return statuses;
  }
  // Clicks the first row and Ctrl+clicks the others, as a person selects them.
  void Select(std::initializer_list<int> rows) {
    QTableView* list = Child<QTableView>(*m_window, "fileList");
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    for (const int row : rows) {
      const QModelIndex index = m_window->Model().index(row, 0);
      list->scrollTo(index);
      QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualRect(index).center());
      modifiers = Qt::ControlModifier;
    }
  }
  // The list's context menu as it would open now: which commands it offers.
  QStringList EnabledMenuCommands() {
    QTableView* list = Child<QTableView>(*m_window, "fileList");
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(20, 20), list->viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(list->viewport(), &request);
    QMenu* menu = Child<QMenu>(*m_window, "listMenu");
    QStringList enabled;
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->isEnabled()) enabled << action->objectName();
    }
    menu->close();
    return enabled;
  }

  test::TempDir m_dir;
  QtSettingsStore m_store;
  RecordingFileManager m_files;
  std::unique_ptr<CMainDlg> m_window;
};

TEST_F(MainWindowTest, DropsAddFilesFoldersAndLinksOnceInCandidateOrder) {
  WriteAiff("lib/b.aif");
  WriteAiff("lib/A.AIFF");
  WriteAiff("lib/c.aifc");
  WriteAiff("lib/d.afc");
  m_dir.Write("lib/e.wav", {'x'});
  WriteAiff("lib/sub/f.aiff");
  WriteAiff("elsewhere/linked.aiff");
  fs::create_symlink(m_dir.File("elsewhere/linked.aiff"), m_dir.File("lib/z-link.aif"));
  fs::create_symlink(m_dir.File("loop1.aif"), m_dir.File("loop2.aif"));
  fs::create_symlink(m_dir.File("loop2.aif"), m_dir.File("loop1.aif"));
  fs::create_symlink(m_dir.File("lib"), m_dir.File("folder-link.aif"));
  WriteAiff("Solo.aiff");
  WriteAiff("solo.aiff");  // another file on a case-sensitive file system

  const QString lib = QString::fromStdString(m_dir.File("lib"));
  test::MessageBoxCatcher boxes;
  // A file together with its folder, the same folder twice, a link loop and a link to a folder.
  Drop({lib + u"/b.aif"_s, lib, lib, QString::fromStdString(m_dir.File("loop1.aif")),
        QString::fromStdString(m_dir.File("folder-link.aif")), QString::fromStdString(m_dir.File("Solo.aiff")),
        QString::fromStdString(m_dir.File("solo.aiff"))});
  EXPECT_EQ(Names(), (QStringList{u"b.aif"_s, u"A.AIFF"_s, u"c.aifc"_s, u"d.afc"_s, u"linked.aiff"_s, u"f.aiff"_s, u"Solo.aiff"_s, u"solo.aiff"_s}));
  EXPECT_TRUE(boxes.Boxes().empty());

  // Dropping the folder again adds nothing and says nothing.
  Drop({lib});
  EXPECT_EQ(m_window->Model().rowCount(), 8);
  EXPECT_TRUE(boxes.Boxes().empty());

  // Dropped files that are not AIFF are said, how many and why.
  Drop({lib + u"/e.wav"_s, QString::fromStdString(m_dir.Write("notes.txt", {'x'}))});
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Information);
  EXPECT_EQ(boxes.Boxes()[0].text, u"2 dropped file(s) skipped: not AIFF files (.aif, .aiff, .aifc, .afc)."_s);
}

TEST_F(MainWindowTest, UnreadableFilesAreSummedUpInOneMessage) {
  QStringList bad;
  for (int i = 0; i < 11; ++i) bad << QString::fromStdString(m_dir.Write("bad" + std::to_string(i) + ".aif", {'n', 'o'}));
  test::MessageBoxCatcher boxes;
  Drop({QString::fromStdString(WriteAiff("good.aiff"))});
  auto* list = Child<QTableView>(*m_window, "fileList");
  list->setFocus();
  list->setCurrentIndex(m_window->Model().index(0, 0));
  Drop(bad.mid(0, 10));
  // After the box the keyboard is back with the list, at its current row.
  EXPECT_EQ(m_window->focusWidget(), list);
  EXPECT_EQ(list->currentIndex().row(), 0);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].title, u"Velmora"_s);
  EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Warning);
  EXPECT_EQ(boxes.Boxes()[0].text, u"Failed to load the following files.\n\n"_s +
                                       bad.mid(0, 10).join(u" (not an AIFF file)\n"_s) +
                                       u" (not an AIFF file)\n\nTo get help, please contact <support@velmora.example.org>."_s);
  boxes.Clear();
  Drop(bad);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_TRUE(boxes.Boxes()[0].text.contains(bad[9] + u" (not an AIFF file)\n<more files>...\n"_s));
  EXPECT_FALSE(boxes.Boxes()[0].text.contains(bad[10]));
}

TEST_F(MainWindowTest, AddFolderSearchesTheTreeAndRemembersTheFolder) {
  WriteAiff("music/one.aiff");
  WriteAiff("music/deeper/two.aif");
  QString offered;
  std::optional<QString> answer;
  m_window->SetFolderChooser([&](QWidget*, const QString&, const QString&, const QString& start) {
    offered = start;
    return answer;
  });
  Click("addFolderButton");  // cancelled: nothing added, nothing remembered
  EXPECT_EQ(m_window->Model().rowCount(), 0);
  EXPECT_FALSE(QtSettingsStore(m_dir.File("Velmora.conf")).ReadText("Folder").has_value());

  answer = QString::fromStdString(m_dir.File("music/"));
  Click("addFolderButton");
  WaitForWork();
  EXPECT_EQ(Names(), (QStringList{u"one.aiff"_s, u"two.aif"_s}));
  EXPECT_EQ(QtSettingsStore(m_dir.File("Velmora.conf")).ReadText("Folder"), m_dir.File("music/"));
  Click("addFolderButton");
  WaitForWork();
  EXPECT_EQ(offered, *answer);  // the chooser opens where the last search began
  EXPECT_EQ(m_window->Model().rowCount(), 2);

  // Ctrl+O asks for files; what the dialog returns is added.
  m_window->SetFilePicker([this](QWidget*) {
    return QStringList{QString::fromStdString(WriteAiff("picked.aifc")), QString::fromStdString(m_dir.File("music/one.aiff"))};
  });
  QApplication::setActiveWindow(m_window.get());
  auto* list = Child<QTableView>(*m_window, "fileList");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_O, Qt::ControlModifier);
  WaitForWork();
  EXPECT_EQ(Names().back(), u"picked.aifc"_s);
  EXPECT_EQ(m_window->Model().rowCount(), 3);
  // The keyboard stays with the list through the adding run.
  EXPECT_EQ(m_window->focusWidget(), list);

  // Enter and Esc leave the window as it is.
  Key(Qt::Key_Escape);
  Key(Qt::Key_Return);
  EXPECT_TRUE(m_window->isVisible());
}

TEST_F(MainWindowTest, ColumnsSortRemoveAndTheEmptyListMessages) {
  test::MessageBoxCatcher boxes;
  Click("removeAllButton");
  Click("convertMp3Button");
  Key(Qt::Key_Delete);
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].text, u"There aren't AIFF files in list."_s);
  EXPECT_EQ(boxes.Boxes()[1].text, u"There aren't AIFF files in list."_s);
  EXPECT_EQ(boxes.Boxes()[2].text, u"You should select a AIFF file at least."_s);
  EXPECT_EQ(boxes.Boxes()[2].icon, QMessageBox::Information);

  Drop({QString::fromStdString(WriteAiff("minute.aiff", 2646000, 44100, 1)),
        QString::fromStdString(WriteAiff("long.aiff", 7500000, 1000, 1)),
        QString::fromStdString(WriteAiff("phone.aiff", 8000, 8000, 2))});
  const FileListModel& model = m_window->Model();
  EXPECT_EQ(model.CellText(0, 1), u"01:00"_s);
  EXPECT_EQ(model.CellText(1, 1), u"125:00"_s);
  EXPECT_EQ(model.CellText(0, 3), u"Mono"_s);
  EXPECT_EQ(model.CellText(2, 2), u"8000 Hz"_s);

  // Header clicks: Freq. ascending, then reversed; a new row takes its place in that order.
  QHeaderView* header = Child<QTableView>(*m_window, "fileList")->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
  EXPECT_EQ(Names(), (QStringList{u"long.aiff"_s, u"phone.aiff"_s, u"minute.aiff"_s}));
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
  EXPECT_EQ(Names(), (QStringList{u"minute.aiff"_s, u"phone.aiff"_s, u"long.aiff"_s}));
  // The keyboard sorts too, through the list's menu: Sort By, Duration, twice.
  auto* list = Child<QTableView>(*m_window, "fileList");
  for (int time = 0; time < 2; ++time) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Menu);
    QMenu* menu = Child<QMenu>(*m_window, "listMenu");
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_B);
    QMenu* sortBy = Child<QMenu>(*m_window, "sortByMenu");
    ASSERT_TRUE(sortBy->isVisible());
    QTest::keyClick(sortBy, Qt::Key_Down);  // from Name
    QTest::keyClick(sortBy, Qt::Key_Return);
    EXPECT_EQ(header->sortIndicatorSection(), FileListModel::DurationColumn);
  }
  EXPECT_EQ(Names(), (QStringList{u"long.aiff"_s, u"minute.aiff"_s, u"phone.aiff"_s}));
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
  EXPECT_EQ(Names(), (QStringList{u"minute.aiff"_s, u"phone.aiff"_s, u"long.aiff"_s}));
  Drop({QString::fromStdString(WriteAiff("after.aiff"))});
  EXPECT_EQ(Names(), (QStringList{u"minute.aiff"_s, u"after.aiff"_s, u"phone.aiff"_s, u"long.aiff"_s}));

  // Del removes exactly the selected rows.
  Select({0, 1, 3});
  Key(Qt::Key_Delete);
  EXPECT_EQ(Names(), QStringList{u"phone.aiff"_s});
}

// The sort arrow stands beside a right-aligned title, not over its last letter, and shows
// clearly on the dark header.
TEST_F(MainWindowTest, SortArrowStandsBesideTheTitleAndShows) {
  QHeaderView* header = Child<QTableView>(*m_window, "fileList")->horizontalHeader();
  const int column = FileListModel::DurationColumn;
  // The section without its right and bottom border lines.
  const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column) - 1,
                      header->height() - 1);
  const QImage plain = header->grab(section).toImage();
  const QColor background = plain.pixelColor(1, 1);
  QColor text = background;  // the title's own colour: its pixel farthest from the background
  for (int y = 0; y < plain.height(); ++y) {
    for (int x = 0; x < plain.width(); ++x) {
      const QColor c = plain.pixelColor(x, y);
      if (std::abs(c.lightness() - background.lightness()) > std::abs(text.lightness() - background.lightness())) text = c;
    }
  }
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, section.center());
  ASSERT_TRUE(header->isSortIndicatorShown());
  const QImage sorted = header->grab(section).toImage();

  // The title's pixels lie between the background and the text colour; the arrow's stand apart
  // from both.
  auto offTheTitle = [&](QColor c) {
    const double rgb[3][3] = {{c.redF(), c.greenF(), c.blueF()},
                              {background.redF(), background.greenF(), background.blueF()},
                              {text.redF(), text.greenF(), text.blueF()}};
    double along = 0, length = 0;
    for (int i = 0; i < 3; ++i) {
      along += (rgb[0][i] - rgb[1][i]) * (rgb[2][i] - rgb[1][i]);
      length += (rgb[2][i] - rgb[1][i]) * (rgb[2][i] - rgb[1][i]);
    }
    const double t = std::clamp(along / length, 0.0, 1.0);
    double distance = 0;
    for (int i = 0; i < 3; ++i) distance += std::pow(rgb[0][i] - (rgb[1][i] + t * (rgb[2][i] - rgb[1][i])), 2);
    return std::sqrt(distance) * 255;
  };
  QRect title;
  QRect arrow;
  for (int y = 0; y < sorted.height(); ++y) {
    for (int x = 0; x < sorted.width(); ++x) {
      const QColor c = sorted.pixelColor(x, y);
      if (offTheTitle(c) > 60) arrow |= QRect(x, y, 1, 1);
      else if (offTheTitle(c) < 20 && std::abs(c.lightness() - background.lightness()) > 40) title |= QRect(x, y, 1, 1);
    }
  }
  ASSERT_FALSE(title.isEmpty());
  ASSERT_FALSE(arrow.isEmpty()) << "no arrow that stands out from the header";
  EXPECT_GT(arrow.left(), title.right()) << "title ends at " << title.right() << ", arrow starts at " << arrow.left();
}

TEST_F(MainWindowTest, ContextMenuOffersWhatTheSelectionAllows) {
  EXPECT_EQ(EnabledMenuCommands(), (QStringList{u"addAiff"_s, u"addFolder"_s}));
  test::AiffBuilder early;
  early.channels = 2;
  early.frames = 8820;
  early.sound.assign(4410 * 4, 1);
  Drop({QString::fromStdString(m_dir.Write("a.aiff", early.Build())), QString::fromStdString(WriteAiff("b.aiff"))});
  Select({0});
  const QStringList always{u"convertAllMp3"_s, u"convertAllWav"_s, u"convertAll"_s, u"addAiff"_s,
                           u"addFolder"_s,    u"removeAll"_s,     u"sortBy"_s};
  EXPECT_EQ(EnabledMenuCommands(),
            (QStringList{u"convertSelectedMp3"_s, u"convertSelectedWav"_s, u"convertAllMp3"_s, u"convertAllWav"_s,
                         u"convertSelection"_s, u"convertAll"_s, u"browseSource"_s, u"addAiff"_s, u"addFolder"_s,
                         u"remove"_s, u"removeAll"_s, u"sortBy"_s}));
  Select({0, 1});
  EXPECT_FALSE(EnabledMenuCommands().contains(u"browseSource"_s));
  // Once converted, the row's output can be shown.
  Select({0});
  Child<QAction>(*m_window, "convertSelectedWav")->trigger();
  WaitForWork();
  Select({0});
  const QStringList enabled = EnabledMenuCommands();
  EXPECT_TRUE(enabled.contains(u"browseDestination"_s) && enabled.contains(u"browseSource"_s) &&
              enabled.contains(u"details"_s));
  Child<QAction>(*m_window, "browseDestination")->trigger();
  EXPECT_EQ(m_files.shown.back(), QString::fromStdString(m_dir.File("a.wav")));
  // The whole outcome, which the Status column may cut off, without a mouse: in the Details box
  // and in what a screen reader hears of the cell. The source here ends early.
  const QString details = u"Source: "_s + QString::fromStdString(m_dir.File("a.aiff")) + u"\nOutput: "_s +
                          QString::fromStdString(m_dir.File("a.wav")) +
                          u"\n\u2022 source ends early: 4,410 of 8,820 frames"_s;
  test::MessageBoxCatcher boxes;
  Child<QAction>(*m_window, "details")->trigger();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, details);
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(Child<QTableView>(*m_window, "fileList"));
  ASSERT_NE(table, nullptr);
  ASSERT_NE(table->tableInterface(), nullptr);
  QAccessibleInterface* cell = table->tableInterface()->cellAt(0, FileListModel::StatusColumn);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->text(QAccessible::Description), details);
  // Without a file manager the window says so.
  boxes.Clear();
  m_files.absent = true;
  Child<QAction>(*m_window, "browseDestination")->trigger();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, u"No file manager could be opened to show \""_s +
                                       QString::fromStdString(m_dir.File("a.wav")) + u"\"."_s);
  for (const QString& command : always) EXPECT_TRUE(enabled.contains(command)) << qPrintable(command);
}

// Without a mouse: the Menu key or Shift+F10 opens the list's menu (at the current row, or the
// list's centre when there is none) and its commands run on the selection; Tab moves on from
// the list while the arrows move within it. A Status cell's tooltip tells where the output went.
TEST_F(MainWindowTest, KeyboardReachesTheListMenuAndTabLeavesTheList) {
  auto* list = Child<QTableView>(*m_window, "fileList");
  auto* menu = Child<QMenu>(*m_window, "listMenu");
  list->setFocus();
  Key(Qt::Key_Menu);
  ASSERT_TRUE(menu->isVisible());
  EXPECT_TRUE(menu->geometry().contains(list->mapToGlobal(list->rect().center()) + QPoint(1, 1)));
  menu->close();

  Drop({QString::fromStdString(WriteAiff("a.aiff")), QString::fromStdString(WriteAiff("b.aiff")),
        QString::fromStdString(WriteAiff("c.aiff"))});
  QApplication::setActiveWindow(m_window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  list->setFocus();
  list->setCurrentIndex(m_window->Model().index(0, 0));
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->currentIndex().row(), 1);
  ASSERT_TRUE(list->hasFocus());
  QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(menu->isVisible());
  const QRect row = list->visualRect(m_window->Model().index(1, 0));
  EXPECT_EQ(menu->geometry().top(), list->viewport()->mapToGlobal(row.center()).y());
  QTest::keyClick(menu, Qt::Key_V);  // Con&vert to WAV
  WaitForWork();
  EXPECT_EQ(Statuses(), (QStringList{QString(), u"b.wav"_s, QString()}));
  // With nothing selected the menu acts on the current row: Ctrl+Space takes row 1 out of the
  // selection, Ctrl+Down moves on to row 2 without selecting it.
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
  ASSERT_TRUE(m_window->Model().SelectedRows().empty());
  QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(menu->isVisible());
  EXPECT_TRUE(Child<QAction>(*m_window, "browseSource")->isEnabled());
  EXPECT_TRUE(Child<QAction>(*m_window, "remove")->isEnabled());
  QTest::keyClick(menu, Qt::Key_V);
  WaitForWork();
  EXPECT_EQ(Statuses(), (QStringList{QString(), u"b.wav"_s, u"c.wav"_s}));

  const QRect status = list->visualRect(m_window->Model().index(1, FileListModel::StatusColumn));
  QHelpEvent tip(QEvent::ToolTip, status.center(), list->viewport()->mapToGlobal(status.center()));
  QApplication::sendEvent(list->viewport(), &tip);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), u"b.wav\n"_s + QString::fromStdString(m_dir.File("b.wav")));
  QToolTip::hideText();

  // Every format through the submenus, and FLAC and Opus by their keys: the batch the command
  // starts says its format at once, before the event loop runs again.
  const auto batchLine = [&] {
    const auto dialogs = m_window->findChildren<CConvertProgressDlg*>();  // the newest last
    return dialogs.isEmpty() ? QString() : Child<QLabel>(*dialogs.last(), "overallLine")->text();
  };
  const struct {
    Qt::Key submenu;  // Key_unknown: the key with Ctrl+Shift, no menu
    Qt::Key key;
    const char* line;
  } commands[] = {
      {Qt::Key_T, Qt::Key_F, "Converting 1 of 1 file(s) to FLAC..."},
      {Qt::Key_T, Qt::Key_O, "Converting 1 of 1 file(s) to Opus..."},
      {Qt::Key_T, Qt::Key_M, "Converting 1 of 1 file(s) to MP3..."},
      {Qt::Key_N, Qt::Key_W, "Converting 1 of 3 file(s) to WAV..."},
      {Qt::Key_N, Qt::Key_F, "Converting 1 of 3 file(s) to FLAC..."},
      {Qt::Key_unknown, Qt::Key_F, "Converting 1 of 1 file(s) to FLAC..."},
      {Qt::Key_unknown, Qt::Key_O, "Converting 1 of 1 file(s) to Opus..."},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.line);
    QApplication::setActiveWindow(m_window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    list->setFocus();
    if (command.submenu == Qt::Key_unknown) {
      QTest::keyClick(list, command.key, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
      QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
      ASSERT_TRUE(menu->isVisible());
      QTest::keyClick(menu, command.submenu);
      QMenu* submenu = Child<QMenu>(*m_window, command.submenu == Qt::Key_T ? "convertSelectionMenu" : "convertAllMenu");
      ASSERT_TRUE(submenu->isVisible());
      QTest::keyClick(submenu, command.key);
    }
    EXPECT_EQ(batchLine(), QString::fromUtf8(command.line));
    WaitForWork();
  }
  EXPECT_EQ(m_window->Model().Status(2), u"c.opus"_s) << "the last key converted the selected row to Opus";
  EXPECT_GT(fs::file_size(m_dir.File("c.opus")), 0u);
  // Convert All To FLAC wrote every row as FLAC itself, not another format under its name.
  for (const char* name : {"a.flac", "b.flac", "c.flac"}) {
    std::ifstream file(m_dir.File(name), std::ios::binary);
    char magic[4] = {};
    file.read(magic, sizeof magic);
    EXPECT_EQ(std::string(magic, sizeof magic), "fLaC") << name;
  }

  QApplication::setActiveWindow(m_window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Tab);
  EXPECT_FALSE(list->hasFocus()) << "Tab leaves the list";
  EXPECT_EQ(list->currentIndex().row(), 2);
  ASSERT_NE(m_window->focusWidget(), nullptr);
  QTest::keyClick(m_window->focusWidget(), Qt::Key_Backtab);
  EXPECT_TRUE(list->hasFocus()) << "Shift+Tab comes back";
}

// With {path}, the files of a folder added or dropped go into the tree they have below it; a
// file dropped by itself has no folder of its own.
TEST_F(MainWindowTest, EntriesAddedByFolderConvertIntoTheirTreeBelowIt) {
  WriteAiff("music/Artist/Album/one.aiff");
  WriteAiff("dropped/Sub/two.aiff");
  WriteAiff("loose/three.aiff");
  m_store.WriteNumber("DestOutputFolderOpt", kOutputFolderSpecified);
  m_store.WriteText("DestSpecifiedFolder", m_dir.File("out"));
  m_store.WriteText("OutputNamePattern", "{path}/{name}");
  Reopen();
  m_window->SetFolderChooser([&](QWidget*, const QString&, const QString&, const QString&) {
    return std::optional<QString>(QString::fromStdString(m_dir.File("music/")));
  });
  Click("addFolderButton");
  WaitForWork();
  Drop({QString::fromStdString(m_dir.File("dropped")), QString::fromStdString(m_dir.File("loose/three.aiff"))});
  EXPECT_EQ(Names(), (QStringList{u"one.aiff"_s, u"two.aiff"_s, u"three.aiff"_s}));
  Click("convertWavButton");
  WaitForWork();
  EXPECT_EQ(Statuses(), (QStringList{u"one.wav"_s, u"two.wav"_s, u"three.wav"_s}));
  EXPECT_TRUE(fs::exists(m_dir.File("out/Artist/Album/one.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("out/Sub/two.wav")));
  EXPECT_TRUE(fs::exists(m_dir.File("out/three.wav")));
}

TEST_F(MainWindowTest, ConvertingFromTheWindowWritesEveryFileAndShowsTheFirst) {
  QStringList sources;
  for (const char* name : {"one.aiff", "two.aif", "two.aiff", "three.aifc"}) {
    sources << QString::fromStdString(WriteAiff(name, 44100));
  }
  sources << QString::fromStdString(WriteAiff("gone.aiff"));
  Drop(sources);
  fs::remove(m_dir.File("gone.aiff"));  // removed after it was listed
  Click("convertWavButton");
  EXPECT_TRUE(m_window->Busy());
  WaitForWork();
  EXPECT_EQ(Statuses(), (QStringList{u"one.wav"_s, u"two.wav"_s, u"two_1.wav"_s, u"three.wav"_s, u"Conversion Failure"_s}));
  EXPECT_EQ(fs::file_size(m_dir.File("two_1.wav")), 44u + 44100u * 4u);
  EXPECT_EQ(m_files.shown, QStringList{QString::fromStdString(m_dir.File("one.wav"))});

  // Converting an entry again replaces its earlier output of that format under the same name,
  // whatever was converted in between.
  Select({1});
  for (const char* command : {"convertSelectedMp3", "convertSelectedWav", "convertSelectedMp3"}) {
    Child<QAction>(*m_window, command)->trigger();
    WaitForWork();
  }
  EXPECT_EQ(m_window->Model().Status(1), u"two.mp3"_s);
  EXPECT_FALSE(fs::exists(m_dir.File("two_1.mp3")));
  EXPECT_FALSE(fs::exists(m_dir.File("two_2.wav")));

  // A re-conversion that fails leaves the earlier output in place, and the row keeps it.
  fs::remove(m_dir.File("two.aif"));
  Child<QAction>(*m_window, "convertSelectedMp3")->trigger();
  WaitForWork();
  EXPECT_EQ(m_window->Model().Status(1), u"Conversion Failure"_s);
  EXPECT_EQ(m_window->Model().Entry(1).OutputPath, m_dir.File("two.mp3"));
  EXPECT_TRUE(fs::exists(m_dir.File("two.mp3")));
}

// The batch reports to the window in groups, not a call per file: a window kept busy for a
// while (here the test holds its thread) catches up at once. Each outcome finds its own row
// though the rows moved before any report came (the window itself forbids that while a batch
// runs; the rows would otherwise get each other's results).
TEST_F(MainWindowTest, ABusyWindowCatchesUpOnABatchAtOnceAndEachRowGetsItsOwnResult) {
  constexpr int kFiles = 200;
  QStringList sources;
  for (int i = 0; i < kFiles; ++i) sources << QString::fromStdString(WriteAiff("s" + std::to_string(1000 + i) + ".aiff", 441));
  Drop(sources);
  Click("convertWavButton");
  m_window->Model().sort(FileListModel::NameColumn, Qt::DescendingOrder);
  const auto converted = [this] {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(m_dir.path())) count += entry.path().extension() == ".wav";
    return count;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (converted() < kFiles && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(converted(), kFiles);
  EventCounter queuedCalls(QEvent::MetaCall);
  WaitForWork();
  EXPECT_LT(queuedCalls.count, kFiles / 10);
  for (int row = 0; row < kFiles; ++row) {
    EXPECT_EQ(m_window->Model().Status(row), m_window->Model().CellText(row, 0).replace(u".aiff"_s, u".wav"_s));
  }
}

TEST_F(MainWindowTest, AfterALargeAddTheLastRowIsInView) {
  QStringList sources;
  for (int i = 0; i < 60; ++i) sources << QString::fromStdString(WriteAiff("r" + std::to_string(i) + ".aiff", 10));
  Drop(sources);
  ASSERT_EQ(m_window->Model().rowCount(), 60);
  QTableView* list = Child<QTableView>(*m_window, "fileList");
  EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(m_window->Model().index(59, 0))));
}

TEST_F(MainWindowTest, CancelAndCloseStopTheBatchWithoutLeavingPartialFiles) {
  constexpr std::uint32_t kSeconds = 30;
  QStringList sources;
  for (const char* name : {"a.aiff", "b.aiff", "c.aiff", "d.aiff"}) sources << QString::fromStdString(WriteAiff(name, 44100 * kSeconds));
  Drop(sources);
  // Stops the batch once a row reads "Converting...": the window still counts it as running then,
  // as it hears of the batch's end only from its own event loop.
  auto stopWhenWorking = [&](const std::function<void()>& stop) {
    Click("convertMp3Button");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Statuses().contains(u"Converting..."_s); }, 20000));
    stop();
    WaitForWork();
  };
  stopWhenWorking([&] {
    auto* dialog = m_window->findChild<CConvertProgressDlg*>();
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(Child<QPushButton>(*dialog, "cancelButton"), Qt::LeftButton);
  });
  // However far the batch got before the click, each row either finished, its MP3 whole (128
  // kbit/s), or was cancelled and left nothing behind.
  const QStringList stems{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
  ASSERT_EQ(Statuses().size(), stems.size());
  for (int row = 0; row < stems.size(); ++row) {
    const QString status = m_window->Model().Status(row);
    const std::string mp3 = m_dir.File((stems[row] + u".mp3"_s).toStdString());
    if (status == u"Cancelled"_s) {
      EXPECT_FALSE(fs::exists(mp3)) << mp3;
    } else {
      EXPECT_EQ(status, stems[row] + u".mp3"_s);
      ASSERT_TRUE(fs::exists(mp3)) << mp3;
      EXPECT_GT(fs::file_size(mp3), kSeconds * 128000 / 8 * 9 / 10) << mp3;
    }
  }
  for (const auto& entry : fs::directory_iterator(m_dir.path())) EXPECT_NE(entry.path().extension(), ".part") << entry.path();

  // A close request during a batch cancels it and closes once it has stopped.
  stopWhenWorking([&] { EXPECT_FALSE(m_window->close()); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return !m_window->isVisible(); }, 5000));
  for (const auto& entry : fs::directory_iterator(m_dir.path())) EXPECT_NE(entry.path().extension(), ".part");
}

// With loudness on, every source is measured before any is converted. The dialog shows that
// pass from the start, the batch bar moving by the sound measured (not by whole files), and a
// cancel during it marks every row.
TEST_F(MainWindowTest, TheMeasuringPassShowsItsProgressAndACancelInItMarksEveryRow) {
  m_store.WriteNumber("LoudnessMode", kLoudnessNormalize);
  Reopen();
  QStringList sources;
  for (const char* name : {"a.aiff", "b.aiff", "c.aiff"}) {
    sources << QString::fromStdString(WriteAiff(name, 8000 * 60 * 20, 8000, 1));
  }
  Drop(sources);
  Click("convertMp3Button");
  auto* dialog = m_window->findChild<CConvertProgressDlg*>();
  ASSERT_NE(dialog, nullptr);
  auto* overall = Child<QLabel>(*dialog, "overallLine");
  auto* bar = Child<QProgressBar>(*dialog, "overallBar");
  EXPECT_EQ(overall->text(), u"Measuring loudness: 1 of 3 file(s)..."_s);
  auto* fileBar = Child<QProgressBar>(*dialog, "fileBar");
  ASSERT_TRUE(QTest::qWaitFor([&] { return fileBar->value() > 0; }, 20000));
  EXPECT_GT(bar->value(), 0);
  // However far the pass has got by now: the batch line counts on, the file line names one in work.
  const QRegularExpression measuring(u"^Measuring loudness: [123] of 3 file\\(s\\)\\.\\.\\.$"_s);
  EXPECT_TRUE(measuring.match(overall->text()).hasMatch()) << qPrintable(overall->text());
  EXPECT_TRUE(QRegularExpression(u"^Measuring [abc]\\.aiff\\.\\.\\.\\d+%$"_s)
                  .match(Child<QLabel>(*dialog, "fileLine")->text())
                  .hasMatch())
      << qPrintable(Child<QLabel>(*dialog, "fileLine")->text());
  QTest::mouseClick(Child<QPushButton>(*dialog, "cancelButton"), Qt::LeftButton);
  WaitForWork();
  EXPECT_EQ(Statuses(), (QStringList{u"Cancelled"_s, u"Cancelled"_s, u"Cancelled"_s}));
  for (const auto& entry : fs::directory_iterator(m_dir.path())) EXPECT_NE(entry.path().extension(), ".mp3");
}

TEST_F(MainWindowTest, AWindowClosedDuringABatchOpensNothingAfterwards) {
  ASSERT_EQ(m_window->Settings().BrowseOutputFolder, 1);
  Drop({QString::fromStdString(WriteAiff("first.aiff")), QString::fromStdString(WriteAiff("long1.aiff", 44100 * 120)),
        QString::fromStdString(WriteAiff("long2.aiff", 44100 * 120))});
  Click("convertMp3Button");
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->Model().Status(0) == u"first.mp3"_s; }, 20000));
  EXPECT_FALSE(m_window->close());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_window->isVisible(); }, 5000));
  EXPECT_TRUE(m_files.shown.isEmpty()) << qPrintable(m_files.shown.join(u", "_s));
}

TEST_F(MainWindowTest, OptionsRememberThePageAndReachTheSettingsFile) {
  test::WhenShown<COptSheet> pickWav([](COptSheet& sheet) {
    Child<QTabWidget>(sheet, "optionsTabs")->setCurrentIndex(COptSheet::kWavPage);
    QTest::mouseClick(Child<QPushButton>(sheet, "cancelButton"), Qt::LeftButton);
  });
  Click("optionsButton");
  ASSERT_TRUE(pickWav.Ran());
  // The name example shows the selected row.
  Drop({QString::fromStdString(WriteAiff("first.aiff")), QString::fromStdString(WriteAiff("second.aiff"))});
  Select({1});
  int shownFirst = -1;
  QString example;
  test::WhenShown<COptSheet> accept([&](COptSheet& sheet) {
    shownFirst = Child<QTabWidget>(sheet, "optionsTabs")->currentIndex();
    Child<QTabWidget>(sheet, "optionsTabs")->setCurrentIndex(COptSheet::kOutputPage);
    example = Child<QLabel>(sheet, "namePatternExample")->text();
    QTest::mouseClick(Child<QPushButton>(sheet, "okButton"), Qt::LeftButton);
  });
  Click("optionsButton");
  EXPECT_EQ(shownFirst, COptSheet::kWavPage);
  EXPECT_EQ(example, u"For example, \"second.aiff\" becomes \"second.mp3\"."_s);
  // OK saved the options: the file now holds them.
  EXPECT_EQ(QtSettingsStore(m_dir.File("Velmora.conf")).ReadNumber("MP3BitRate"), 128);
}

// Every control a keyboard or a screen reader reaches has a name to announce, in the window and
// on every page of the options sheet.
TEST_F(MainWindowTest, EveryReachableControlHasAnAccessibleName) {
  auto unnamed = [](const QWidget& root) {
    QStringList missing;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
      if (widget->focusPolicy() == Qt::NoFocus || !widget->isEnabled()) continue;
      QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
      if (accessible && accessible->text(QAccessible::Name).trimmed().isEmpty() &&
          !qobject_cast<QAbstractScrollArea*>(widget->parentWidget())) {
        missing << widget->objectName() + u" ("_s + QString::fromLatin1(widget->metaObject()->className()) + u')';
      }
    }
    return missing;
  };
  const QStringList windowMissing = unnamed(*m_window);
  EXPECT_TRUE(windowMissing.isEmpty()) << qPrintable(windowMissing.join(u", "_s));
  // The window is a window to screen readers, and the home page a link.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(m_window.get())->role(), QAccessible::Window);
  QAccessibleInterface* home = QAccessible::queryAccessibleInterface(Child<CSkinButton>(*m_window, "homePageButton"));
  EXPECT_EQ(home->role(), QAccessible::Link);
  EXPECT_EQ(home->text(QAccessible::Name), u"Visit Velmora Homepage"_s);
  ASSERT_NE(home->actionInterface(), nullptr);
  EXPECT_TRUE(home->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  // Menu commands are announced by name; a shortcut is a property of its own.
  for (const char* menuName : {"listMenu", "helpMenu"}) {
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(Child<QMenu>(*m_window, menuName));
    for (int i = 0; i < menu->childCount(); ++i) {
      EXPECT_FALSE(menu->child(i)->text(QAccessible::Name).contains(u'\t')) << qPrintable(menu->child(i)->text(QAccessible::Name));
    }
  }
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Child<QMenu>(*m_window, "listMenu"));
  QString addAiffKey;
  for (int i = 0; i < list->childCount(); ++i) {
    if (list->child(i)->text(QAccessible::Name) == u"Add AIFF..."_s) addAiffKey = list->child(i)->text(QAccessible::Accelerator);
  }
  EXPECT_EQ(addAiffKey, QKeySequence(Qt::CTRL | Qt::Key_O).toString(QKeySequence::NativeText));

  // A column header is pressed to sort, as it is clicked.
  auto* fileList = Child<QTableView>(*m_window, "fileList");
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(fileList);
  QAccessibleInterface* duration = nullptr;
  for (int i = 0; i < table->childCount(); ++i) {
    QAccessibleInterface* child = table->child(i);
    if (child->role() == QAccessible::ColumnHeader && child->text(QAccessible::Name) == u"Duration"_s) duration = child;
  }
  ASSERT_NE(duration, nullptr);
  ASSERT_NE(duration->actionInterface(), nullptr);
  EXPECT_TRUE(duration->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  EXPECT_EQ(table->indexOfChild(duration), table->indexOfChild(table->child(table->indexOfChild(duration))));
  duration->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(fileList->horizontalHeader()->sortIndicatorSection(), static_cast<int>(FileListModel::DurationColumn));
  EXPECT_TRUE(fileList->horizontalHeader()->isSortIndicatorShown());
  QStringList sheetMissing;
  test::WhenShown<COptSheet> inspect([&](COptSheet& sheet) {
    auto* tabs = Child<QTabWidget>(sheet, "optionsTabs");
    for (int page = 0; page < tabs->count(); ++page) {
      tabs->setCurrentIndex(page);
      sheetMissing << unnamed(*tabs->widget(page));
    }
    QTest::mouseClick(Child<QPushButton>(sheet, "cancelButton"), Qt::LeftButton);
  });
  Click("optionsButton");
  EXPECT_TRUE(sheetMissing.isEmpty()) << qPrintable(sheetMissing.join(u", "_s));
}

TEST_F(MainWindowTest, HelpOpensWithF1AndOnTheFirstStartOnlyAndClosesWithTheWindow) {
  Key(Qt::Key_F1);
  ASSERT_NE(HelpWindow::Open(), nullptr);
  HelpWindow::CloseOpen();
  ASSERT_TRUE(QTest::qWaitFor([] { return HelpWindow::Open() == nullptr; }));
  m_window->CheckFirstRun();
  ASSERT_NE(HelpWindow::Open(), nullptr);
  HelpWindow::CloseOpen();
  ASSERT_TRUE(QTest::qWaitFor([] { return HelpWindow::Open() == nullptr; }));
  m_window->CheckFirstRun();
  EXPECT_EQ(HelpWindow::Open(), nullptr);
  Child<QAction>(*m_window, "helpTopics")->trigger();
  ASSERT_NE(HelpWindow::Open(), nullptr);
  m_window->close();
  EXPECT_TRUE(QTest::qWaitFor([] { return HelpWindow::Open() == nullptr; }));
}

}  // namespace
}  // namespace velmora::ui
