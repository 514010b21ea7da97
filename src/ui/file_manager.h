#pragma once

#include <QString>
#include <functional>
#include <utility>

namespace velmora::ui {

// Shows a file in the user's file manager with the file selected. The window talks to this
// interface; tests give it one that records what it was asked to show.
class FileManager {
 public:
  using Unavailable = std::function<void(const QString& path)>;

  virtual ~FileManager() = default;
  virtual void SelectFile(const QString& path) = 0;
  // Who to tell when nothing could show a file (the window says so); may come later than
  // SelectFile returns.
  void OnUnavailable(Unavailable tell) { m_unavailable = std::move(tell); }

 protected:
  void ReportUnavailable(const QString& path) const {
    if (m_unavailable) m_unavailable(path);
  }

 private:
  Unavailable m_unavailable;
};

// The desktop's file manager, asked over the session bus
// (org.freedesktop.FileManager1.ShowItems); where none answers, the file's folder is opened.
class DesktopFileManager final : public FileManager {
 public:
  void SelectFile(const QString& path) override;

 private:
  void OpenFolderOf(const QString& path) const;
};

}  // namespace velmora::ui
