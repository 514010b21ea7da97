#pragma once

#include <QString>

namespace velmora::ui {

// Shows a file in the user's file manager with the file selected. The window talks to this
// interface; tests give it one that records what it was asked to show.
class FileManager {
 public:
  virtual ~FileManager() = default;
  virtual void SelectFile(const QString& path) = 0;
};

// The desktop's file manager, asked over the session bus
// (org.freedesktop.FileManager1.ShowItems); where none answers, the file's folder is opened.
class DesktopFileManager final : public FileManager {
 public:
  void SelectFile(const QString& path) override;
};

}  // namespace velmora::ui
