#include "ui/controls/link_static.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"
#include "ui/message_box_catcher.h"

namespace velmora::ui {
namespace {

const QString kMail = QStringLiteral("mailto:support@example.org");

struct LinkWindow {
  QWidget window;
  CLinkStatic* link;
  std::vector<QUrl> opened;
  bool openSucceeds = true;

  // A fake opener records the targets; without one the link uses the desktop's.
  explicit LinkWindow(const QString& text, bool fakeOpener = true) {
    auto* layout = new QVBoxLayout(&window);
    link = new CLinkStatic(text, &window);
    layout->addWidget(link);
    layout->addStretch();
    if (fakeOpener) {
      link->SetOpener([this](const QUrl& url, const OpenFinished& finished) {
        opened.push_back(url);
        finished(openSucceeds ? QString() : QStringLiteral("No program is set to open web addresses."));
      });
    }
    window.resize(300, 120);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QPoint Centre() const { return link->rect().center(); }
  QColor Drawn() const { return link->palette().color(QPalette::WindowText); }
};

TEST(LinkStaticTest, MailLinkHoversAndTurnsVisitedAfterAnOpenThatWorked) {
  LinkWindow w(QStringLiteral("Feedback and Support"));
  w.link->SetTarget(kMail);
  w.link->SetUnderline(CLinkStatic::Underline::Always);
  EXPECT_EQ(w.link->text(), QStringLiteral("Feedback and Support"));
  EXPECT_EQ(w.link->toolTip(), kMail);
  EXPECT_TRUE(w.link->font().underline());
  EXPECT_EQ(w.Drawn(), QColor(0, 0, 238));
  // The control is only as wide as its text.
  EXPECT_EQ(w.link->width(), w.link->sizeHint().width());

  QTest::mouseMove(w.link, w.Centre());
  EXPECT_TRUE(w.link->IsHovering());
  EXPECT_EQ(w.Drawn(), QColor(255, 0, 0));
  QTest::mouseMove(&w.window, QPoint(w.window.width() - 2, w.window.height() - 2));
  EXPECT_FALSE(w.link->IsHovering());
  EXPECT_EQ(w.Drawn(), QColor(0, 0, 238));
  EXPECT_TRUE(w.link->font().underline()) << "always underlined, hovering or not";

  test::MessageBoxCatcher catcher;
  QTest::mouseClick(w.link, Qt::LeftButton, {}, w.Centre());
  ASSERT_EQ(w.opened.size(), 1u);
  EXPECT_EQ(w.opened[0], QUrl(kMail));
  EXPECT_TRUE(w.link->IsVisited());
  EXPECT_EQ(w.Drawn(), QColor(85, 26, 139));
  EXPECT_TRUE(catcher.Boxes().empty());
}

TEST(LinkStaticTest, FailedOpenExplainsItselfAndLeavesTheLinkUnvisited) {
  LinkWindow w{QString()};
  w.link->SetTarget(QStringLiteral("https://example.org/page"));
  EXPECT_EQ(w.link->text(), QStringLiteral("https://example.org/page")) << "an empty text shows the target";
  EXPECT_FALSE(w.link->font().underline());
  QTest::mouseMove(w.link, w.Centre());
  EXPECT_TRUE(w.link->font().underline()) << "underlined while the mouse is over it";

  w.link->setFocus();
  QTest::keyClick(w.link, Qt::Key_Space);
  ASSERT_TRUE(w.link->IsVisited());

  test::MessageBoxCatcher catcher;
  w.openSucceeds = false;
  QTest::mouseClick(w.link, Qt::LeftButton, {}, w.Centre());
  EXPECT_EQ(w.opened.size(), 2u);
  EXPECT_FALSE(w.link->IsVisited()) << "a failed click makes a visited link unvisited again";
  QTest::mouseMove(&w.window, QPoint(w.window.width() - 2, w.window.height() - 2));
  EXPECT_EQ(w.Drawn(), QColor(0, 0, 238));
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  const auto& box = catcher.Boxes()[0];
  EXPECT_EQ(box.title, QStringLiteral("Velmora"));
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(box.text, QStringLiteral("Unable to open hyperlink:\n\nNo program is set to open web addresses."));
}

// Puts a folder first on PATH for as long as it lives; the old PATH comes back however the test
// ends, so a failed assertion does not leave the other tests running a fake opener.
class PathPrefix {
 public:
  explicit PathPrefix(const std::filesystem::path& folder) : m_saved(qgetenv("PATH")) {
    qputenv("PATH", QByteArray::fromStdString(folder.string()) + ':' + m_saved);
  }
  ~PathPrefix() { qputenv("PATH", m_saved); }
  PathPrefix(const PathPrefix&) = delete;
  PathPrefix& operator=(const PathPrefix&) = delete;

 private:
  QByteArray m_saved;
};

// The desktop opener goes by xdg-open's exit status, so a desktop without a web browser is told
// apart from one that opened the page. A script on PATH stands in for xdg-open.
TEST(LinkStaticTest, DesktopOpenerReportsWhatXdgOpenSays) {
  test::TempDir bin;
  const PathPrefix opener(bin.path());
  auto useOpenerExitingWith = [&](int status) {
    const std::string script = bin.Write("xdg-open", {});
    std::ofstream(script) << "#!/bin/sh\necho \"$1\" >> " << bin.File("asked") << "\nexit " << status << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  };

  LinkWindow w(QStringLiteral("Home"), false);
  w.link->SetTarget(QStringLiteral("https://example.org/home"));
  test::MessageBoxCatcher catcher;
  useOpenerExitingWith(3);
  QTest::mouseClick(w.link, Qt::LeftButton, {}, w.Centre());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !catcher.Boxes().empty(); }));
  EXPECT_FALSE(w.link->IsVisited());
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].text, QStringLiteral("Unable to open hyperlink:\n\nNo program is set to open web addresses."));

  useOpenerExitingWith(0);
  QTest::mouseClick(w.link, Qt::LeftButton, {}, w.Centre());
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.link->IsVisited(); }));
  EXPECT_EQ(catcher.Boxes().size(), 1u);
  std::string asked;
  test::RunCommand("cat " + test::ShellQuote(bin.File("asked")), &asked);
  EXPECT_EQ(asked, "https://example.org/home\nhttps://example.org/home\n");

  // Assistive technology presses the link as a click does.
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(w.link);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Link);
  EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Home"));
  ASSERT_NE(accessible->actionInterface(), nullptr);
  ASSERT_TRUE(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  useOpenerExitingWith(4);
  accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(QTest::qWaitFor([&] { return catcher.Boxes().size() == 2; }));
  EXPECT_FALSE(w.link->IsVisited());
}

}  // namespace
}  // namespace velmora::ui
