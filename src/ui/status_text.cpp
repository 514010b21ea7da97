#include "ui/status_text.h"

#include "platform/file_system.h"

namespace velmora::ui {

QString StatusText(const FileOutcome& outcome, const std::string& outputPath) {
  switch (outcome.result) {
    case FileResult::Converted: {
      QString text = QString::fromStdString(FileNamePart(outputPath));
      // A converted file's reason is a warning (the source ended early, no gapless frame).
      const std::string reason = ReasonText(outcome);
      if (!reason.empty()) text += QStringLiteral(" (%1)").arg(QString::fromStdString(reason));
      if (!outcome.loudness.empty()) text += QStringLiteral(" (%1)").arg(QString::fromStdString(outcome.loudness));
      for (const std::string& note : outcome.tagNotes) text += QStringLiteral(" (%1)").arg(QString::fromStdString(note));
      return text;
    }
    case FileResult::Cancelled: return QStringLiteral("Cancelled");
    case FileResult::Skipped: return QStringLiteral("Skipped");
    case FileResult::Failed: break;
  }
  switch (outcome.reason) {
    case FileReason::FolderFailed:
      return QStringLiteral("Failed to create folder \"%1\"").arg(QString::fromStdString(outcome.detail));
    case FileReason::NoOutputPlace: return QStringLiteral("Failed to create destination file");
    default: return QStringLiteral("Conversion Failure");
  }
}

}  // namespace velmora::ui
