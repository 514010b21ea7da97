#include "ui/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace velmora::ui {
namespace {

// A file manager that does not answer within this time is taken to be absent.
constexpr int kBusTimeoutMs = 3000;

}  // namespace

void DesktopFileManager::OpenFolderOf(const QString& path) const {
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()))) ReportUnavailable(path);
}

void DesktopFileManager::SelectFile(const QString& path) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    OpenFolderOf(path);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
      QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
  call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()} << QString();
  // Asked without waiting, so that a slow or missing file manager never freezes the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kBusTimeoutMs));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [this, path](QDBusPendingCallWatcher* finished) {
    if (finished->isError()) OpenFolderOf(path);
    finished->deleteLater();
  });
}

}  // namespace velmora::ui
