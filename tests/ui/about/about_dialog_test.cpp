#include "ui/about/about_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

#include "ui/about/web_commands.h"
#include "ui/web_addresses.h"

namespace velmora::ui {
namespace {

TEST(WebCommandsTest, EachCommandOpensItsTargetUnderTheWaitCursor) {
  std::vector<QUrl> opened;
  std::vector<bool> waiting;
  const UrlOpener opener = [&](const QUrl& url, const OpenFinished& finished) {
    opened.push_back(url);
    const QCursor* cursor = QGuiApplication::overrideCursor();
    waiting.push_back(cursor != nullptr && cursor->shape() == Qt::WaitCursor);
    finished(url.scheme() == QStringLiteral("https") ? QString() : QStringLiteral("no mail program"));
  };
  for (const WebCommand command :
       {WebCommand::HomePage, WebCommand::CheckUpdates, WebCommand::SupportMail, WebCommand::TellAFriend}) {
    RunWebCommand(command, opener);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the wait cursor ends with the command";
  EXPECT_EQ(waiting, std::vector<bool>(4, true));

  ASSERT_EQ(opened.size(), 4u);
  EXPECT_EQ(opened[0].toString(), QString::fromUtf8(kHomePageUrl));
  EXPECT_EQ(opened[1].adjusted(QUrl::RemoveQuery).toString(), QString::fromUtf8(kHomePageUrl) + QStringLiteral("checkforupdates/"));
  const QUrlQuery update(opened[1]);
  EXPECT_EQ(update.queryItemValue(QStringLiteral("ver")), QString::fromUtf8(kVersion));
  EXPECT_EQ(update.queryItemValue(QStringLiteral("build")), QString::fromUtf8(kBuild));
  EXPECT_EQ(opened[2].scheme(), QStringLiteral("mailto"));
  EXPECT_TRUE(opened[2].path().contains(u'@'));
  const QUrlQuery mail(opened[3]);
  EXPECT_EQ(mail.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
            QStringLiteral("Velmora - very COOL application!!!"));
  EXPECT_EQ(mail.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
            QStringLiteral("Download from ") + QString::fromUtf8(kHomePageUrl));
}

TEST(AboutDialogTest, ShowsVersionLinksAndRunsItsCommands) {
  CAboutDlg dialog;
  std::vector<QUrl> opened;
  dialog.SetOpener([&](const QUrl& url, const OpenFinished& finished) {
    opened.push_back(url);
    finished(QString());
  });
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  // Enter in the fresh box closes it: OK holds the focus, not the first link.
  EXPECT_EQ(QApplication::focusWidget(), dialog.findChild<QPushButton*>(QStringLiteral("okButton")));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  dialog.setResult(QDialog::Rejected);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Velmora"));
  EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("aboutVersion"))->text(),
            QStringLiteral("Velmora v%1 build %2").arg(QString::fromUtf8(kVersion), QString::fromUtf8(kBuild)));

  auto* home = dialog.findChild<CLinkStatic*>(QStringLiteral("homePageLink"));
  auto* support = dialog.findChild<CLinkStatic*>(QStringLiteral("supportLink"));
  auto* encoder = dialog.findChild<CLinkStatic*>(QStringLiteral("encoderLink"));
  ASSERT_TRUE(home && support && encoder);
  EXPECT_EQ(home->text(), QStringLiteral("Visit Velmora Homepage"));
  EXPECT_EQ(support->text(), QStringLiteral("Feedback and Support"));
  EXPECT_EQ(encoder->text(), QStringLiteral("The program uses LAME MP3 encoder"));
  EXPECT_EQ(encoder->Target(), QString::fromUtf8(kEncoderSiteUrl));
  for (CLinkStatic* link : {home, support, encoder}) EXPECT_TRUE(link->font().underline());

  QTest::mouseClick(support, Qt::LeftButton, {}, support->rect().center());
  EXPECT_TRUE(support->IsVisited());
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("checkUpdatesButton")), Qt::LeftButton);
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("tellAFriendButton")), Qt::LeftButton);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], WebCommandTarget(WebCommand::SupportMail));
  EXPECT_EQ(opened[1], WebCommandTarget(WebCommand::CheckUpdates));
  EXPECT_EQ(opened[2], WebCommandTarget(WebCommand::TellAFriend));
  EXPECT_TRUE(dialog.isVisible()) << "the commands leave the box open";

  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace velmora::ui
