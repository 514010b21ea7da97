#pragma once

#include <QRect>
#include <QWidget>
#include <functional>

class QListWidget;
class QTextBrowser;
class QUrl;

namespace velmora {
class SettingsStore;
}

namespace velmora::ui {

// The program's manual, "Velmora Help": a list of topics beside a page browser. At most one is
// open; asking for help again brings that one to the front. Esc, Ctrl+W and Ctrl+F4 close it.
class HelpWindow final : public QWidget {
  Q_OBJECT

 public:
  // Shows the help, or raises and activates the open one, at `page` ("mp3-options.html", or
  // "mp3-options.html#id3" for a section) when one is given. The first window is placed beside `owner`'s top-level window and closes
  // when that window is destroyed.
  static HelpWindow* ShowOrRaise(QWidget* owner, const QString& page = {});
  // Closes the open help window, if there is one (the main window does this as it closes).
  static void CloseOpen();
  // The open help window, or null.
  static HelpWindow* Open();
  // The file name of the page shown.
  QString PageShown() const;

 private:
  explicit HelpWindow(QWidget* owner);
  void PlaceBeside(const QWidget& owner);
  void ShowPage(const QString& page);
  void ShowTopic(int row);
  void FollowPage(const QUrl& url);
  void DescribeLink();

  QListWidget* m_contents = nullptr;
  QTextBrowser* m_browser = nullptr;
};

// Makes the help key (F1) anywhere in `window` open the help at the page `page` names then.
void AddHelpKey(QWidget* window, std::function<QString()> page);

// Where the help window goes: beside `owner` on the side with more room when at least
// `minimum`'s width fits there (as wide as the room allows up to `preferred`), else smaller and
// in the screen's lower right corner, so the owner's commands on its left stay in view.
QRect PlaceHelpWindow(const QRect& screen, const QRect& owner, QSize preferred, QSize minimum);

// On the program's first start, shows the help over `owner`; true when it did.
bool ShowHelpOnFirstRun(SettingsStore& store, QWidget* owner);

}  // namespace velmora::ui
