#include "ui/controls/url_opener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace velmora::ui {
namespace {

class OpenerText {
  Q_DECLARE_TR_FUNCTIONS(velmora::ui::UrlOpener)
};

// xdg-open's exit statuses.
constexpr int kFileNotFound = 2;
constexpr int kNoProgram = 3;

QString NoProgramText(const QUrl& target) {
  const QString scheme = target.scheme().toLower();
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
    return OpenerText::tr("No program is set to open web addresses.");
  }
  if (scheme == QLatin1String("mailto")) return OpenerText::tr("No program is set to write e-mail.");
  if (scheme.isEmpty() || scheme == QLatin1String("file")) {
    return OpenerText::tr("No program is set to open this kind of file.");
  }
  return OpenerText::tr("No program is set to open \"%1:\" addresses.").arg(scheme);
}

}  // namespace

QString OpenFailureText(const QUrl& target, int exitStatus) {
  switch (exitStatus) {
    case kFileNotFound: return OpenerText::tr("The specified file was not found.");
    case kNoProgram: return NoProgramText(target);
    default: return OpenerText::tr("Unknown Error (%1) occurred.").arg(exitStatus);
  }
}

UrlOpener DesktopOpener() {
  return [](const QUrl& target, const OpenFinished& finished) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) {
      finished(QDesktopServices::openUrl(target) ? QString() : NoProgramText(target));
      return;
    }
    // xdg-open may wait for the program it starts, so the answer comes when it exits. The
    // process deletes itself then; one that outlives the program is left to run.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process,
                     [process, target, finished](int exitCode, QProcess::ExitStatus status) {
                       process->deleteLater();
                       if (status == QProcess::NormalExit && exitCode == 0) finished(QString());
                       else finished(status == QProcess::NormalExit ? OpenFailureText(target, exitCode)
                                                                    : NoProgramText(target));
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, target, finished](QProcess::ProcessError error) {
      if (error != QProcess::FailedToStart) return;  // other errors end in finished()
      process->deleteLater();
      finished(NoProgramText(target));
    });
    process->start(xdgOpen, {target.toString(QUrl::FullyEncoded)});
  };
}

}  // namespace velmora::ui
