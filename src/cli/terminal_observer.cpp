#include "cli/terminal_observer.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "cli/outcome_text.h"
#include "platform/file_system.h"

namespace velmora::cli {
namespace {

// Redrawing at most ten times a second keeps the bar cheap on batches of small files.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 20;

}  // namespace

TerminalObserver::TerminalObserver(const Streams& streams, bool showProgress, std::vector<double> soundSeconds)
    : m_streams(streams),
      m_out(streams.out),
      m_err(streams.err),
      m_showProgress(showProgress),
      m_sounds(std::move(soundSeconds)),
      m_soundTotal(std::accumulate(m_sounds.begin(), m_sounds.end(), 0.0)) {}

void TerminalObserver::BatchStarted(int fileCount, OutputFormat) {
  std::lock_guard lock(m_mutex);
  m_files.assign(static_cast<std::size_t>(fileCount), FileState{});
  m_sounds.resize(m_files.size());
  if (m_showProgress) m_start = std::chrono::steady_clock::now();
}

void TerminalObserver::SetSoundSeconds(std::vector<double> soundSeconds) {
  std::lock_guard lock(m_mutex);
  m_sounds = std::move(soundSeconds);
  m_sounds.resize(m_files.size());
  m_soundTotal = 0;
  m_soundFinished = 0;
  for (std::size_t i = 0; i < m_files.size(); ++i) {
    const FileState& file = m_files[i];
    if (file.finished && !file.converted) continue;  // needed no work
    m_soundTotal += m_sounds[i];
    if (file.finished) m_soundFinished += m_sounds[i];
  }
}

void TerminalObserver::MeasuringProgress(int measured, int total) {
  std::lock_guard lock(m_mutex);
  if (!m_showProgress || total <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (measured < total && m_barShown && now - m_lastDraw < kRedrawInterval) return;
  m_lastDraw = now;
  if (measured == total) m_start = now;  // the conversion's estimate counts from here
  const int filled = measured * kBarWidth / total;
  std::fprintf(m_err, "\r[%s%s] %3d%%  measuring loudness: %d of %d file(s)\033[K",
               std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), measured * 100 / total, measured,
               total);
  std::fflush(m_err);
  m_barShown = true;
}

void TerminalObserver::FileStarted(int index, const std::string&) {
  std::lock_guard lock(m_mutex);
  m_files[static_cast<std::size_t>(index)].active = true;
  m_started = std::max(m_started, static_cast<std::size_t>(index) + 1);
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
  file.converted = report.outcome.result == FileResult::Converted;
  if (file.converted) {
    m_soundFinished += m_sounds[static_cast<std::size_t>(index)];
  } else {
    m_soundTotal -= m_sounds[static_cast<std::size_t>(index)];
  }
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
  if (const std::string loudness = LoudnessText(outcome.loudness); !loudness.empty()) file.line += " (" + loudness + ")";
  for (const TagNote& note : outcome.tagNotes) file.line += " (" + TagNoteText(note) + ")";
  for (const std::string& text : CompanionTexts(outcome.companions)) file.line += " (" + text + ")";
  // Something asked for is missing, as with a gapless frame left out; the audio is converted all the same.
  if (outcome.companions.failed || outcome.companions.tooLarge) file.note = true;
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
    FileState& file = m_files[m_nextToPrint];
    std::FILE* stream = file.problem || file.note ? m_err : m_out;
    m_streams.Print(stream, file.line);
    std::fflush(stream);
    std::string().swap(file.line);  // a long batch keeps no printed text
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
  // Overall progress: finished files count whole, files in work by their frames; the sound done
  // likewise, in seconds.
  double done = m_finished;
  double sound = m_soundFinished;
  for (std::size_t i = m_nextToPrint; i < m_started; ++i) {
    const FileState& file = m_files[i];
    if (!file.active || file.total == 0) continue;
    const double part = std::min(1.0, static_cast<double>(file.done) / static_cast<double>(file.total));
    done += part;
    sound += part * m_sounds[i];
  }
  const double fraction = std::clamp(done / static_cast<double>(m_files.size()), 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  char head[96];
  std::snprintf(head, sizeof head, "[%s%s] %3d%%  %d of %zu file(s)",
                std::string(static_cast<std::size_t>(filled), '#').c_str(),
                std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), static_cast<int>(fraction * 100),
                m_finished, m_files.size());
  std::string line = head;
  if (m_soundTotal > 0) {
    m_estimate.Update(std::chrono::duration<double>(now - m_start).count(), sound, m_soundTotal);
    line += "  " + m_estimate.Text();
  }
  // A bar longer than the terminal wraps, and the next redraw then leaves the wrapped part
  // behind: the timing gives up its last parts (the speed, then the time left) to fit.
  const std::size_t columns = static_cast<std::size_t>(std::max(TerminalColumns(m_err) - 1, 1));
  const auto width = [](const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  };
  while (width(line) > columns) {
    const std::size_t cut = line.rfind(" \u00b7 ");
    if (cut == std::string::npos || cut < std::strlen(head)) break;
    line.erase(cut);
  }
  if (width(line) > columns) line = head;
  std::fprintf(m_err, "\r%s\033[K", line.c_str());
  std::fflush(m_err);
  m_barShown = true;
}

}  // namespace velmora::cli
