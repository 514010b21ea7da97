#include "ui/conversion_run.h"

#include <QFileInfo>

#include "platform/file_system.h"
#include "ui/convert_progress_dialog.h"
#include "ui/file_manager.h"

namespace velmora::ui {
namespace {

constexpr int kFullPercent = 100;

}  // namespace

ConversionRun::ConversionRun(FileListModel& model, CConvertProgressDlg* dialog, FileManager& fileManager,
                             QObject* parent)
    : QObject(parent), m_model(model), m_dialog(dialog), m_fileManager(fileManager) {
  connect(&m_runner, &BatchRunner::FileStarted, this, &ConversionRun::OnFileStarted);
  connect(&m_runner, &BatchRunner::FramesDone, this, &ConversionRun::OnFramesDone);
  connect(&m_runner, &BatchRunner::FileFinished, this, &ConversionRun::OnFileFinished);
  connect(&m_runner, &BatchRunner::BatchFinished, this, &ConversionRun::OnBatchFinished);
  if (m_dialog) connect(m_dialog, &CProgressDlg::cancelRequested, &m_runner, &BatchRunner::Cancel);
}

void ConversionRun::Start(const ConverterSettings& settings, const OutputFolders& folders, std::vector<int> rows,
                          OutputFormat format, int jobs) {
  m_rows = std::move(rows);
  m_format = format;
  m_browseOutput = settings.BrowseOutputFolder != 0;
  m_reported.assign(m_rows.size(), false);
  std::vector<BatchItem> items;
  items.reserve(m_rows.size());
  for (const int row : m_rows) {
    const FileListEntry& entry = m_model.Entry(row);
    items.push_back({entry.SourcePath, entry.OutputPath});
  }
  if (m_dialog) m_dialog->SetOverall(m_rows.empty() ? 0 : 1, static_cast<int>(m_rows.size()), format);
  m_runner.Start(settings, folders, std::move(items), format, jobs);
}

void ConversionRun::OnFileStarted(int index) {
  const int row = m_rows.at(static_cast<std::size_t>(index));
  m_model.SetStatus(row, QStringLiteral("Converting..."));
  m_inWork[index] = 0;
  emit RowStarted(row);
  ShowLowestInWork();
}

void ConversionRun::OnFramesDone(int index, quint64 done, quint64 total) {
  const auto file = m_inWork.find(index);
  if (file == m_inWork.end()) return;
  const quint64 percent = total == 0 ? kFullPercent : done * kFullPercent / total;
  file->second = static_cast<int>(std::min<quint64>(percent, kFullPercent));
  ShowLowestInWork();
}

void ConversionRun::OnFileFinished(int index, const FileReport& report) {
  const int row = m_rows.at(static_cast<std::size_t>(index));
  m_model.SetStatus(row, QString::fromStdString(StatusText(report.outcome, report.outputPath)));
  m_model.SetOutputPath(row, report.outputPath);
  m_inWork.erase(index);
  m_reported[static_cast<std::size_t>(index)] = true;
  ShowLowestInWork();
}

void ConversionRun::ShowLowestInWork() {
  if (!m_dialog || m_inWork.empty()) return;
  const auto& [index, percent] = *m_inWork.begin();
  const int row = m_rows.at(static_cast<std::size_t>(index));
  m_dialog->SetFile(QFileInfo(QString::fromStdString(m_model.Entry(row).SourcePath)).fileName(), percent);
  m_dialog->SetOverall(index + 1, static_cast<int>(m_rows.size()), m_format);
}

void ConversionRun::OnBatchFinished(bool) {
  if (m_dialog) m_dialog->Finish();
  if (m_browseOutput) {
    // The first output this batch made that is still there, in list order.
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
      if (!m_reported[i]) continue;
      const std::string& output = m_model.Entry(m_rows[i]).OutputPath;
      if (!output.empty() && FileExists(output)) {
        m_fileManager.SelectFile(QString::fromStdString(output));
        break;
      }
    }
  }
  emit Finished();
}

}  // namespace velmora::ui
