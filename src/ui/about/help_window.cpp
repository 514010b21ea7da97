#include "ui/about/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <algorithm>

#include "settings/first_run.h"
#include "ui/controls/accessible_roles.h"
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
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "FLAC options"), "flac-options.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Opus options"), "opus-options.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Output options"), "output-options.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Loudness"), "loudness.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Where files go"), "where-files-go.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Command line"), "command-line.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Settings file"), "settings-file.html"},
    {QT_TRANSLATE_NOOP("velmora::ui::HelpWindow", "Keys and mouse"), "keys.html"},
};

constexpr QSize kPreferredSize(820, 600);
// Narrower than this, the pages are more scrolling than reading.
constexpr QSize kUsableSize(480, 360);
// A window manager adds its frame after the window is shown; until then, room for a usual one.
constexpr QSize kFrameAllowance(8, 32);
constexpr int kGap = 8;

// The page in the first of the reader's languages that the help is translated into, as the
// window's texts choose theirs. Translations sit in folders named by language (:/help/de/),
// English at the top; a page not translated yet opens in English rather than not at all.
QUrl PageUrl(const QString& page) {
  for (const QString& name : QLocale().uiLanguages()) {
    const QLocale::Language language = QLocale(name).language();
    if (language == QLocale::English) break;
    const QString folder = QStringLiteral("/help/") + QLocale::languageToCode(language);
    if (!QFileInfo(u':' + folder).isDir()) continue;
    const QString translated = folder + u'/' + page;
    if (QFileInfo::exists(u':' + translated)) return QUrl(QStringLiteral("qrc:") + translated);
    break;
  }
  return QUrl(QStringLiteral("qrc:/help/") + page);
}

// Every help page opens in the reader's language, whichever page the link came from: the
// English page shown in place of an untranslated one links back into the translation.
class HelpBrowser final : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  // Called whenever Tab or Shift+Tab has moved within the page, from link to link.
  void SetLinkStepped(std::function<void()> stepped) { m_linkStepped = std::move(stepped); }

 protected:
  // A page opened at a section keeps the section at the top while the window takes its size, as
  // a window manager gives it only after the window is shown; once the reader scrolls, it stays.
  void resizeEvent(QResizeEvent* event) override {
    const bool atSection = m_sectionTop >= 0 && verticalScrollBar()->value() == m_sectionTop;
    QTextBrowser::resizeEvent(event);
    if (atSection) ScrollToSection();
  }

  bool focusNextPrevChild(bool next) override {
    const bool moved = QTextBrowser::focusNextPrevChild(next);
    if (m_linkStepped) m_linkStepped();
    return moved;
  }

  void doSetSource(const QUrl& url, QTextDocument::ResourceType type) override {
    QUrl target = url;
    if (url.scheme() == QLatin1String("qrc") && url.path().startsWith(QLatin1String("/help/")) &&
        url.fileName().endsWith(QLatin1String(".html"))) {
      target = PageUrl(url.fileName());
      target.setFragment(url.fragment());
    }
    QTextBrowser::doSetSource(target, type);
    m_sectionTop = -1;
    if (!target.fragment().isEmpty()) ScrollToSection();
  }

 private:
  void ScrollToSection() {
    scrollToAnchor(source().fragment());
    m_sectionTop = verticalScrollBar()->value();
  }

  std::function<void()> m_linkStepped;
  int m_sectionTop = -1;  // where the section of the page shown was scrolled to, if it was
};

// The keys that close the help, as they close a document window.
const QKeySequence kCloseKeys[] = {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                   QKeySequence(Qt::CTRL | Qt::Key_F4)};

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
  // Before anything can announce the window, which would make and keep a pane's interface for it.
  AnnounceAsWindow(staticMetaObject);
  setObjectName(QStringLiteral("helpWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("Velmora Help"));
  setWindowIcon(QIcon(QStringLiteral(":/artwork/velmora.svg")));

  m_contents = new QListWidget(this);
  m_contents->setObjectName(QStringLiteral("helpContents"));
  m_contents->setAccessibleName(tr("Contents"));
  m_contents->setStyleSheet(ContentsStyle());
  for (const Topic& topic : kTopics) m_contents->addItem(tr(topic.title));
  m_contents->setFixedWidth(m_contents->sizeHintForColumn(0) + 32);

  auto* browser = new HelpBrowser(this);
  browser->SetLinkStepped([this] { DescribeLink(); });
  m_browser = browser;
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

  for (const QKeySequence& keys : kCloseKeys) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
  }

  connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::ShowTopic);
  connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::FollowPage);
  m_contents->setCurrentRow(0);

  resize(kPreferredSize);
  if (owner) connect(owner, &QObject::destroyed, this, &QWidget::close);
}

// Placed once shown, when the window's frame is known.
void HelpWindow::PlaceBeside(const QWidget& owner) {
  const QScreen* screen = owner.screen();
  if (!screen) return;
  const QSize frame = (frameGeometry().size() - size()).expandedTo(kFrameAllowance);
  const QRect place = PlaceHelpWindow(screen->availableGeometry(), owner.frameGeometry(), kPreferredSize + frame,
                                      (minimumSizeHint() + frame).expandedTo(kUsableSize));
  resize(place.size() - frame);
  move(place.topLeft());
}

HelpWindow* HelpWindow::ShowOrRaise(QWidget* owner, const QString& page) {
  // A dialog's help outlives the dialog: the window belongs to the dialog's own owner.
  while (owner && owner->parentWidget()) owner = owner->parentWidget()->window();
  QPointer<HelpWindow>& window = OpenWindow();
  if (!window) {
    window = new HelpWindow(owner);
    window->show();
    if (owner) window->PlaceBeside(*owner);
  }
  if (!page.isEmpty()) window->ShowPage(page);
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

QString HelpWindow::PageShown() const { return m_browser->source().fileName(); }

void HelpWindow::ShowPage(const QString& page) {
  const QString file = page.section(u'#', 0, 0);
  const QString section = page.section(u'#', 1);
  for (int row = 0; row < static_cast<int>(std::size(kTopics)); ++row) {
    if (file != QLatin1String(kTopics[row].page)) continue;
    m_contents->setCurrentRow(row);
    if (section.isEmpty()) return;
    QUrl url = PageUrl(file);
    url.setFragment(section);
    m_browser->setSource(url);
  }
}

// A link reached by Tab is selected, which screen readers read out as text; the description says
// where it leads: the topic's title for a page of the help, else the address.
void HelpWindow::DescribeLink() {
  const QTextCursor cursor = m_browser->textCursor();
  const bool selected = cursor.hasSelection();  // selection-reader-ok: a text cursor's
  const QUrl target(selected ? cursor.charFormat().anchorHref() : QString());
  QString description;
  if (!target.isEmpty()) {
    description = target.toString();
    const QUrl resolved = m_browser->source().resolved(target);
    for (const Topic& topic : kTopics) {
      if (resolved.scheme() == QLatin1String("qrc") && resolved.fileName() == QLatin1String(topic.page)) {
        description = tr("Link to the help page \"%1\"").arg(tr(topic.title));
      }
    }
    if (description == target.toString()) description = tr("Link to %1").arg(description);
  }
  m_browser->setAccessibleDescription(description);
}

void HelpWindow::ShowTopic(int row) {
  if (row < 0 || row >= static_cast<int>(std::size(kTopics))) return;
  // A link to a place within the page has already shown it.
  const QString page = QLatin1String(kTopics[row].page);
  if (m_browser->source().fileName() != page) m_browser->setSource(PageUrl(page));
}

// Links between pages move the selection in the contents list along.
void HelpWindow::FollowPage(const QUrl& url) {
  DescribeLink();  // a new page starts with no link chosen
  const QString page = url.fileName();
  for (int row = 0; row < static_cast<int>(std::size(kTopics)); ++row) {
    if (page == QLatin1String(kTopics[row].page)) {
      m_contents->setCurrentRow(row);
      return;
    }
  }
}

void AddHelpKey(QWidget* window, std::function<QString()> page) {
  auto* key = new QShortcut(QKeySequence::HelpContents, window);
  QObject::connect(key, &QShortcut::activated, window,
                   [window, page = std::move(page)] { HelpWindow::ShowOrRaise(window, page()); });
}

QRect PlaceHelpWindow(const QRect& screen, const QRect& owner, QSize preferred, QSize minimum) {
  const int right = screen.right() - owner.right() - kGap;
  const int left = owner.left() - screen.left() - kGap;
  const int room = std::max(left, right);
  if (room >= minimum.width()) {
    const QSize size(std::min(preferred.width(), room), std::min(preferred.height(), screen.height()));
    const int x = right >= left ? owner.right() + 1 + kGap : owner.left() - kGap - size.width();
    const int y = std::clamp(owner.top(), screen.top(), screen.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
  }
  const QSize size = preferred.boundedTo(QSize(std::max(minimum.width(), screen.width() * 3 / 5),
                                               std::max(minimum.height(), screen.height() * 3 / 5)))
                         .boundedTo(screen.size());
  return {screen.bottomRight() - QPoint(size.width() - 1, size.height() - 1), size};
}

bool ShowHelpOnFirstRun(SettingsStore& store, QWidget* owner) {
  if (!CheckFirstRun(store)) return false;
  HelpWindow::ShowOrRaise(owner);
  return true;
}

}  // namespace velmora::ui
