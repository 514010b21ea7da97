#pragma once

#include <QUrl>

#include "ui/controls/link_static.h"

namespace velmora::ui {

// The places the window's web and mail commands (and the about box's buttons) send the user.
enum class WebCommand { HomePage, CheckUpdates, SupportMail, TellAFriend };

QUrl WebCommandTarget(WebCommand command);

// Opens the command's target, showing the wait cursor while the opener starts. The commands do
// not report a failure.
void RunWebCommand(WebCommand command, const UrlOpener& opener = DesktopOpener());

}  // namespace velmora::ui
