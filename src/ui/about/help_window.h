#pragma once

#include <QWidget>

class QListWidget;
class QTextBrowser;
class QUrl;

namespace velmora {
class SettingsStore;
}

namespace velmora::ui {

// The program's manual, "Velmora Help": a list of topics beside a page browser. At most one is
// open; asking for help again brings that one to the front.
class HelpWindow final : public QWidget {
  Q_OBJECT

 public:
  // Shows the help, or raises and activates the open one. The first window is placed over
  // `owner` and closes when `owner` is destroyed.
  static HelpWindow* ShowOrRaise(QWidget* owner);
  // Closes the open help window, if there is one (the main window does this as it closes).
  static void CloseOpen();
  // The open help window, or null.
  static HelpWindow* Open();

 private:
  explicit HelpWindow(QWidget* owner);
  void ShowTopic(int row);
  void FollowPage(const QUrl& url);

  QListWidget* m_contents = nullptr;
  QTextBrowser* m_browser = nullptr;
};

// On the program's first start, shows the help over `owner`; true when it did.
bool ShowHelpOnFirstRun(SettingsStore& store, QWidget* owner);

}  // namespace velmora::ui
