#include "ui/options/folder_chooser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QUrl>

namespace velmora::ui {
namespace {

class ChooserText {
  Q_DECLARE_TR_FUNCTIONS(velmora::ui::FileChooser)
};

// Large enough for long file names and their sizes side by side.
constexpr QSize kDialogSize(880, 540);
constexpr int kNameColumnWidth = 440;

// Opens the dialog at a size where the columns need not cut their texts.
void SizeForWholeNames(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(kDialogSize);
  if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    details->header()->resizeSection(0, kNameColumnWidth);
  }
}

}  // namespace

std::optional<QString> ChooseFolder(QWidget* owner, const QString& title, const QString& instruction,
                                    const QString& startFolder) {
  QFileDialog dialog(owner, title);
  dialog.setObjectName(QStringLiteral("folderChooser"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  SizeForWholeNames(dialog);
  dialog.setLabelText(QFileDialog::LookIn, instruction);
  if (!startFolder.isEmpty()) dialog.setDirectory(QDir::cleanPath(QDir::fromNativeSeparators(startFolder)));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  const QList<QUrl> chosen = dialog.selectedUrls();
  if (chosen.isEmpty() || !chosen.front().isLocalFile()) return std::nullopt;
  QString folder = QDir::toNativeSeparators(QDir::cleanPath(chosen.front().toLocalFile()));
  if (folder.isEmpty()) return std::nullopt;
  if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
  return folder;
}

QStringList ChooseAiffFiles(QWidget* owner) {
  QFileDialog dialog(owner, ChooserText::tr("Add AIFF"));
  dialog.setObjectName(QStringLiteral("fileChooser"));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters({ChooserText::tr("AIFF Files (*.aiff *.aif *.aifc *.afc *.AIFF *.AIF *.AIFC *.AFC)"),
                         ChooserText::tr("All Files (*)")});
  SizeForWholeNames(dialog);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

}  // namespace velmora::ui
