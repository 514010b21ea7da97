#include "ui/options/folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace velmora::ui {

std::optional<QString> ChooseFolder(QWidget* owner, const QString& instruction, const QString& startFolder) {
  QFileDialog dialog(owner, instruction);
  dialog.setObjectName(QStringLiteral("folderChooser"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (!startFolder.isEmpty()) dialog.setDirectory(QDir::cleanPath(QDir::fromNativeSeparators(startFolder)));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  const QList<QUrl> chosen = dialog.selectedUrls();
  if (chosen.isEmpty() || !chosen.front().isLocalFile()) return std::nullopt;
  QString folder = QDir::toNativeSeparators(QDir::cleanPath(chosen.front().toLocalFile()));
  if (folder.isEmpty()) return std::nullopt;
  if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
  return folder;
}

}  // namespace velmora::ui
