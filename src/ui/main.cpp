// Velmora's window: velmora [FILE|FOLDER]... starts it with those paths added as if dropped.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>
#include <cstdio>

#include "platform/settings_store.h"
#include "ui/file_manager.h"
#include "ui/main_window.h"
#include "ui/translations.h"

int main(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Converts Apple AIFF and AIFF-C files to MP3 or WAV."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
  const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
  parser.addOption(help);
  parser.addOption(version);
  parser.addPositionalArgument(QStringLiteral("PATH"),
                               QStringLiteral("AIFF files, and folders to search for them, to put in the list."),
                               QStringLiteral("[PATH...]"));

  // --help and --version answer before the window system is reached, so that they work without a
  // display. Qt's own options (-platform, -style) are not known yet here, hence no error checks.
  QStringList rawArguments;
  for (int i = 0; i < argc; ++i) rawArguments << QString::fromLocal8Bit(argv[i]);
  parser.parse(rawArguments);
  if (parser.isSet(help)) {
    const QCoreApplication core(argc, argv);  // names the program in the usage line
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("velmora %s\n", VELMORA_VERSION);
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velmora"));
  QApplication::setOrganizationName(QStringLiteral("Tandrel"));
  QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/artwork/velmora.svg")));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.velmora"));
  const velmora::ui::UiTranslations translations;
  // QApplication has taken its own options out of the arguments: anything else unknown is a
  // mistake, reported on stderr with exit status 1.
  parser.process(app);
  const QStringList paths = parser.positionalArguments();

  velmora::QtSettingsStore store;
  velmora::ui::DesktopFileManager fileManager;
  velmora::ui::CMainDlg window(store, fileManager);
  window.show();
  // Once the window is up: the first-run help, then the paths of the command line.
  QTimer::singleShot(0, &window, [&window, paths] {
    window.CheckFirstRun();
    window.AddPaths(paths);
  });
  return QApplication::exec();
}
