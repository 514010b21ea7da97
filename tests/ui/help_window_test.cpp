#include "ui/about/help_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextDocument>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include "platform/settings_store.h"
#include "support/temp_dir.h"
#include "ui/options/opt_sheet.h"

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

QString ReadPage(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The pages follow the locale; the tests read English whatever the machine's language is.
class HelpWindowTest : public testing::Test {
 protected:
  void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  void TearDown() override {
    HelpWindow::CloseOpen();
    DeleteLater();
    QLocale::setDefault(m_locale);
  }

 private:
  const QLocale m_locale;
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

// The help opens beside the window where the screen has room, else smaller and in a corner;
// either way the window's commands stay in view.
TEST_F(HelpWindowTest, HelpLeavesTheMainWindowInView) {
  const QSize preferred(820, 600);
  const QSize minimum(480, 360);
  const QRect wide(0, 0, 1920, 1080);
  const QRect centred(QPoint(610, 271), QSize(699, 538));
  const QRect beside = PlaceHelpWindow(wide, centred, preferred, minimum);
  EXPECT_EQ(beside.height(), preferred.height());
  EXPECT_GE(beside.width(), 480);
  EXPECT_FALSE(beside.intersects(centred));
  EXPECT_TRUE(wide.contains(beside));
  const QRect atLeft(QPoint(1200, 100), QSize(699, 538));
  EXPECT_LT(PlaceHelpWindow(wide, atLeft, preferred, minimum).right(), atLeft.left()) << "the side with more room";

  const QRect small(0, 0, 1024, 768);
  const QRect owner(QPoint(162, 115), QSize(699, 538));
  const QRect offset = PlaceHelpWindow(small, owner, preferred, minimum);
  EXPECT_TRUE(small.contains(offset));
  EXPECT_LT(offset.width(), preferred.width());
  EXPECT_FALSE(offset.intersects(QRect(owner.topLeft(), QSize(140, owner.height())))) << "the command column shows";

  // The real window on this screen, over a window of the main window's size.
  QWidget main;
  main.setFixedSize(699, 538);
  main.move(main.screen()->availableGeometry().center() - main.rect().center());
  main.show();
  HelpWindow* help = HelpWindow::ShowOrRaise(&main);
  EXPECT_FALSE(help->frameGeometry().contains(main.frameGeometry()));
  EXPECT_TRUE(main.screen()->availableGeometry().contains(help->frameGeometry()));
}

// The help describes what the options sheet offers today: every choice, check box and
// selection of words on a page of the sheet is named on that page's help.
TEST_F(HelpWindowTest, HelpPagesNameEveryChoiceTheOptionsOffer) {
  auto words = [](const QString& page) {
    QFile file(QStringLiteral(":/help/") + page);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(page);
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    return document.toPlainText().simplified();
  };
  auto shown = [](const QString& text) { return QString(text).remove(u'&').remove(u':').simplified(); };
  COptSheet sheet;
  auto* tabs = sheet.findChild<QTabWidget*>(QStringLiteral("optionsTabs"));
  ASSERT_NE(tabs, nullptr);
  for (int tab = 0; tab < tabs->count(); ++tab) {
    const QString page = COptSheet::HelpPage(tab);
    const QString help = words(page);
    QStringList offered;
    for (const QAbstractButton* button : tabs->widget(tab)->findChildren<QAbstractButton*>()) {
      if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)) offered << shown(button->text());
    }
    // Choices in words and the presets, without their remark in brackets; single values such
    // as "112 kbps" or "V4" are described as ranges.
    for (const QComboBox* combo : tabs->widget(tab)->findChildren<QComboBox*>()) {
      for (int i = 0; i < combo->count(); ++i) {
        const QString text = combo->itemText(i).section(QStringLiteral(" ("), 0, 0);
        if (!text.contains(QRegularExpression(QStringLiteral("\\d"))) || text.contains(QStringLiteral("Hz,"))) {
          offered << shown(text);
        }
      }
    }
    const QString compact = QString(help).remove(u' ');
    for (const QString& text : offered) {
      EXPECT_TRUE(compact.contains(QString(text).remove(u' '), Qt::CaseInsensitive))
          << qPrintable(page) << " does not name \"" << qPrintable(text) << '"';
    }
  }
  const QString welcome = words(QStringLiteral("index.html"));
  for (const char* feature : {"variable bit rate", "gapless", "Same as source (lossless)", "24", "32"}) {
    EXPECT_TRUE(welcome.contains(QLatin1String(feature), Qt::CaseInsensitive)) << "Welcome omits " << feature;
  }
}

// A link into a page lands in the same place in every language: each translation keeps its
// English page's anchors and links, and says which language it is in.
TEST_F(HelpWindowTest, TranslationsKeepTheAnchorsAndLinksOfEveryEnglishPage) {
  auto matches = [](const QString& html, const QString& pattern) {
    QStringList found;
    for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(html)) {
      if (!match.captured(1).endsWith(QLatin1String(".css"))) found << match.captured(1);
    }
    found.sort();
    found.removeDuplicates();
    return found.join(u' ').toStdString();
  };
  const QString anchors = QStringLiteral("\\b(?:id|name)=\"([^\"]+)\"");
  const QString links = QStringLiteral("\\bhref=\"([^\"]+)\"");
  QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files);
  pages.removeOne(QStringLiteral("untranslated.html"));  // this test program's own
  ASSERT_GE(pages.size(), 10);
  for (const QString& page : pages) {
    const QString english = ReadPage(QStringLiteral(":/help/") + page);
    for (const QString& language : {QStringLiteral("de"), QStringLiteral("fr")}) {
      const QString translated = ReadPage(QStringLiteral(":/help/%1/%2").arg(language, page));
      const std::string where = (language + u'/' + page).toStdString();
      ASSERT_FALSE(translated.isEmpty()) << where << " is missing";
      EXPECT_EQ(matches(translated, anchors), matches(english, anchors)) << where;
      EXPECT_EQ(matches(translated, links), matches(english, links)) << where;
      EXPECT_TRUE(translated.startsWith(QStringLiteral("<html lang=\"%1\">").arg(language))) << where;
      EXPECT_TRUE(translated.section(QStringLiteral("<body>"), 1) != english.section(QStringLiteral("<body>"), 1))
          << where << " is not translated";
    }
  }
}

// The help opens in the reader's language page by page: a page not translated yet opens in
// English, and its links lead back into the translation.
TEST_F(HelpWindowTest, HelpOpensInTheReadersLanguageElseInEnglish) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  HelpWindow* help = HelpWindow::ShowOrRaise(nullptr);
  auto* contents = help->findChild<QListWidget*>(QStringLiteral("helpContents"));
  auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
  ASSERT_TRUE(contents && browser);
  auto shown = [browser] { return browser->source().toString().toStdString(); };
  EXPECT_EQ(shown(), "qrc:/help/de/index.html");
  EXPECT_EQ(browser->documentTitle().toStdString(), "Willkommen");

  HelpWindow::ShowOrRaise(nullptr, QStringLiteral("command-line.html"));
  EXPECT_EQ(shown(), "qrc:/help/de/command-line.html");
  browser->setSource(browser->source().resolved(QUrl(QStringLiteral("output-options.html#names"))));
  EXPECT_EQ(shown(), "qrc:/help/de/output-options.html#names");
  EXPECT_EQ(help->PageShown().toStdString(), "output-options.html");
  EXPECT_EQ(contents->currentRow(), 7) << "the contents follow to Output";

  browser->setSource(QUrl(QStringLiteral("qrc:/help/untranslated.html")));
  EXPECT_EQ(shown(), "qrc:/help/untranslated.html");
  EXPECT_EQ(browser->documentTitle().toStdString(), "Untranslated");
  browser->setSource(browser->source().resolved(QUrl(QStringLiteral("converting.html"))));
  EXPECT_EQ(shown(), "qrc:/help/de/converting.html");

  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  HelpWindow::ShowOrRaise(nullptr, QStringLiteral("keys.html"));
  EXPECT_EQ(shown(), "qrc:/help/fr/keys.html");
  QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
  HelpWindow::ShowOrRaise(nullptr, QStringLiteral("wav-options.html"));
  EXPECT_EQ(shown(), "qrc:/help/wav-options.html");
}

// The help closes from the keyboard wherever the focus is in it.
TEST_F(HelpWindowTest, EscAndCtrlWCloseTheHelp) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* focus;
  } cases[] = {{Qt::Key_Escape, Qt::NoModifier, "helpBrowser"},
               {Qt::Key_Escape, Qt::NoModifier, "helpContents"},
               {Qt::Key_W, Qt::ControlModifier, "helpBrowser"},
               {Qt::Key_F4, Qt::ControlModifier, "helpContents"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << QKeySequence(c.key | c.modifiers).toString().toStdString() << " in " << c.focus);
    QPointer<HelpWindow> help = HelpWindow::ShowOrRaise(nullptr);
    QApplication::setActiveWindow(help);
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    auto* focus = help->findChild<QWidget*>(QString::fromUtf8(c.focus));
    ASSERT_NE(focus, nullptr);
    focus->setFocus();
    QTest::keyClick(focus, c.key, c.modifiers);
    DeleteLater();
    EXPECT_TRUE(help.isNull());
    EXPECT_EQ(HelpWindowsOpen(), 0);
    HelpWindow::CloseOpen();
    DeleteLater();
  }
}

// Tab moves through the links of a page, selecting each, and the page tells assistive tools
// where the link leads; Enter follows it.
TEST_F(HelpWindowTest, LinksAreReachedByTabAndSayWhereTheyLead) {
  HelpWindow* help = HelpWindow::ShowOrRaise(nullptr);
  auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
  ASSERT_NE(browser, nullptr);
  QApplication::setActiveWindow(help);
  ASSERT_TRUE(QTest::qWaitForWindowActive(help));
  browser->setFocus();
  QTest::keyClick(browser, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), browser);
  EXPECT_EQ(browser->textCursor().selectedText().toStdString(), "Adding files");
  EXPECT_EQ(browser->textCursor().charFormat().anchorHref(), QStringLiteral("adding-files.html"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(browser)->text(QAccessible::Description).toStdString(),
            "Link to the help page \"Adding files\"");
  QTest::keyClick(browser, Qt::Key_Tab);
  EXPECT_EQ(browser->textCursor().selectedText().toStdString(), "MP3 options");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(browser)->text(QAccessible::Description).toStdString(),
            "Link to the help page \"MP3 options\"");
  QTest::keyClick(browser, Qt::Key_Return);
  EXPECT_EQ(help->PageShown(), QStringLiteral("mp3-options.html"));
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
