// The window at work, measured: start-up to the first painted window; adding a folder tree of
// 10,000 small AIFF files (time to the last row, the longest stall of the event loop, memory),
// beside `velmora-cli info` on the same files; converting 100 files from the window beside
// `velmora-cli convert` with the same number of jobs, seven times each in turn; then a batch of
// 5,000 files of 0.1 s to WAV, cancelled after 1.5 s: how long Cancel takes to end it and the
// longest user-interface stall meanwhile; and Cancel 20 ms into the search of a tree of 40,000
// folders. Runs on the offscreen platform.
//   velmora_window_bench [FILES=10000] [CONVERT=100] [SHORT=5000]
#include <QApplication>
#include <QAction>
#include <QElapsedTimer>
#include <QPushButton>
#include <QPaintEvent>
#include <QThread>
#include <QTimer>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/settings_store.h"
#include "ui/add_files_progress_dialog.h"
#include "ui/file_manager.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class NoFileManager final : public velmora::ui::FileManager {
 public:
  void SelectFile(const QString&) override {}
};

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

void PutBe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A stereo 16-bit 44.1 kHz AIFF of `frames` frames holding a tone.
std::string Aiff(std::uint32_t frames) {
  std::string comm, ssnd, file;
  PutBe(comm, 2, 2);
  PutBe(comm, frames, 4);
  PutBe(comm, 16, 2);
  comm += std::string("\x40\x0E\xAC\x44\0\0\0\0\0\0", 10);
  PutBe(ssnd, 0, 8);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto s = static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 0.0627)));
    PutBe(ssnd, s, 2);
    PutBe(ssnd, s, 2);
  }
  std::string body = "AIFFCOMM";
  PutBe(body, comm.size(), 4);
  body += comm + "SSND";
  PutBe(body, ssnd.size(), 4);
  body += ssnd;
  file = "FORM";
  PutBe(file, body.size(), 4);
  return file + body;
}

// CPU seconds (user and system) used so far by this process, or by its finished children.
double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double RunSeconds(const std::string& command) {
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return Seconds(start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs the event loop until the window's work is done, sleeping while there is nothing to do.
void WaitForWork(velmora::ui::CMainDlg& window) {
  if (!window.Busy()) return;
  QEventLoop loop;
  QObject::connect(&window, &velmora::ui::CMainDlg::WorkFinished, &loop, &QEventLoop::quit);
  loop.exec();
}

template <typename Done>
void WaitFor(Done done) {
  while (!done()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
}

// Watches the event loop: how late a timer of `intervalMs` comes at worst.
class StallMeter : public QObject {
 public:
  explicit StallMeter(int intervalMs) : m_interval(intervalMs / 1000.0) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
      const auto now = Clock::now();
      m_longest = std::max(m_longest, std::chrono::duration<double>(now - m_last).count() - m_interval);
      m_last = now;
    });
  }
  void Start() {
    m_longest = 0;
    m_last = Clock::now();
    m_timer.start();
  }
  double Stop() {
    m_timer.stop();
    return m_longest;
  }

 private:
  QTimer m_timer;
  double m_interval;
  Clock::time_point m_last;
  double m_longest = 0;
};

class FirstPaint : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto processStart = Clock::now();
  QApplication app(argc, argv);
  const int fileCount = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int convertCount = argc > 2 ? std::atoi(argv[2]) : 100;
  const int shortCount = argc > 3 ? std::atoi(argv[3]) : 5000;
  const fs::path root = fs::temp_directory_path() / ("velmora-window-bench-" + std::to_string(::getpid()));
  const std::string cli = (fs::path(QCoreApplication::applicationDirPath().toStdString()) / "../src/velmora-cli").string();
  const std::string home = (root / "home").string();
  fs::create_directories(root / "tree");
  fs::create_directories(home);
  velmora::QtSettingsStore store((root / "Velmora.conf").string());
  store.WriteNumber("FirstRun", 0);
  NoFileManager fileManager;
  FirstPaint paint;
  const auto windowStart = Clock::now();
  velmora::ui::CMainDlg window(store, fileManager);
  window.installEventFilter(&paint);
  window.show();
  WaitFor([&] { return paint.painted; });
  std::printf("start-up: %.3f s from process start, %.3f s from the window's construction to its first paint\n",
              Seconds(processStart), Seconds(windowStart));

  const std::string small = Aiff(1000);
  for (int i = 0; i < fileCount; ++i) {
    const fs::path folder = root / "tree" / ("d" + std::to_string(i / 500));
    fs::create_directories(folder);
    std::ofstream(folder / ("f" + std::to_string(i) + ".aiff"), std::ios::binary) << small;
  }
  const std::string second = Aiff(44100 * 10);
  fs::create_directories(root / "convert");
  QStringList convertPaths;
  for (int i = 0; i < convertCount; ++i) {
    const fs::path path = root / "convert" / ("c" + std::to_string(i) + ".aiff");
    std::ofstream(path, std::ios::binary) << second;
    convertPaths << QString::fromStdString(path.string());
  }

  StallMeter stalls(1);
  stalls.Start();
  auto start = Clock::now();
  window.AddPaths({QString::fromStdString((root / "tree").string())});
  WaitForWork(window);
  const double addSeconds = Seconds(start);
  const double longestStall = stalls.Stop();
  std::printf("adding %d files: %.3f s to the last row (%d rows), longest event-loop stall %.1f ms, resident %ld MiB\n",
              fileCount, addSeconds, window.Model().rowCount(), longestStall * 1000, ResidentKiB() / 1024);
  const double infoSeconds = RunSeconds("HOME=" + home + " " + cli + " info " + (root / "tree").string() + " >/dev/null");
  std::printf("velmora-cli info on the same tree: %.3f s\n", infoSeconds);

  window.findChild<QAction*>(QStringLiteral("removeAll"))->trigger();
  window.AddPaths(convertPaths);
  WaitForWork(window);
  const int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  // The window and the command line take turns, so that a busy neighbour on a shared machine
  // weighs on both alike, and the medians are compared. No stall meter here: its 1 ms timer
  // would take the cores the encoders need.
  constexpr int kRounds = 7;
  std::vector<double> windowWall, windowCpu, uiCpu, cliWall, cliCpu;
  for (int round = 0; round < kRounds; ++round) {
    start = Clock::now();
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    const double uiCpuBefore = CpuSeconds(RUSAGE_THREAD);
    window.findChild<QAction*>(QStringLiteral("convertAllMp3"))->trigger();
    WaitForWork(window);
    windowWall.push_back(Seconds(start));
    windowCpu.push_back(CpuSeconds(RUSAGE_SELF) - cpuBefore);
    uiCpu.push_back(CpuSeconds(RUSAGE_THREAD) - uiCpuBefore);
    const double childCpuBefore = CpuSeconds(RUSAGE_CHILDREN);
    const fs::path out = root / "cli-out" / std::to_string(round);
    fs::create_directories(out);
    cliWall.push_back(RunSeconds("HOME=" + home + " " + cli + " convert -q -j " + std::to_string(jobs) + " -o " +
                                 out.string() + " " + (root / "convert").string() + " >/dev/null"));
    cliCpu.push_back(CpuSeconds(RUSAGE_CHILDREN) - childCpuBefore);
    std::printf("  turn %d: window %.3f s (%.2f s CPU), velmora-cli %.3f s (%.2f s CPU)\n", round + 1, windowWall.back(),
                windowCpu.back(), cliWall.back(), cliCpu.back());
  }
  std::printf("converting %d ten-second files to MP3 with %d jobs, median of %d turns: window %.3f s (%.2f s CPU, "
              "%.3f s of it on the user-interface thread), velmora-cli %.3f s (%.2f s CPU); window/cli %.3f in time, "
              "%.3f in CPU\n",
              convertCount, jobs, kRounds, Median(windowWall), Median(windowCpu), Median(uiCpu), Median(cliWall),
              Median(cliCpu), Median(windowWall) / Median(cliWall), Median(windowCpu) / Median(cliCpu));

  // Cancel in a big batch of short files: the click waits its turn in the event queue as a
  // user's does; the time runs from when it was due to the end of the batch.
  const std::string tenth = Aiff(4410);
  fs::create_directories(root / "short");
  for (int i = 0; i < shortCount; ++i) std::ofstream(root / "short" / ("s" + std::to_string(i) + ".aiff"), std::ios::binary) << tenth;
  window.findChild<QAction*>(QStringLiteral("removeAll"))->trigger();
  window.AddPaths({QString::fromStdString((root / "short").string())});
  WaitForWork(window);
  const auto converted = [&window] {
    int count = 0;
    for (int row = 0; row < window.Model().rowCount(); ++row) count += window.Model().Status(row).endsWith(QStringLiteral(".wav"));
    return count;
  };
  constexpr int kCancelAfterMs = 1500;
  StallMeter lateness(10);
  int convertedAtClick = 0;
  bool clicked = false;
  Clock::time_point clickDue;
  start = Clock::now();
  QTimer::singleShot(kCancelAfterMs, &window, [&] {
    if (!window.Busy()) return;
    clicked = true;
    clickDue = start + std::chrono::milliseconds(kCancelAfterMs);
    convertedAtClick = converted();
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    if (cancel) QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::QueuedConnection);
  });
  lateness.Start();
  window.findChild<QAction*>(QStringLiteral("convertAllWav"))->trigger();
  WaitForWork(window);
  const double longestLate = lateness.Stop();
  const double cancelSeconds = std::chrono::duration<double>(Clock::now() - clickDue).count();
  if (!clicked) std::printf("the batch of %d short files ended before the click was due\n", shortCount);
  else std::printf("cancelling %d files of 0.1 s to WAV at %.1f s: batch ended %.3f s after the click, %d files converted "
              "after it (%d in all); a 10 ms timer came at worst %.1f ms late\n",
              shortCount, kCancelAfterMs / 1000.0, cancelSeconds, converted() - convertedAtClick, converted(),
              longestLate * 1000);

  constexpr int kFolders = 40000;
  for (int i = 0; i < kFolders; ++i) fs::create_directories(root / "folders" / ("a" + std::to_string(i / 200)) / ("b" + std::to_string(i)));
  constexpr int kSearchCancelMs = 20;
  start = Clock::now();
  QTimer::singleShot(kSearchCancelMs, &window, [&] {
    clickDue = start + std::chrono::milliseconds(kSearchCancelMs);
    if (auto* dialog = window.findChild<velmora::ui::CAddFilesProgressDlg*>()) {
      if (auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"))) cancel->click();
    }
  });
  window.AddPaths({QString::fromStdString((root / "folders").string())});
  WaitForWork(window);
  std::printf("cancelling the search of %d folders at %d ms: the run ended %.1f ms after the click (%.1f ms in all)\n",
              kFolders, kSearchCancelMs, std::chrono::duration<double, std::milli>(Clock::now() - clickDue).count(),
              Seconds(start) * 1000);
  window.close();
  fs::remove_all(root);
  return 0;
}
