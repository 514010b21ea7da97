#include "ui/about/help_window.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QListWidget>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "settings/first_run.h"
#include "ui/controls/skin_style.h"

namespace velmora::ui {
namespace {

struct Topic {
  const char* title;
  const char* page;
};

// The manual's pages in reading order, as the contents list shows them.
constexpr Topic kTopics[] = {
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Welcome"), "index.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Adding files"), "adding-files.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Converting"), "converting.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "MP3 options"), "mp3-options.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "WAV options"), "wav-options.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Output options"), "output-options.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Where files go"), "where-files-go.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Command line"), "command-line.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Settings file"), "settings-file.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Keys and mouse"), "keys.html"},
};

QUrl PageUrl(const char* page) { return QUrl(QStringLiteral("qrc:/help/") + QLatin1String(page)); }

QPointer<HelpWindow>& OpenWindow() {
  static QPointer<HelpWindow> window;
  return window;
}

QString ContentsStyle() {
  return QStringLiteral(
             "QListWidget { background: %1; color: %2; border: none; padding: 10px 0; outline: 0; }"
             "QListWidget::item { padding: 6px 16px; border-left: 3px solid transparent; }"
             "QListWidget::item:hover { background: %3; }"
             "QListWidget::item:selected { background: %3; color: %2; border-left: 3px solid %4; }")
      .arg(skin::kInk.name(), skin::kText.name(), skin::kRaised.name(), skin::kAccent.name());
}

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("helpWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Velmora Help"));
  setWindowIcon(QIcon(QStringLiteral(":/artwork/velmora.svg")));

  m_contents = new QListWidget(this);
  m_contents->setObjectName(QStringLiteral("helpContents"));
  m_contents->setAccessibleName(tr("Contents"));
  m_contents->setStyleSheet(ContentsStyle());
  for (const Topic& topic : kTopics) m_contents->addItem(tr(topic.title));
  m_contents->setFixedWidth(m_contents->sizeHintForColumn(0) + 32);

  m_browser = new QTextBrowser(this);
  m_browser->setObjectName(QStringLiteral("helpBrowser"));
  m_browser->setAccessibleName(tr("Help page"));
  m_browser->setFrameShape(QFrame::NoFrame);
  m_browser->setOpenExternalLinks(true);
  m_browser->document()->setDocumentMargin(24);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_contents);
  layout->addWidget(m_browser, 1);

  connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::ShowTopic);
  connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::FollowPage);
  m_contents->setCurrentRow(0);

  resize(820, 600);
  if (owner) {
    move(owner->frameGeometry().center() - rect().center());
    connect(owner, &QObject::destroyed, this, &QWidget::close);
  }
}

HelpWindow* HelpWindow::ShowOrRaise(QWidget* owner) {
  QPointer<HelpWindow>& window = OpenWindow();
  if (!window) window = new HelpWindow(owner);
  if (window->isMinimized()) window->showNormal();
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

void HelpWindow::CloseOpen() {
  if (QPointer<HelpWindow>& window = OpenWindow()) window->close();
}

HelpWindow* HelpWindow::Open() { return OpenWindow(); }

void HelpWindow::ShowTopic(int row) {
  if (row < 0 || row >= static_cast<int>(std::size(kTopics))) return;
  const QUrl url = PageUrl(kTopics[row].page);
  if (m_browser->source() != url) m_browser->setSource(url);
}

// Links between pages move the selection in the contents list along.
void HelpWindow::FollowPage(const QUrl& url) {
  const QString page = url.fileName();
  for (int row = 0; row < static_cast<int>(std::size(kTopics)); ++row) {
    if (page == QLatin1String(kTopics[row].page)) {
      m_contents->setCurrentRow(row);
      return;
    }
  }
}

bool ShowHelpOnFirstRun(SettingsStore& store, QWidget* owner) {
  if (!CheckFirstRun(store)) return false;
  HelpWindow::ShowOrRaise(owner);
  return true;
}

}  // namespace velmora::ui
