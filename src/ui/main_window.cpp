#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <thread>

#include "filelist/add_candidates.h"
#include "filelist/folder_tree.h"
#include "platform/settings_store.h"
#include "settings/settings_io.h"
#include "ui/about/help_window.h"
#include "ui/about/web_commands.h"
#include "ui/controls/accessible_roles.h"
#include "ui/add_files_progress_dialog.h"
#include "ui/adding_run.h"
#include "ui/controls/owner_draw_menu.h"
#include "ui/controls/skin_button.h"
#include "ui/controls/skin_style.h"
#include "ui/conversion_run.h"
#include "ui/convert_progress_dialog.h"
#include "ui/file_list_view.h"
#include "ui/file_manager.h"
#include "ui/options/folder_chooser.h"
#include "ui/options/opt_sheet.h"
#include "ui/web_addresses.h"

namespace velmora::ui {
namespace {

const QString kCaption = QStringLiteral("Velmora");
const char* const kSelectAFile =
    QT_TRANSLATE_NOOP("velmora::ui::CMainDlg", "You should select a AIFF file at least.");
const char* const kListIsEmpty = QT_TRANSLATE_NOOP("velmora::ui::CMainDlg", "There aren't AIFF files in list.");
constexpr QRect kListRect(137, 63, 552, 465);
// The command buttons span the panel, as wide as the home-page link below them, so that the
// longer words of other languages fit beside the buttons' margins.
constexpr QSize kButtonFace(112, 26);
constexpr int kRowHeight = 20;
// Every header section keeps room at its right for the sort arrow (11 pixels, less the padding it
// replaces), so that a right-aligned title never runs under it.
constexpr int kSortArrowRoom = 7;

QIcon Art(const char* name) { return QIcon(QStringLiteral(":/artwork/") + QLatin1String(name)); }

// The tagline beside the caption buttons, drawn into the skin in the user's language: it ends at
// x 610 on the caption's baseline.
void DrawTagline(QPixmap& skin, const QString& text) {
  QPainter painter(&skin);
  painter.setFont(SkinFont(11));
  painter.setPen(skin::kMutedText);
  painter.drawText(QPointF(610 - painter.fontMetrics().horizontalAdvance(text), 26), text);
}

// The address without its scheme and trailing slash, as the home-page link shows it.
QString ShownAddress(const QString& url) {
  QString text = url;
  text.remove(QStringLiteral("https://")).remove(QStringLiteral("http://"));
  if (text.endsWith(u'/')) text.chop(1);
  return text;
}

int JobCount() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

std::vector<std::string> ToPaths(const QStringList& list) {
  std::vector<std::string> paths;
  for (const QString& path : list) paths.push_back(QDir::cleanPath(QDir::current().absoluteFilePath(path)).toStdString());
  return paths;
}

}  // namespace

CMainDlg::CMainDlg(SettingsStore& store, FileManager& fileManager, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint),
      m_store(store),
      m_fileManager(fileManager),
      m_folders(PlatformOutputFolders()),
      m_chooseFolder(ChooseFolder),
      m_pickFiles(ChooseAiffFiles) {
  // Before anything can announce the window or its link.
  AnnounceAsWindow(staticMetaObject);
  AnnounceLinkButtons();
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(kCaption);
  setWindowIcon(Art("velmora.svg"));
  setAccessibleName(kCaption);
  LoadSettings(m_settings, m_store);
  setFixedSize(kWidth, kHeight);
  setFont(SkinFont());
  setPalette(SkinPalette());
  setAcceptDrops(true);
  m_skin = SkinPixmap(QStringLiteral("background.svg"), size(), qApp->devicePixelRatio());
  DrawTagline(m_skin, tr("AIFF to MP3, WAV, FLAC and Opus"));

  m_content = new QWidget(this);
  m_content->setObjectName(QStringLiteral("content"));
  m_content->setGeometry(rect());
  BuildList();
  BuildButtons();
  BuildMenus();

  // The window's keys. Enter and Esc do nothing here (see keyPressEvent).
  auto* addFiles = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
  connect(addFiles, &QShortcut::activated, this, &CMainDlg::AddAiff);
  auto* remove = new QShortcut(QKeySequence(Qt::Key_Delete), this);
  connect(remove, &QShortcut::activated, this, &CMainDlg::RemoveSelected);
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &CMainDlg::ShowHelp);

  // A file manager that cannot be reached is said, whenever its answer comes.
  m_fileManager.OnUnavailable([window = QPointer<CMainDlg>(this)](const QString& path) {
    if (window) {
      QMessageBox::warning(window, kCaption, tr("No file manager could be opened to show \"%1\".").arg(path));
    }
  });

  // Centred on the screen by the window itself, so that it knows where it stands even where
  // the window manager does not say (a frameless window).
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

CMainDlg::~CMainDlg() {
  m_fileManager.OnUnavailable({});
  delete m_adding;
  delete m_converting;
  // The list's view and its selection go before the list they show, a member.
  delete m_content;
}

void CMainDlg::BuildList() {
  m_list = new FileListView(m_model, m_content);
  m_list->setObjectName(QStringLiteral("fileList"));
  m_list->setAccessibleName(tr("AIFF files"));
  m_list->setGeometry(kListRect);
  connect(m_list, &FileListView::MenuRequested, this, &CMainDlg::ShowContextMenu);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setShowGrid(false);
  m_list->setWordWrap(false);
  m_list->setFrameShape(QFrame::NoFrame);
  m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_list->verticalHeader()->hide();
  // Fixed row heights keep a list of thousands of rows cheap to lay out.
  m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_list->verticalHeader()->setDefaultSectionSize(kRowHeight);
  QHeaderView* header = m_list->horizontalHeader();
  header->setHighlightSections(false);
  header->setSectionsClickable(true);
  header->setStretchLastSection(true);
  // The Status column takes what the others leave, so the list never scrolls sideways.
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (int column = 0; column + 1 < FileListModel::kColumnCount; ++column) {
    m_list->setColumnWidth(column, FileListModel::ColumnWidth(column) + kSortArrowRoom);
  }
  connect(header, &QHeaderView::sectionClicked, this, &CMainDlg::SortBy);
  // The selection stays visible when the list loses the focus.
  QPalette palette = SkinPalette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  m_list->setPalette(palette);
  m_list->setStyleSheet(QStringLiteral(
      "QTableView { background: #151D26; alternate-background-color: #18212B; border: none; }"
      "QHeaderView::section { background: #1E2C3A; color: #C9D4DE; border: none;"
      " border-right: 1px solid #26374A; border-bottom: 1px solid #33475A; padding: 3px 2px 3px 6px; }"
      // The sort arrow takes its own room at the section's right end, which the title leaves
      // free; drawn in the accent colour it shows on the dark header. The box is wider than
      // the image, which keeps a gap either side.
      "QHeaderView::up-arrow, QHeaderView::down-arrow { subcontrol-origin: padding;"
      " subcontrol-position: center right; width: 11px; height: 6px; }"
      "QHeaderView::up-arrow { image: url(:/artwork/sort-up.svg); }"
      "QHeaderView::down-arrow { image: url(:/artwork/sort-down.svg); }"
      "QScrollBar:vertical { background: #151D26; width: 10px; margin: 0; }"
      "QScrollBar::handle:vertical { background: #33475A; border-radius: 4px; min-height: 24px; margin: 2px; }"
      "QScrollBar::handle:vertical:hover { background: #2FA596; }"
      "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
      "QScrollBar::add-page, QScrollBar::sub-page { background: none; }"));
  m_list->setAlternatingRowColors(true);
}

void CMainDlg::BuildButtons() {
  struct Command {
    const char* name;
    const char* text;
    const char* tip;
    int y;
    std::function<void()> run;
  };
  const Command commands[] = {
      {"addAiffButton", QT_TR_NOOP("&Add AIFF"), QT_TR_NOOP("Add AIFF/AIF/AIFC files"), 72, [this] { AddAiff(); }},
      {"addFolderButton", QT_TR_NOOP("Add &Folder"), QT_TR_NOOP("Add AIFF/AIF/AIFC files from a folder"), 115,
       [this] { AddFolder(); }},
      {"removeAllButton", QT_TR_NOOP("Remove A&ll"), QT_TR_NOOP("Remove all files in list"), 161,
       [this] { RemoveAll(); }},
      {"convertMp3Button", QT_TR_NOOP("Convert to &MP3"), QT_TR_NOOP("Convert all files to MP3 format"), 206,
       [this] { ConvertAll(OutputFormat::Mp3); }},
      {"convertWavButton", QT_TR_NOOP("Convert to &WAV"), QT_TR_NOOP("Convert all files to WAV format"), 252,
       [this] { ConvertAll(OutputFormat::Wav); }},
      {"optionsButton", QT_TR_NOOP("&Options"), QT_TR_NOOP("Options"), 297, [this] { Options(); }},
  };
  for (const Command& command : commands) {
    auto* button = new CSkinButton(m_content);
    button->setObjectName(QLatin1String(command.name));
    button->setText(tr(command.text));
    button->setToolTip(tr(command.tip));
    button->setFont(SkinFont(11, QFont::Bold));
    button->SetBorder(false);
    button->SetFaces(CSkinButton::FaceKind::Bitmap, Art("button.svg"), Art("button-hover.svg"), kButtonFace, true);
    button->SetTextColors(skin::kText);
    button->SetTextOffset({0, -1});
    button->SetBackgroundSource(m_skin);
    button->move(9, command.y);
    connect(button, &QAbstractButton::clicked, this, command.run);
  }

  struct Caption {
    const char* name;
    const char* icon;
    const char* tip;
    int x;
    std::function<void()> run;
  };
  const Caption captions[] = {
      {"helpButton", "icon-help.svg", QT_TR_NOOP("Help"), 624, [this] { ShowHelpMenu(); }},
      {"minimizeButton", "icon-minimize.svg", QT_TR_NOOP("Minimize"), 647, [this] { showMinimized(); }},
      {"closeButton", "icon-close.svg", QT_TR_NOOP("Close"), 669, [this] { close(); }},
  };
  for (const Caption& caption : captions) {
    auto* button = new CSkinButton(m_content);
    button->setObjectName(QLatin1String(caption.name));
    button->setToolTip(tr(caption.tip));
    button->setAccessibleName(tr(caption.tip));
    button->SetFaces(CSkinButton::FaceKind::Icon, Art(caption.icon), QIcon(), {16, 16}, false);
    button->SetBackgroundSource(m_skin);
    button->setGeometry(caption.x, 11, 21, 21);
    connect(button, &QAbstractButton::clicked, this, caption.run);
    if (QLatin1String(caption.name) == QLatin1String("helpButton")) m_helpButton = button;
  }

  auto* home = new CSkinButton(m_content);
  home->SetLinkLook(true);  // first: assistive tools learn the role once
  home->setObjectName(QStringLiteral("homePageButton"));
  home->setText(ShownAddress(QString::fromUtf8(kHomePageUrl)));
  home->setToolTip(tr("Visit Velmora Homepage"));
  home->setAccessibleName(tr("Visit Velmora Homepage"));
  home->setFont(SkinFont(10));
  home->SetBorder(false);
  home->SetPressOffset(false);
  home->SetTextColors(skin::kMutedText, skin::kAccent);
  home->SetBackgroundSource(m_skin);
  home->setCursor(Qt::PointingHandCursor);
  home->setGeometry(9, 507, 113, 20);
  connect(home, &QAbstractButton::clicked, this, [] { RunWebCommand(WebCommand::HomePage); });
}

// As a click on the column's header: ascending first, then the other way.
void CMainDlg::SortBy(int column) {
  if (Busy()) return;
  QHeaderView* header = m_list->horizontalHeader();
  header->setSortIndicator(column, m_list->SortByColumn(column));
  header->setSortIndicatorShown(true);
}

std::vector<int> CMainDlg::SelectedRows() const { return m_list->SelectedRows(); }

void CMainDlg::ShowRow(int row) { m_list->scrollTo(m_model.index(row, 0)); }

void CMainDlg::ShowAddedRow(int row) {
  // The view lays out new rows later on its own; until then its scroll bar does not reach them.
  // Laying out repaints the whole list, which is why a row that only changed is not shown so.
  m_list->doItemsLayout();
  ShowRow(row);
}

void CMainDlg::Inform(const QString& text) { QMessageBox::information(this, kCaption, text); }

void CMainDlg::AddPaths(const QStringList& paths) {
  if (Busy() || paths.isEmpty()) return;
  StartAdding([dropped = ToPaths(paths)](const std::atomic<bool>& stop, int& skipped, std::vector<std::string>& roots) {
    return CollectDropCandidates(dropped, &stop, &skipped, &roots);
  });
}

void CMainDlg::CheckFirstRun() { ShowHelpOnFirstRun(m_store, this); }

void CMainDlg::AddAiff() {
  if (Busy()) return;
  const QStringList files = m_pickFiles(this);
  if (files.isEmpty()) return;
  StartAdding([paths = ToPaths(files)](const std::atomic<bool>&, int&, std::vector<std::string>&) { return paths; });
}

void CMainDlg::AddFolder() {
  if (Busy()) return;
  const auto folder = m_chooseFolder(this, tr("Add Folder"), tr("Please choose a folder:"),
                                     QString::fromStdString(m_settings.Folder));
  if (!folder) return;
  // The folder is remembered at once, even if the search then finds nothing.
  m_settings.Folder = folder->toStdString();
  SaveSettings(m_settings, m_store, kSaveFolderFlag);
  StartAdding([root = m_settings.Folder](const std::atomic<bool>& stop, int&, std::vector<std::string>& roots) {
    std::vector<std::string> candidates;
    CollectFolderTree(root, candidates, nullptr, &stop);
    roots.assign(candidates.size(), root);
    return candidates;
  });
}

void CMainDlg::RemoveSelected() {
  if (Busy()) return;
  if (m_list->RemoveSelected() == 0) Inform(tr(kSelectAFile));
}

void CMainDlg::RemoveAll() {
  if (Busy()) return;
  if (!m_model.RemoveAll()) Inform(tr(kListIsEmpty));
}

void CMainDlg::ConvertAll(OutputFormat format) {
  if (Busy()) return;
  if (m_model.rowCount() == 0) {
    Inform(tr(kListIsEmpty));
    return;
  }
  std::vector<int> rows(static_cast<std::size_t>(m_model.rowCount()));
  for (int row = 0; row < m_model.rowCount(); ++row) rows[static_cast<std::size_t>(row)] = row;
  StartBatch(rows, format);
}

void CMainDlg::ConvertSelected(OutputFormat format) {
  if (Busy()) return;
  std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    Inform(tr(kSelectAFile));
    return;
  }
  StartBatch(rows, format);
}

void CMainDlg::Options() {
  if (Busy()) return;
  // The name example shows the selected row, else the first.
  const std::vector<int> rows = SelectedRows();
  const int exampleRow = rows.empty() ? 0 : rows.front();
  const bool listed = exampleRow < m_model.rowCount();
  RunOptionsSheet(this, m_settings, m_store, m_optionsPage, listed ? m_model.Entry(exampleRow).SourcePath : std::string(),
                  listed ? m_model.Entry(exampleRow).Root : std::string());
}

void CMainDlg::BrowseSource() {
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) m_fileManager.SelectFile(QString::fromStdString(m_model.Entry(rows.front()).SourcePath));
}

void CMainDlg::BrowseDestination() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const std::string& output = m_model.Entry(rows.front()).OutputPath;
  if (!output.empty()) m_fileManager.SelectFile(QString::fromStdString(output));
}

// The whole outcome of a file, which the Status column may cut off, in a box whose text can be
// selected and copied.
void CMainDlg::ShowDetails() {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() != 1 || m_model.Details(rows.front()).isEmpty()) return;
  QMessageBox box(QMessageBox::Information, kCaption, m_model.Details(rows.front()), QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("detailsBox"));
  box.setTextFormat(Qt::PlainText);  // a file name is never markup
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.exec();
}

void CMainDlg::ShowHelp() { HelpWindow::ShowOrRaise(this); }

void CMainDlg::ShowHelpMenu() { m_helpMenu->popup(m_helpButton->mapToGlobal(QPoint(0, m_helpButton->height()))); }

void CMainDlg::ShowContextMenu(const QPoint& globalPosition) {
  if (Busy()) return;
  // With nothing selected the menu acts on the current row, which it selects to show so.
  const QModelIndex current = m_list->currentIndex();
  if (current.isValid() && SelectedRows().empty()) {
    m_list->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  ApplyEnableRules();
  m_listMenu->popup(globalPosition);
}

void CMainDlg::StartAdding(AddingRun::Collect collect) {
  auto* dialog = new CAddFilesProgressDlg(this);
  dialog->show();
  m_adding = new AddingRun(m_model, dialog, this);
  connect(m_adding, &AddingRun::Finished, this, &CMainDlg::WorkDone);
  connect(m_adding, &AddingRun::RowsAdded, this, &CMainDlg::ShowAddedRow);
  SetWorking(true);
  m_adding->Start(std::move(collect));
}

void CMainDlg::StartBatch(const std::vector<int>& rows, OutputFormat format) {
  auto* dialog = new CConvertProgressDlg(this);
  dialog->show();
  m_converting = new ConversionRun(m_model, dialog, m_fileManager, this);
  connect(m_converting, &ConversionRun::Finished, this, &CMainDlg::WorkDone);
  connect(m_converting, &ConversionRun::RowStarted, this, &CMainDlg::ShowRow);
  SetWorking(true);
  m_converting->Start(m_settings, m_folders, rows, format, JobCount());
}

void CMainDlg::SetWorking(bool working) {
  // Resting controls lose the keyboard focus; it goes back to where it was (the list, as a
  // rule), also when the window is not active yet because a dialog has only just closed.
  if (working) m_focusBeforeWork = focusWidget() ? focusWidget() : m_list;
  m_content->setEnabled(!working);
  if (working) {
    setCursor(Qt::BusyCursor);
    return;
  }
  unsetCursor();
  QWidget* focus = m_focusBeforeWork && m_focusBeforeWork->isEnabled() ? m_focusBeforeWork.data() : m_list;
  focus->setFocus(Qt::OtherFocusReason);
}

void CMainDlg::WorkDone() {
  if (m_adding) {
    QString summary = QString::fromStdString(FailureSummary(m_adding->Failed(), kSupportAddress));
    // Dropped items that are not for the list are said, not passed over in silence.
    if (const int skipped = m_adding->Skipped(); skipped > 0) {
      if (!summary.isEmpty()) summary += QStringLiteral("\n\n");
      summary += tr("%n dropped file(s) skipped: not AIFF files (.aif, .aiff, .aifc, .afc).", nullptr, skipped);
    }
    const bool failed = !m_adding->Failed().empty();
    m_adding->deleteLater();
    m_adding = nullptr;
    SetWorking(false);
    if (!summary.isEmpty() && !m_closeWhenDone) {
      if (failed) QMessageBox::warning(this, kCaption, summary);
      else Inform(summary);
    }
  }
  if (m_converting) {
    m_converting->deleteLater();
    m_converting = nullptr;
    SetWorking(false);
  }
  emit WorkFinished();
  if (m_closeWhenDone) close();
}

void CMainDlg::paintEvent(QPaintEvent*) { QPainter(this).drawPixmap(0, 0, m_skin); }

// Any free spot of the window moves it: the window system takes the drag over where it can.
void CMainDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  m_dragging = true;
  m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CMainDlg::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragging) move(event->globalPosition().toPoint() - m_dragOffset);
}

void CMainDlg::mouseReleaseEvent(QMouseEvent*) { m_dragging = false; }

void CMainDlg::keyPressEvent(QKeyEvent* event) {
  // Enter and Esc neither close the window nor start anything.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CMainDlg::closeEvent(QCloseEvent* event) {
  if (Busy()) {
    // Work in progress stops cleanly first (the file in work removed, finished ones kept).
    m_closeWhenDone = true;
    if (m_adding) m_adding->Cancel();
    if (m_converting) m_converting->Abandon();  // a closed window opens nothing afterwards
    event->ignore();
    return;
  }
  HelpWindow::CloseOpen();
  event->accept();
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (!Busy() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainDlg::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile());
  }
  event->acceptProposedAction();
  AddPaths(paths);
}

}  // namespace velmora::ui
