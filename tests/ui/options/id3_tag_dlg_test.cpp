#include "ui/options/id3_tag_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "settings/option_limits.h"
#include "support/temp_dir.h"
#include "ui/options/folder_chooser.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

using test::Child;

Id3TagRecord TaggedRecord() {
  Id3TagRecord record;
  record.SetTitleFromFileName(true);
  record.SetTitle("Kept Title");
  record.SetArtist("Artist");
  record.bytes[141] = 0xA5;  // padding that must travel along untouched
  record.bytes[143] = 0x5A;
  return record;
}

TEST(Id3TagDlgTest, CancelChangesNothingAndOkWritesExactlyTheFields) {
  const Id3TagRecord original = TaggedRecord();
  {
    CId3TagDlg dialog(original);
    dialog.show();
    QTest::keyClicks(Child<QLineEdit>(dialog, "artistEdit"), QStringLiteral(" changed"));
    QTest::mouseClick(Child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    EXPECT_EQ(dialog.Record().bytes, original.bytes);
  }

  CId3TagDlg dialog(original);
  dialog.show();
  auto* title = Child<QLineEdit>(dialog, "titleEdit");
  auto* genre = Child<QComboBox>(dialog, "genreCombo");
  EXPECT_FALSE(title->isEnabled()) << "the title comes from each file's name";
  EXPECT_EQ(genre->currentText(), QString()) << "genre 255 shows none";
  EXPECT_EQ(genre->count(), 149) << "the empty choice and 148 genres";
  for (int i = 2; i < genre->count(); ++i) {
    EXPECT_LE(genre->itemText(i - 1).compare(genre->itemText(i), Qt::CaseInsensitive), 0) << "sorted by name";
  }

  QTest::mouseClick(Child<QCheckBox>(dialog, "titleFromFileNameCheck"), Qt::LeftButton);
  EXPECT_TRUE(title->isEnabled());
  EXPECT_EQ(title->text(), QStringLiteral("Kept Title"));
  auto* album = Child<QLineEdit>(dialog, "albumEdit");
  QTest::keyClicks(album, QString(40, u'x'));
  EXPECT_EQ(album->text().size(), 30);
  auto* year = Child<QLineEdit>(dialog, "yearEdit");
  QTest::keyClicks(year, QStringLiteral("19a9x45"));
  EXPECT_EQ(year->text(), QStringLiteral("1994"));
  QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);

  Id3TagRecord expected = original;
  expected.SetTitleFromFileName(false);
  expected.SetAlbum(std::string(30, 'x'));
  expected.SetYear("1994");
  EXPECT_EQ(dialog.Record().bytes, expected.bytes) << "genre stays 255, the padding is carried along";

  CId3TagDlg again(dialog.Record());
  again.show();
  test::Choose(Child<QComboBox>(again, "genreCombo"), QStringLiteral("Jazz+Funk"));
  // A text outside Latin-1 is stored as '?' but reaches this run's tags as typed.
  // (Qt Test types only Latin letters, so the text is entered as an input method would.)
  const std::string dolphin = "\xD0\x94\xD0\xB5\xD0\xBB\xD1\x8C\xD1\x84\xD0\xB8\xD0\xBD";
  Child<QLineEdit>(again, "artistEdit")->setText(QString::fromStdString(dolphin));
  QTest::mouseClick(Child<QPushButton>(again, "okButton"), Qt::LeftButton);
  EXPECT_EQ(again.Record().Genre(), 29);
  EXPECT_EQ(again.Record().Artist(), dolphin);
  EXPECT_EQ(again.Record().bytes[36], '?');

  // A genre once chosen can be taken back.
  CId3TagDlg cleared(again.Record());
  cleared.show();
  EXPECT_EQ(Child<QComboBox>(cleared, "genreCombo")->currentText(), QStringLiteral("Jazz+Funk"));
  test::Choose(Child<QComboBox>(cleared, "genreCombo"), QString());
  QTest::mouseClick(Child<QPushButton>(cleared, "okButton"), Qt::LeftButton);
  EXPECT_EQ(cleared.Record().Genre(), kNoGenre);
}

TEST(FolderChooserTest, ChosenFolderEndsInASeparator) {
  test::TempDir dir;
  const QString inside = QString::fromStdString((dir.path() / "out").string());
  QDir().mkpath(inside);
  auto pick = [](const QString& start, const QString& folder) {
    test::WhenShown<QFileDialog> answer([folder](QFileDialog& dialog) {
      dialog.setDirectory(folder);
      dialog.selectFile(folder);
      static_cast<QDialog&>(dialog).accept();
    });
    return ChooseFolder(nullptr, QStringLiteral("Output Folder"), QStringLiteral("Please choose an output folder:"), start);
  };
  EXPECT_EQ(pick(inside + u'/', inside), inside + u'/');
  EXPECT_EQ(pick(QString(), QStringLiteral("/")), QStringLiteral("/")) << "the root keeps its single separator";

  // Titled by the command, and large enough that names and sizes show whole.
  test::WhenShown<QFileDialog> cancel([](QFileDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add Folder"));
    EXPECT_GE(dialog.width(), 800);
    EXPECT_GE(dialog.height(), 500);
    dialog.reject();
  });
  EXPECT_FALSE(ChooseFolder(nullptr, QStringLiteral("Add Folder"), QStringLiteral("Please choose a folder:"), inside));
  test::WhenShown<QFileDialog> files([](QFileDialog& dialog) {
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->isVisible()) << "names with their sizes";
    EXPECT_GE(details->header()->sectionSize(0), details->viewport()->width() / 2);
    EXPECT_GE(dialog.width(), 800);
    dialog.reject();
  });
  EXPECT_TRUE(ChooseAiffFiles(nullptr).isEmpty());
}

}  // namespace
}  // namespace velmora::ui
