#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <vector>

#include "convert/output_paths.h"
#include "filelist/file_list_model.h"
#include "settings/converter_settings.h"
#include "ui/batch_runner.h"

namespace velmora::ui {

class CConvertProgressDlg;
class FileManager;

// One conversion batch started from the window: the rows' sources go to the batch engine,
// every row in work reads "Converting...", each finished row gets its status text and output,
// and the progress dialog follows the file in work with the lowest row. At the end, the file
// manager is opened on the first output when the settings ask for it.
class ConversionRun final : public QObject {
  Q_OBJECT

 public:
  ConversionRun(FileListModel& model, CConvertProgressDlg* dialog, FileManager& fileManager,
                QObject* parent = nullptr);

  // Converts the given rows (in this order), `jobs` files at once.
  void Start(const ConverterSettings& settings, const OutputFolders& folders, std::vector<int> rows,
             OutputFormat format, int jobs);
  void Cancel() { m_runner.Cancel(); }

 signals:
  // The batch is over and the list may be touched again.
  void Finished();
  // `row` was put into work.
  void RowStarted(int row);

 private:
  void OnFileStarted(int index);
  void OnFramesDone(int index, quint64 done, quint64 total);
  void OnFileFinished(int index, const FileReport& report);
  void OnBatchFinished(bool cancelled);
  void ShowLowestInWork();

  FileListModel& m_model;
  QPointer<CConvertProgressDlg> m_dialog;
  FileManager& m_fileManager;
  BatchRunner m_runner;
  std::vector<int> m_rows;
  OutputFormat m_format = OutputFormat::Mp3;
  bool m_browseOutput = false;
  // Files in work, by batch index: the percent each has reached.
  std::map<int, int> m_inWork;
  std::vector<bool> m_reported;  // by batch index: the file's outcome has come
};

}  // namespace velmora::ui
