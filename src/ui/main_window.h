#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "convert/output_paths.h"
#include "filelist/file_list_model.h"
#include "settings/converter_settings.h"
#include "ui/adding_run.h"
#include "ui/options/folder_chooser.h"

class QAction;

namespace velmora {
class SettingsStore;
}

namespace velmora::ui {

class ConversionRun;
class CSkinButton;
class FileListView;
class FileManager;
class OwnerDrawMenu;

// The program's one window: the skin, the file list, the command buttons, the list's context
// menu and the help menu. Every command of the program starts here. While files are added or
// converted the list and the commands rest; the window still repaints and moves, and a close
// request cancels the work and closes once it has stopped.
class CMainDlg final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 699;
  static constexpr int kHeight = 538;

  // `store` holds the options and `fileManager` shows files; both outlive the window.
  CMainDlg(SettingsStore& store, FileManager& fileManager, QWidget* parent = nullptr);
  ~CMainDlg() override;

  FileListModel& Model() { return m_model; }
  const ConverterSettings& Settings() const { return m_settings; }
  // Where outputs go when the chosen place takes none (documents and program folders).
  void SetOutputFolders(const OutputFolders& folders) { m_folders = folders; }
  // Files and folders to add as if they had been dropped (the program's command line).
  void AddPaths(const QStringList& paths);
  // The first-run step: the help opens on the program's first start.
  void CheckFirstRun();
  // True while files are being added or converted.
  bool Busy() const { return m_adding != nullptr || m_converting != nullptr; }

  // The dialogs that ask for files and for a folder; tests answer in the user's place.
  using FilePicker = std::function<QStringList(QWidget* owner)>;
  void SetFilePicker(FilePicker picker) { m_pickFiles = std::move(picker); }
  void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

 signals:
  // An adding run or a conversion batch has ended.
  void WorkFinished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildList();
  void BuildButtons();
  void BuildMenus();
  OwnerDrawMenu* AddConvertMenu(OwnerDrawMenu& list, const QString& title, bool selection);
  QAction* AddCommand(OwnerDrawMenu& menu, const QString& text, const char* image, const char* name,
                      std::function<void()> run);

  void AddAiff();
  void AddFolder();
  void RemoveSelected();
  void RemoveAll();
  void ConvertAll(OutputFormat format);
  void ConvertSelected(OutputFormat format);
  void Options();
  void BrowseSource();
  void BrowseDestination();
  void ShowDetails();
  void SortBy(int column);
  void ShowHelp();
  void ShowHelpMenu();
  void ShowContextMenu(const QPoint& globalPosition);
  void ApplyEnableRules();

  std::vector<int> SelectedRows() const;
  void ShowRow(int row);
  void ShowAddedRow(int row);
  void StartAdding(AddingRun::Collect collect);
  void StartBatch(const std::vector<int>& rows, OutputFormat format);
  void SetWorking(bool working);
  void WorkDone();
  void Inform(const QString& text);

  SettingsStore& m_store;
  FileManager& m_fileManager;
  ConverterSettings m_settings;
  OutputFolders m_folders;
  FolderChooser m_chooseFolder;
  FilePicker m_pickFiles;
  FileListModel m_model;
  int m_optionsPage = 0;
  QPixmap m_skin;

  QWidget* m_content = nullptr;  // every control; it rests while work runs
  FileListView* m_list = nullptr;
  CSkinButton* m_helpButton = nullptr;
  OwnerDrawMenu* m_listMenu = nullptr;
  OwnerDrawMenu* m_helpMenu = nullptr;
  struct MenuActions {
    QAction* convertMp3 = nullptr;
    QAction* convertWav = nullptr;
    QAction* convertAllMp3 = nullptr;
    QAction* convertAllWav = nullptr;
    OwnerDrawMenu* convertSelection = nullptr;
    OwnerDrawMenu* convertAll = nullptr;
    QAction* browseSource = nullptr;
    QAction* browseDestination = nullptr;
    QAction* details = nullptr;
    QAction* remove = nullptr;
    QAction* removeAll = nullptr;
    OwnerDrawMenu* sortBy = nullptr;
  } m_actions;

  QPointer<QWidget> m_focusBeforeWork;  // where the keyboard was when the work began
  AddingRun* m_adding = nullptr;  // owned while it runs
  ConversionRun* m_converting = nullptr;
  bool m_closeWhenDone = false;
  // A drag of the window that the window system did not take over.
  bool m_dragging = false;
  QPoint m_dragOffset;
};

}  // namespace velmora::ui
