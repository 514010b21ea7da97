// Velmora's window: velmora [FILE|FOLDER]... starts it with those paths added as if dropped.
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "platform/settings_store.h"
#include "ui/file_manager.h"
#include "ui/main_window.h"
#include "ui/translations.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora"));
  QApplication::setOrganizationName(QStringLiteral("Tandrel"));
  QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/velmora.svg")));
  QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
  const velmora::ui::UiTranslations translations;

  velmora::QtSettingsStore store;
  velmora::ui::DesktopFileManager fileManager;
  velmora::ui::CMainDlg window(store, fileManager);
  window.show();
  QStringList paths = QApplication::arguments();
  paths.removeFirst();
  // Once the window is up: the first-run help, then the paths of the command line.
  QTimer::singleShot(0, &window, [&window, paths] {
    window.CheckFirstRun();
    window.AddPaths(paths);
  });
  return QApplication::exec();
}
