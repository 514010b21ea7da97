// The progress dialogs, the help window, both menus and the skinned buttons on the background.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QPainter>
#include <QTextBrowser>
#include <algorithm>

#include "screenshots/shots.h"
#include "ui/about/help_window.h"
#include "ui/add_files_progress_dialog.h"
#include "ui/controls/owner_draw_menu.h"
#include "ui/controls/skin_button.h"
#include "ui/controls/skin_style.h"
#include "ui/convert_progress_dialog.h"
#include "ui/status_text.h"

namespace velmora::shots {
namespace {

using ui::CSkinButton;
using ui::OwnerDrawMenu;

const QSize kSkinSize(699, 538);

QIcon Art(const char* name) { return QIcon(QStringLiteral(":/artwork/") + QLatin1String(name)); }

// The window's skin with buttons placed as the main window places them.
class SkinPreview : public QWidget {
 public:
  SkinPreview() {
    setFixedSize(kSkinSize);
    m_skin = ui::SkinPixmap(QStringLiteral("background.svg"), kSkinSize, devicePixelRatio());
  }
  const QPixmap& Skin() const { return m_skin; }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, m_skin); }

 private:
  QPixmap m_skin;
};

// The window's own words, in the language of the translation installed.
QString WindowText(const char* text) { return QCoreApplication::translate("velmora::ui::CMainDlg", text); }

CSkinButton* CommandButton(SkinPreview& skin, const char* text, int y) {
  auto* button = new CSkinButton(&skin);
  button->setText(WindowText(text));
  button->setFont(ui::SkinFont(11, QFont::Bold));
  button->SetBorder(false);
  button->SetFaces(CSkinButton::FaceKind::Bitmap, Art("button.svg"), Art("button-hover.svg"), {112, 26}, true);
  button->SetTextColors(ui::skin::kText);
  button->SetTextOffset({0, -1});
  button->SetBackgroundSource(skin.Skin());
  button->move(9, y);
  return button;
}

CSkinButton* CaptionButton(SkinPreview& skin, const char* icon, const char* tip, int x) {
  auto* button = new CSkinButton(&skin);
  button->setToolTip(WindowText(tip));
  button->SetFaces(CSkinButton::FaceKind::Icon, Art(icon), QIcon(), {16, 16}, false);
  button->SetBackgroundSource(skin.Skin());
  button->setGeometry(x, 11, 21, 21);
  return button;
}

void Hover(QWidget& widget) {
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(&widget, &enter);
}

void SkinShots(const QString& folder) {
  SkinPreview background;
  Save(background, folder, QStringLiteral("background"));

  SkinPreview skin;
  CommandButton(skin, "&Add AIFF", 72);
  Hover(*CommandButton(skin, "Add &Folder", 115));
  CommandButton(skin, "Remove A&ll", 161)->setDown(true);
  CommandButton(skin, "Convert to &MP3", 206);
  CommandButton(skin, "Convert to &WAV", 252);
  CommandButton(skin, "&Options", 297);
  Hover(*CaptionButton(skin, "icon-help.svg", "Help", 624));
  CaptionButton(skin, "icon-minimize.svg", "Minimize", 647)->setDown(true);
  CaptionButton(skin, "icon-close.svg", "Close", 669);
  Save(skin, folder, QStringLiteral("skin-buttons"));
}

QAction* Item(OwnerDrawMenu& menu, const char* text, const char* image = nullptr, const QKeySequence& key = {}) {
  QAction* action = menu.addAction(WindowText(text));
  if (image) action->setIcon(Art(image));
  action->setShortcut(key);
  action->setShortcutVisibleInContextMenu(true);
  return action;
}

void MenuShots(const QString& folder) {
  OwnerDrawMenu list;
  Item(list, "&Convert to MP3", "menu-convert-mp3.svg");
  Item(list, "Con&vert to WAV", "menu-convert-wav.svg");
  Item(list, "Convert All to &MP3");
  Item(list, "Convert All to &WAV");
  OwnerDrawMenu convertSelection(WindowText("Convert Selection &To"));
  Item(convertSelection, "&MP3", "menu-convert-mp3.svg");
  Item(convertSelection, "&WAV", "menu-convert-wav.svg");
  QAction* flac = Item(convertSelection, "&FLAC", "menu-convert-flac.svg", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  Item(convertSelection, "&Opus", "menu-convert-opus.svg", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  list.addMenu(&convertSelection);
  OwnerDrawMenu convertAll(WindowText("Co&nvert All To"));
  list.addMenu(&convertAll);
  list.addSeparator();
  Item(list, "Browse &Source Folder");
  Item(list, "Browse Destination &Folder")->setEnabled(false);
  Item(list, "&Details...")->setEnabled(false);
  list.addSeparator();
  QAction* add = Item(list, "&Add AIFF...", "menu-add-files.svg", QKeySequence(Qt::CTRL | Qt::Key_O));
  Item(list, "Add F&older");
  Item(list, "&Remove", "menu-remove.svg", QKeySequence(Qt::Key_Delete))->setEnabled(false);
  Item(list, "Remove Al&l");
  list.addSeparator();
  OwnerDrawMenu sortBy(WindowText("Sort &By"));
  list.addMenu(&sortBy);
  list.popup({40, 40});
  list.setActiveAction(add);
  Save(list, folder, QStringLiteral("menu-list"));
  // The same menu with the selection's Convert submenu open beside it, drawn together.
  list.setActiveAction(convertSelection.menuAction());
  convertSelection.popup(list.geometry().topRight() + QPoint(-4, list.actionGeometry(convertSelection.menuAction()).top()));
  convertSelection.setActiveAction(flac);
  const QSize logical(list.width() + convertSelection.width() - 4,
                      std::max(list.height(), list.actionGeometry(convertSelection.menuAction()).top() +
                                                  convertSelection.height()));
  QPixmap both(logical * list.devicePixelRatioF());
  both.setDevicePixelRatio(list.devicePixelRatioF());
  both.fill(Qt::transparent);
  {
    QPainter painter(&both);
    painter.drawPixmap(0, 0, list.grab());
    painter.drawPixmap(list.width() - 4, list.actionGeometry(convertSelection.menuAction()).top(), convertSelection.grab());
  }
  both.save(QDir(folder).filePath(QStringLiteral("menu-convert-to.png")));
  convertSelection.close();
  list.close();

  OwnerDrawMenu help;
  Item(help, "&Help Topics", "menu-help-topics.svg", QKeySequence(Qt::Key_F1));
  help.addSeparator();
  Item(help, "&Tell A Friend", "menu-tell-friend.svg");
  QAction* feedback = Item(help, "&Feedback and Support", "menu-feedback.svg");
  Item(help, "Home&page", "menu-home-page.svg");
  Item(help, "&Check Latest Version", "menu-check-version.svg")->setEnabled(false);
  help.addSeparator();
  Item(help, "&About...", "menu-about.svg");
  help.popup({40, 40});
  help.setActiveAction(feedback);
  Save(help, folder, QStringLiteral("menu-help"));
  help.close();
}

void ProgressShots(const QString& folder) {
  auto* adding = new ui::CAddFilesProgressDlg(nullptr);
  adding->ShowAdding(3, 10);
  Save(*adding, folder, QStringLiteral("progress-add-files"));
  adding->Finish();

  auto* converting = new ui::CConvertProgressDlg(nullptr);
  converting->SetFile(QStringLiteral("Harbour at dawn, field recording (take 2) - full length.aiff"), 42);
  converting->SetOverall(3, 12, OutputFormat::Mp3);
  ProgressEstimate estimate;
  estimate.Update(42, 1596, 4256);  // 0:42 elapsed, 1:10 left, 38 times real time
  converting->SetTiming(ui::TimingText(estimate));
  Save(*converting, folder, QStringLiteral("progress-convert"));
  converting->Finish();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void HelpShots(const QString& folder) {
  ui::HelpWindow* help = ui::HelpWindow::ShowOrRaise(nullptr);
  Save(*help, folder, QStringLiteral("help-window"));
  help->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"))->setSource(QUrl(QStringLiteral("qrc:/help/command-line.html")));
  Save(*help, folder, QStringLiteral("help-command-line"));
  ui::HelpWindow::CloseOpen();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ControlsShots(const QString& folder) {
  SkinShots(folder);
  MenuShots(folder);
  ProgressShots(folder);
  HelpShots(folder);
}

Register r("controls", &ControlsShots);

}  // namespace
}  // namespace velmora::shots
