#include "ui/conversion_run.h"

#include "convert/output_format.h"
#include "platform/file_system.h"
#include "ui/convert_progress_dialog.h"
#include "ui/file_manager.h"
#include "ui/status_text.h"

namespace velmora::ui {

ConversionRun::ConversionRun(FileListModel& model, CConvertProgressDlg* dialog, FileManager& fileManager,
                             QObject* parent)
    : QObject(parent), m_model(model), m_dialog(dialog), m_fileManager(fileManager) {
  connect(&m_runner, &BatchRunner::News, this, &ConversionRun::OnNews);
  connect(&m_runner, &BatchRunner::BatchFinished, this, &ConversionRun::OnBatchFinished);
  // The click itself sets the flag the workers read, not a report that waits its turn.
  if (m_dialog) connect(m_dialog, &CProgressDlg::cancelRequested, &m_runner, &BatchRunner::Cancel);
}

void ConversionRun::Start(const ConverterSettings& settings, const OutputFolders& folders,
                          const std::vector<int>& rows, OutputFormat format, int jobs) {
  m_format = format;
  m_browseOutput = settings.BrowseOutputFolder != 0;
  m_outputs.assign(rows.size(), {});
  m_reported.assign(rows.size(), 0);
  std::vector<BatchItem> items;
  items.reserve(rows.size());
  for (const int row : rows) {
    const FileListEntry& entry = m_model.Entry(row);
    m_ids.push_back(entry.Id);
    m_sources.push_back(entry.SourcePath);
    m_rates.push_back(static_cast<double>(entry.SampleRate));
    m_sounds.push_back(static_cast<double>(entry.FrameCount) / m_rates.back());
    m_soundTotal += m_sounds.back();
    BatchItem& item = items.emplace_back(entry.SourcePath, std::nullopt, entry.Root);
    if (const WrittenOutput* earlier = entry.OutputWithExtension(std::string(FormatInfo(format).extension))) {
      item.earlier = EarlierOutput{earlier->path, earlier->stamp};
    }
  }
  m_measuring = settings.LoudnessMode != kLoudnessOff && !rows.empty();
  if (m_measuring) {
    m_measureTotal = m_soundTotal;
    ShowMeasuring();
  } else if (m_dialog) {
    m_dialog->SetOverall(rows.empty() ? 0 : 1, static_cast<int>(rows.size()), format);
  }
  m_clock.start();
  ShowTiming();
  m_runner.Start(settings, folders, std::move(items), format, jobs);
}

void ConversionRun::Abandon() {
  m_browseOutput = false;
  m_runner.Cancel();
}

void ConversionRun::OnNews(const BatchNews& news) {
  for (const auto& [index, frames] : news.framesMeasured) m_framesMeasured[index] = frames;
  if (news.measured) m_filesMeasured = news.measured->first;
  if (m_measuring && news.started.empty() && news.finished.empty()) {
    ShowMeasuring();
    ShowTiming();
    return;
  }
  // Conversion starts once every source is measured.
  m_measuring = false;
  int newest = -1;
  for (const int index : news.started) {
    m_inWork[index] = 0;
    const int row = m_model.RowOf(m_ids.at(static_cast<std::size_t>(index)));
    m_model.SetStatus(row, tr("Converting..."));
    if (row >= 0) newest = row;
  }
  for (const auto& [index, percent] : news.percent) {
    if (const auto file = m_inWork.find(index); file != m_inWork.end()) file->second = percent;
  }
  for (const auto& [index, frames] : news.frames) {
    if (m_inWork.contains(index)) m_framesDone[index] = frames;
  }
  for (const auto& [index, report] : news.finished) {
    m_reported[static_cast<std::size_t>(index)] = 1;
    const int row = m_model.RowOf(m_ids.at(static_cast<std::size_t>(index)));
    m_model.SetStatus(row, StatusText(report.outcome, report.outputPath),
                      DetailsText(report.outcome, report.sourcePath, report.outputPath));
    // A file that did not convert leaves the row's earlier output as it was.
    if (report.outcome.result == FileResult::Converted) {
      m_model.SetOutput(row, report.outputPath, report.outputStamp);
      m_outputs[static_cast<std::size_t>(index)] = report.outputPath;
    }
    const double sound = m_sounds.at(static_cast<std::size_t>(index));
    if (report.outcome.result == FileResult::Converted) {
      m_soundFinished += sound;
    } else {
      m_soundTotal -= sound;
    }
    m_inWork.erase(index);
    m_framesDone.erase(index);
  }
  ShowLowestInWork();
  ShowTiming();
  if (newest >= 0) emit RowStarted(newest);
}

void ConversionRun::ShowLowestInWork() {
  if (!m_dialog || m_inWork.empty()) return;
  const auto& [index, percent] = *m_inWork.begin();
  const std::string& source = m_sources.at(static_cast<std::size_t>(index));
  m_dialog->SetFile(QString::fromStdString(FileNamePart(source)), percent);
  m_dialog->SetOverall(index + 1, static_cast<int>(m_ids.size()), m_format);
}

// The file being measured with the lowest batch index, and the share of the batch's sound
// measured so far.
void ConversionRun::ShowMeasuring() {
  if (!m_dialog) return;
  const int count = static_cast<int>(m_ids.size());
  QString name;
  int percent = 0;
  for (const auto& [index, frames] : m_framesMeasured) {
    const auto at = static_cast<std::size_t>(index);
    const double share = m_sounds[at] > 0 ? static_cast<double>(frames) / m_rates[at] / m_sounds[at] : 1.0;
    if (share >= 1.0) continue;
    name = QString::fromStdString(FileNamePart(m_sources[at]));
    percent = static_cast<int>(share * 100);
    break;
  }
  m_dialog->SetMeasuringFile(name, percent);
  m_dialog->SetMeasuring(std::min(m_filesMeasured + 1, count), count,
                         m_measureTotal > 0 ? SoundMeasured() / m_measureTotal : 0.0);
}

double ConversionRun::SoundMeasured() const {
  double sound = 0;
  for (const auto& [index, frames] : m_framesMeasured) {
    const auto at = static_cast<std::size_t>(index);
    sound += std::min(static_cast<double>(frames) / m_rates[at], m_sounds[at]);
  }
  return sound;
}

// Read once per report, so the clock costs nothing per block and nothing without a dialog. The
// clock runs from the batch's start; the time left covers what is still to measure too.
void ConversionRun::ShowTiming() {
  if (!m_dialog) return;
  double sound = m_soundFinished + SoundMeasured();
  for (const auto& [index, frames] : m_framesDone) {
    sound += static_cast<double>(frames) / m_rates.at(static_cast<std::size_t>(index));
  }
  m_estimate.Update(static_cast<double>(m_clock.elapsed()) / 1000.0, sound, m_measureTotal + m_soundTotal);
  m_dialog->SetTiming(TimingText(m_estimate));
}

void ConversionRun::OnBatchFinished() {
  if (m_dialog) m_dialog->Finish();
  // A batch stopped before a file's turn (while measuring, say) did not convert it either.
  FileOutcome cancelled;
  cancelled.result = FileResult::Cancelled;
  for (std::size_t index = 0; index < m_reported.size(); ++index) {
    if (!m_reported[index]) {
      m_model.SetStatus(m_model.RowOf(m_ids[index]), StatusText(cancelled, {}), DetailsText(cancelled, m_sources[index], {}));
    }
  }
  if (m_browseOutput) {
    // The first output this batch made that is still there, in batch order.
    for (const std::string& output : m_outputs) {
      if (!output.empty() && FileExists(output)) {
        m_fileManager.SelectFile(QString::fromStdString(output));
        break;
      }
    }
  }
  emit Finished();
}

}  // namespace velmora::ui
