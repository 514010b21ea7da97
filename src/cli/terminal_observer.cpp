#include "cli/terminal_observer.h"

#include <algorithm>

#include "platform/file_system.h"

namespace velmora::cli {
namespace {

// Redrawing at most ten times a second keeps the bar cheap on batches of small files.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 30;

}  // namespace

TerminalObserver::TerminalObserver(const Streams& streams, bool showProgress)
    : m_streams(streams), m_out(streams.out), m_err(streams.err), m_showProgress(showProgress) {}

void TerminalObserver::BatchStarted(int fileCount, OutputFormat) {
  std::lock_guard lock(m_mutex);
  m_files.assign(static_cast<std::size_t>(fileCount), FileState{});
}

void TerminalObserver::FileStarted(int index, const std::string&) {
  std::lock_guard lock(m_mutex);
  m_files[static_cast<std::size_t>(index)].active = true;
  DrawBar(false);
}

void TerminalObserver::FramesDone(int index, std::uint64_t framesDone, std::uint64_t totalFrames) {
  std::lock_guard lock(m_mutex);
  FileState& file = m_files[static_cast<std::size_t>(index)];
  file.done = framesDone;
  file.total = totalFrames;
  DrawBar(false);
}

void TerminalObserver::FileFinished(int index, const FileReport& report) {
  std::lock_guard lock(m_mutex);
  FileState& file = m_files[static_cast<std::size_t>(index)];
  file.active = false;
  file.finished = true;
  ++m_finished;
  const FileOutcome& outcome = report.outcome;
  const std::string reason = ReasonText(outcome);
  switch (outcome.result) {
    case FileResult::Converted:
      file.line = report.sourcePath + " -> " + report.outputPath;
      file.problem = outcome.reason == FileReason::SourceEndsEarly;
      file.note = outcome.reason == FileReason::GaplessFrameLeftOut;
      break;
    case FileResult::Skipped:
      file.line = report.sourcePath + ": skipped";
      break;
    case FileResult::Failed:
      file.line = report.sourcePath + ": failed";
      file.problem = true;
      break;
    case FileResult::Cancelled:
      file.line = report.sourcePath + ": cancelled";
      file.problem = true;
      break;
  }
  if (!reason.empty()) file.line += " (" + reason + ")";
  for (const std::string& note : outcome.tagNotes) file.line += " (" + note + ")";
  if (file.problem) ++m_problems;
  PrintFinishedInOrder();
  DrawBar(true);
}

void TerminalObserver::BatchFinished() {
  std::lock_guard lock(m_mutex);
  ClearBar();
  std::fflush(m_out);
}

void TerminalObserver::PrintFinishedInOrder() {
  ClearBar();
  while (m_nextToPrint < m_files.size() && m_files[m_nextToPrint].finished) {
    const FileState& file = m_files[m_nextToPrint];
    std::FILE* stream = file.problem || file.note ? m_err : m_out;
    m_streams.Print(stream, file.line);
    std::fflush(stream);
    ++m_nextToPrint;
  }
}

void TerminalObserver::ClearBar() {
  if (!m_barShown) return;
  std::fprintf(m_err, "\r\033[K");
  std::fflush(m_err);
  m_barShown = false;
}

void TerminalObserver::DrawBar(bool force) {
  if (!m_showProgress || m_files.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && m_barShown && now - m_lastDraw < kRedrawInterval) return;
  m_lastDraw = now;
  // Overall progress: finished files count whole, files in work by their frames.
  double done = m_finished;
  for (const FileState& file : m_files) {
    if (!file.active) continue;
    if (file.total > 0) done += std::min(1.0, static_cast<double>(file.done) / static_cast<double>(file.total));
  }
  const double fraction = std::clamp(done / static_cast<double>(m_files.size()), 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::fprintf(m_err, "\r[%s%s] %3d%%  %d of %zu file(s)\033[K", std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), static_cast<int>(fraction * 100),
               m_finished, m_files.size());
  std::fflush(m_err);
  m_barShown = true;
}

}  // namespace velmora::cli
