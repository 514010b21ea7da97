#pragma once

#include <cstdint>
#include <string>

#include "audio/source_tags.h"
#include "convert/name_pattern.h"
#include "settings/option_limits.h"
#include "ui/options/folder_chooser.h"
#include "ui/options/opt_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::ui {

// What the Output page edits.
struct OutputPageValues {
  std::int32_t folderOption = kOutputFolderSameAsSource;
  std::string specifiedFolder;
  std::int32_t createDirs = 0;
  std::int32_t browseWhenDone = 1;
  std::int32_t verify = 0;
  std::int32_t copyCompanions = 0;
  std::int32_t copyTags = 1;
  std::string namePattern = kDefaultNamePattern;
};

// The "Output Options" page: output next to each source or into a chosen folder (optionally
// below a copy of the source's folder path), whether to show the output when a batch ends, and
// whether each output is read back before it takes its name, whether the covers and notes
// beside the sources go along, whether the source's tags go into the output, and the pattern
// that names each output, with an example that follows what is typed.
class COptOutputPage : public COptPage {
  Q_OBJECT

 public:
  explicit COptOutputPage(QWidget* parent = nullptr);

  OutputPageValues& Values() { return m_values; }
  const OutputPageValues& Values() const { return m_values; }
  // Replaces the folder dialog behind the Browse button.
  void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
  // The source the name example shows, a row of the list with the folder it was found under;
  // with none, a made-up one below "Artist/Album".
  void SetExampleSource(const std::string& path, const std::string& root = {});

  std::optional<Refusal> KillActive() override;

 protected:
  void Initialise() override;

 private:
  void ReadControls();
  void WriteControls();
  void EnableFolderControls();
  void OnBrowse();
  void UpdateNameExample();
  static QString ProblemWords(const PatternProblem& problem);

  OutputPageValues m_values;
  FolderChooser m_chooseFolder;
  QComboBox* m_folderOption = nullptr;
  QLineEdit* m_folder = nullptr;
  QPushButton* m_browse = nullptr;
  QCheckBox* m_createDirs = nullptr;
  QLabel* m_example = nullptr;
  QCheckBox* m_browseWhenDone = nullptr;
  QCheckBox* m_verify = nullptr;
  QCheckBox* m_copyCompanions = nullptr;
  QCheckBox* m_copyTags = nullptr;
  QLineEdit* m_namePattern = nullptr;
  QLabel* m_nameExample = nullptr;
  std::string m_exampleSource;
  std::string m_exampleRoot;
  SourceTags m_exampleTags;
};

}  // namespace velmora::ui
