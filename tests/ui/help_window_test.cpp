#include "ui/about/help_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>

#include "platform/settings_store.h"
#include "support/temp_dir.h"

namespace velmora::ui {
namespace {

void DeleteLater() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

int HelpWindowsOpen() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == QLatin1String("Velmora Help") && widget->isVisible()) ++count;
  }
  return count;
}

class HelpWindowTest : public testing::Test {
 protected:
  void TearDown() override {
    HelpWindow::CloseOpen();
    DeleteLater();
  }
};

TEST_F(HelpWindowTest, SecondRequestRaisesTheOpenWindowWhichClosesWithItsOwner) {
  auto* owner = new QWidget;
  owner->show();
  QPointer<HelpWindow> first = HelpWindow::ShowOrRaise(owner);
  first->showMinimized();
  HelpWindow* second = HelpWindow::ShowOrRaise(owner);
  EXPECT_EQ(second, first.data());
  EXPECT_FALSE(second->isMinimized());
  EXPECT_EQ(HelpWindowsOpen(), 1);

  delete owner;
  DeleteLater();
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(HelpWindow::Open(), nullptr);

  QPointer<HelpWindow> again = HelpWindow::ShowOrRaise(nullptr);
  HelpWindow::CloseOpen();
  DeleteLater();
  EXPECT_TRUE(again.isNull());
}

// Every topic of the contents opens its own page, and a link between pages moves the
// selection along.
TEST_F(HelpWindowTest, ContentsListOpensEveryPageAndFollowsLinks) {
  HelpWindow* help = HelpWindow::ShowOrRaise(nullptr);
  auto* contents = help->findChild<QListWidget*>(QStringLiteral("helpContents"));
  auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
  ASSERT_TRUE(contents && browser);
  ASSERT_GE(contents->count(), 8);
  QStringList pages;
  for (int row = 0; row < contents->count(); ++row) {
    QListWidgetItem* item = contents->item(row);
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {}, contents->visualItemRect(item).center());
    EXPECT_EQ(contents->currentRow(), row);
    EXPECT_EQ(browser->documentTitle(), item->text()) << browser->source().toString().toStdString();
    EXPECT_GT(browser->toPlainText().size(), 300) << item->text().toStdString();
    pages << browser->source().fileName();
  }
  pages.removeDuplicates();
  EXPECT_EQ(pages.size(), contents->count());

  browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
  EXPECT_EQ(contents->currentRow(), 0);
  browser->setSource(QUrl(QStringLiteral("qrc:/help/command-line.html")));
  EXPECT_EQ(contents->currentItem()->text(), QStringLiteral("Command line"));
}

TEST_F(HelpWindowTest, FirstStartShowsTheHelpOnce) {
  test::TempDir dir;
  QWidget owner;
  {
    QtSettingsStore store(dir.File("Velmora.conf"));
    EXPECT_TRUE(ShowHelpOnFirstRun(store, &owner));
  }
  EXPECT_EQ(HelpWindowsOpen(), 1);
  HelpWindow::CloseOpen();
  DeleteLater();

  QtSettingsStore store(dir.File("Velmora.conf"));
  EXPECT_FALSE(ShowHelpOnFirstRun(store, &owner));
  EXPECT_EQ(HelpWindowsOpen(), 0);
}

}  // namespace
}  // namespace velmora::ui
