#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "convert/output_paths.h"
#include "convert/progress_estimate.h"
#include "filelist/file_list_model.h"
#include "settings/converter_settings.h"
#include "ui/batch_runner.h"

namespace velmora::ui {

class CConvertProgressDlg;
class FileManager;

// One conversion batch started from the window: the rows' sources go to the batch engine,
// every row in work reads "Converting...", each finished row gets its status text (and its
// output, when one was made), and the progress dialog follows the file in work with the lowest
// row. Results find their row by the entry's id, wherever the row stands by then. At the end,
// the file manager is opened on the first output when the settings ask for it.
class ConversionRun final : public QObject {
  Q_OBJECT

 public:
  ConversionRun(FileListModel& model, CConvertProgressDlg* dialog, FileManager& fileManager,
                QObject* parent = nullptr);

  // Converts the given rows (in this order), `jobs` files at once.
  void Start(const ConverterSettings& settings, const OutputFolders& folders, const std::vector<int>& rows,
             OutputFormat format, int jobs);
  void Cancel() { m_runner.Cancel(); }
  // Cancels for a window that is closing: nothing is shown when the batch has stopped.
  void Abandon();

 signals:
  // The batch is over and the list may be touched again.
  void Finished();
  // `row` is the newest of the rows put into work since the last report.
  void RowStarted(int row);

 private:
  void OnNews(const BatchNews& news);
  void OnBatchFinished();
  void ShowLowestInWork();
  void ShowMeasuring();
  double SoundMeasured() const;
  void ShowTiming();

  FileListModel& m_model;
  QPointer<CConvertProgressDlg> m_dialog;
  FileManager& m_fileManager;
  BatchRunner m_runner;
  // By batch index: the entry's id, its source, and the output this batch made for it.
  std::vector<std::uint64_t> m_ids;
  std::vector<std::string> m_sources;
  std::vector<std::string> m_outputs;
  OutputFormat m_format = OutputFormat::Mp3;
  bool m_browseOutput = false;
  // Files in work, by batch index: the percent each has reached, and its source frames done.
  std::map<int, int> m_inWork;
  std::map<int, std::uint64_t> m_framesDone;
  // Whether each file's outcome has come (by batch index): a batch that stops early leaves the
  // others, which are then marked cancelled.
  std::vector<char> m_reported;
  // The sound of the batch: each file's rate and seconds (by batch index), the seconds of the
  // whole, and of the files converted so far. Files that needed no work leave the whole.
  std::vector<double> m_rates;
  std::vector<double> m_sounds;
  double m_soundTotal = 0;
  double m_soundFinished = 0;
  // With loudness on, every file is measured first: that pass counts as much sound again. The
  // sources measured so far, and each file's source frames measured, by batch index.
  bool m_measuring = false;
  double m_measureTotal = 0;
  int m_filesMeasured = 0;
  std::map<int, std::uint64_t> m_framesMeasured;
  QElapsedTimer m_clock;
  ProgressEstimate m_estimate;
};

}  // namespace velmora::ui
