#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace velmora::ui {

// Called once an open has ended: `failure` is empty when a program took the target, else it
// says why nothing did.
using OpenFinished = std::function<void(const QString& failure)>;

// Opens a web page, mail or file target and reports how that went, possibly later.
using UrlOpener = std::function<void(const QUrl& target, OpenFinished finished)>;

// The desktop's opener. Where xdg-open exists it runs without blocking and its exit status
// decides the outcome (QDesktopServices counts a started xdg-open as success even when no
// program takes the target); elsewhere QDesktopServices::openUrl answers.
UrlOpener DesktopOpener();

// What to tell the user when the opener ended with `exitStatus` (xdg-open's codes) for `target`.
QString OpenFailureText(const QUrl& target, int exitStatus);

}  // namespace velmora::ui
