// The main window with a filled list, and the same window while a batch converts.
#include <QApplication>
#include <QPainter>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QThread>
#include <QWindow>

#include "platform/settings_store.h"
#include "screenshots/shots.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"
#include "ui/convert_progress_dialog.h"
#include "ui/file_manager.h"
#include "ui/main_window.h"

namespace velmora::shots {
namespace {

class NoFileManager final : public ui::FileManager {
 public:
  void SelectFile(const QString&) override {}
};

// A sine tone of `seconds`, so the list shows real durations.
void WriteTone(const test::TempDir& dir, const std::string& name, int seconds, double rate, int channels) {
  test::AiffBuilder b;
  b.channels = channels;
  b.rate = rate;
  b.frames = static_cast<std::uint32_t>(seconds * rate);
  b.sound.resize(static_cast<std::size_t>(b.frames) * 2 * static_cast<std::size_t>(channels));
  dir.Write(name, b.Build());
}

// Lets the event loop run until `done` holds, at most `limitMs`.
template <typename Done>
void WaitFor(Done done, int limitMs = 120000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < limitMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

void WaitUntilIdle(ui::CMainDlg& window) {
  WaitFor([&] { return !window.Busy(); });
}

void MainWindowShots(const QString& folder) {
  test::TempDir dir;
  const struct {
    const char* name;
    int seconds;
    double rate;
    int channels;
  } files[] = {
      {"Harbour at dawn.aiff", 184, 44100, 2},  {"Night train (take 2).aif", 251, 48000, 2},
      {"Field recorder 01.aifc", 62, 22050, 1}, {"Kalimba loop.aiff", 12, 44100, 2},
      {"Rain on tin roof.aiff", 320, 32000, 2}, {"Interview - Ann.aif", 95, 16000, 1},
      {"Choir rehearsal.aiff", 403, 44100, 2},  {"Synth pad C minor.aiff", 41, 48000, 2},
  };
  QStringList paths;
  for (const auto& file : files) {
    WriteTone(dir, file.name, file.seconds, file.rate, file.channels);
    paths << QString::fromStdString(dir.File(file.name));
  }
  QtSettingsStore store(dir.File("Velmora.conf"));
  NoFileManager fileManager;
  ui::CMainDlg window(store, fileManager);
  window.SetOutputFolders({dir.File("docs"), dir.File("program"), true});
  window.show();
  window.AddPaths(paths.mid(0, 4));
  WaitUntilIdle(window);
  // The first four converted, the rest added afterwards.
  window.findChild<QAction*>(QStringLiteral("convertAllMp3"))->trigger();
  WaitUntilIdle(window);
  window.AddPaths(paths.mid(4));
  WaitUntilIdle(window);
  // Sorted by duration, as a click on that header does, so the sort arrow shows.
  if (auto* list = window.findChild<QTableView*>(QStringLiteral("fileList"))) {
    emit list->horizontalHeader()->sectionClicked(FileListModel::DurationColumn);
  }
  Save(window, folder, QStringLiteral("main-window"));

  // While converting: the window and its progress dialog, drawn together as on the screen.
  window.findChild<QAction*>(QStringLiteral("convertAllWav"))->trigger();
  WaitFor([&] { return window.Model().Status(6) == QStringLiteral("Converting..."); });
  auto* dialog = window.findChild<ui::CConvertProgressDlg*>();
  QPixmap picture = window.grab();
  if (dialog) {
    QPainter painter(&picture);
    const QPoint at = (window.rect().center() - dialog->rect().center()) + QPoint(60, 40);
    painter.drawPixmap(at, dialog->grab());
  }
  picture.save(QDir(folder).filePath(QStringLiteral("main-window-converting.png")));
  window.close();
  WaitUntilIdle(window);
}

Register r("main window", &MainWindowShots);

}  // namespace
}  // namespace velmora::shots
