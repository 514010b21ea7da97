// The window's two menus: the list's context menu with its convert, browse, add, remove and sort
// commands, and the help menu; and which of the list's commands the selection allows.
#include <QAction>
#include <QShortcut>

#include "ui/about/about_dialog.h"
#include "ui/about/web_commands.h"
#include "ui/controls/owner_draw_menu.h"
#include "ui/main_window.h"

namespace velmora::ui {
namespace {

QIcon Art(const char* name) { return QIcon(QStringLiteral(":/artwork/") + QLatin1String(name)); }

// The formats of the Convert submenus, in the order they are offered. A format's entry names
// it by its own name, which no language translates, and the key that converts the selection
// to it (MP3 and WAV have kept their menu letters since the first version, and have no key).
struct MenuFormat {
  OutputFormat format;
  const char* text;
  const char* name;  // object names: "selectionTo" + name, "allTo" + name
  const char* image;
  QKeyCombination key;
};

const MenuFormat kMenuFormats[] = {
    {OutputFormat::Mp3, "&MP3", "Mp3", "menu-convert-mp3.svg", {}},
    {OutputFormat::Wav, "&WAV", "Wav", "menu-convert-wav.svg", {}},
    {OutputFormat::Flac, "&FLAC", "Flac", "menu-convert-flac.svg", Qt::CTRL | Qt::SHIFT | Qt::Key_F},
    {OutputFormat::Opus, "&Opus", "Opus", "menu-convert-opus.svg", Qt::CTRL | Qt::SHIFT | Qt::Key_O},
};

// A shortcut is drawn right-aligned beside its command and announced apart from its name.
void ShowKey(QAction* action, const QKeySequence& key) {
  action->setShortcut(key);
  action->setShortcutVisibleInContextMenu(true);
}

}  // namespace

QAction* CMainDlg::AddCommand(OwnerDrawMenu& menu, const QString& text, const char* image, const char* name,
                              std::function<void()> run) {
  QAction* action = menu.addAction(text);
  action->setObjectName(QLatin1String(name));
  if (image) action->setIcon(Art(image));
  connect(action, &QAction::triggered, this, std::move(run));
  return action;
}

// A submenu with a command per format, for the selection or for every row.
OwnerDrawMenu* CMainDlg::AddConvertMenu(OwnerDrawMenu& list, const QString& title, bool selection) {
  auto* menu = new OwnerDrawMenu(title, &list);
  const QString name = selection ? QStringLiteral("convertSelection") : QStringLiteral("convertAll");
  menu->setObjectName(name + QStringLiteral("Menu"));
  menu->menuAction()->setObjectName(name);
  for (const MenuFormat& entry : kMenuFormats) {
    const OutputFormat format = entry.format;
    const QByteArray commandName = QByteArray(selection ? "selectionTo" : "allTo") + entry.name;
    QAction* command = AddCommand(*menu, QLatin1String(entry.text), entry.image, commandName.constData(),
                                  [this, format, selection] {
                                    if (selection) ConvertSelected(format);
                                    else ConvertAll(format);
                                  });
    if (selection && entry.key != QKeyCombination()) {
      ShowKey(command, QKeySequence(entry.key));
      // The menu only shows the key; the window takes it wherever its focus is.
      auto* key = new QShortcut(QKeySequence(entry.key), this);
      connect(key, &QShortcut::activated, this, [this, format] { ConvertSelected(format); });
    }
  }
  list.addMenu(menu);
  return menu;
}

void CMainDlg::BuildMenus() {
  m_listMenu = new OwnerDrawMenu(this);
  m_listMenu->setObjectName(QStringLiteral("listMenu"));
  OwnerDrawMenu& list = *m_listMenu;
  MenuActions& a = m_actions;
  a.convertMp3 = AddCommand(list, tr("&Convert to MP3"), "menu-convert-mp3.svg", "convertSelectedMp3",
                            [this] { ConvertSelected(OutputFormat::Mp3); });
  a.convertWav = AddCommand(list, tr("Con&vert to WAV"), "menu-convert-wav.svg", "convertSelectedWav",
                            [this] { ConvertSelected(OutputFormat::Wav); });
  a.convertAllMp3 = AddCommand(list, tr("Convert All to &MP3"), nullptr, "convertAllMp3",
                               [this] { ConvertAll(OutputFormat::Mp3); });
  a.convertAllWav = AddCommand(list, tr("Convert All to &WAV"), nullptr, "convertAllWav",
                               [this] { ConvertAll(OutputFormat::Wav); });
  // Every format, MP3 and WAV too, for the selection and for the whole list.
  a.convertSelection = AddConvertMenu(list, tr("Convert Selection &To"), true);
  a.convertAll = AddConvertMenu(list, tr("Co&nvert All To"), false);
  list.addSeparator();
  a.browseSource = AddCommand(list, tr("Browse &Source Folder"), nullptr, "browseSource",
                              [this] { BrowseSource(); });
  a.browseDestination = AddCommand(list, tr("Browse Destination &Folder"), nullptr, "browseDestination",
                                   [this] { BrowseDestination(); });
  a.details = AddCommand(list, tr("&Details..."), nullptr, "details", [this] { ShowDetails(); });
  list.addSeparator();
  ShowKey(AddCommand(list, tr("&Add AIFF..."), "menu-add-files.svg", "addAiff", [this] { AddAiff(); }),
          QKeySequence(Qt::CTRL | Qt::Key_O));
  AddCommand(list, tr("Add F&older"), nullptr, "addFolder", [this] { AddFolder(); });
  a.remove = AddCommand(list, tr("&Remove"), "menu-remove.svg", "remove", [this] { RemoveSelected(); });
  ShowKey(a.remove, QKeySequence(Qt::Key_Delete));
  a.removeAll = AddCommand(list, tr("Remove Al&l"), nullptr, "removeAll", [this] { RemoveAll(); });
  // The headers sort by a click; the keyboard reaches the same through the menu.
  list.addSeparator();
  a.sortBy = new OwnerDrawMenu(tr("Sort &By"), &list);
  a.sortBy->setObjectName(QStringLiteral("sortByMenu"));
  a.sortBy->menuAction()->setObjectName(QStringLiteral("sortBy"));
  for (int column = 0; column < FileListModel::kColumnCount; ++column) {
    AddCommand(*a.sortBy, m_model.headerData(column, Qt::Horizontal).toString(), nullptr, "sortByColumn",
               [this, column] { SortBy(column); })
        ->setObjectName(QStringLiteral("sortByColumn%1").arg(column));
  }
  list.addMenu(a.sortBy);

  m_helpMenu = new OwnerDrawMenu(this);
  m_helpMenu->setObjectName(QStringLiteral("helpMenu"));
  OwnerDrawMenu& help = *m_helpMenu;
  ShowKey(AddCommand(help, tr("&Help Topics"), "menu-help-topics.svg", "helpTopics", [this] { ShowHelp(); }),
          QKeySequence(Qt::Key_F1));
  help.addSeparator();
  AddCommand(help, tr("&Tell A Friend"), "menu-tell-friend.svg", "tellAFriend",
             [] { RunWebCommand(WebCommand::TellAFriend); });
  AddCommand(help, tr("&Feedback and Support"), "menu-feedback.svg", "feedback",
             [] { RunWebCommand(WebCommand::SupportMail); });
  AddCommand(help, tr("Home&page"), "menu-home-page.svg", "homePage",
             [] { RunWebCommand(WebCommand::HomePage); });
  AddCommand(help, tr("&Check Latest Version"), "menu-check-version.svg", "checkVersion",
             [] { RunWebCommand(WebCommand::CheckUpdates); });
  help.addSeparator();
  AddCommand(help, tr("&About..."), "menu-about.svg", "about", [this] {
    CAboutDlg about(this);
    about.exec();
  });
}

void CMainDlg::ApplyEnableRules() {
  const std::vector<int> rows = SelectedRows();
  const int selected = static_cast<int>(rows.size());
  const bool any = m_model.rowCount() > 0;
  MenuActions& a = m_actions;
  a.convertMp3->setEnabled(selected > 0);
  a.convertWav->setEnabled(selected > 0);
  a.convertAllMp3->setEnabled(any);
  a.convertAllWav->setEnabled(any);
  a.convertSelection->setEnabled(selected > 0);
  a.convertAll->setEnabled(any);
  a.browseSource->setEnabled(selected == 1);
  a.browseDestination->setEnabled(selected == 1 && !m_model.Entry(rows.front()).OutputPath.empty());
  a.details->setEnabled(selected == 1 && !m_model.Details(rows.front()).isEmpty());
  a.remove->setEnabled(selected > 0);
  a.removeAll->setEnabled(any);
  a.sortBy->setEnabled(any);
}

}  // namespace velmora::ui
