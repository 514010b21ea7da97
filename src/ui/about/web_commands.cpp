#include "ui/about/web_commands.h"

#include <QGuiApplication>

#include "ui/web_addresses.h"

namespace velmora::ui {
namespace {

const char* Address(WebCommand command) {
  switch (command) {
    case WebCommand::HomePage: return kHomePageUrl;
    case WebCommand::CheckUpdates: return kUpdatePageUrl;
    case WebCommand::SupportMail: return kSupportMailUrl;
    case WebCommand::TellAFriend: return kTellAFriendUrl;
  }
  return kHomePageUrl;
}

class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

QUrl WebCommandTarget(WebCommand command) {
  // Tolerant parsing encodes the spaces of the mail subject and body.
  return QUrl(QString::fromUtf8(Address(command)), QUrl::TolerantMode);
}

void RunWebCommand(WebCommand command, const UrlOpener& opener) {
  const WaitCursor wait;
  opener(WebCommandTarget(command), [](const QString&) {});
}

}  // namespace velmora::ui
