#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace velmora::ui {

// Asks the user for a folder in a dialog titled `title` ("Add Folder") that shows
// `instruction`, opening on `startFolder` (a trailing separator is allowed). Gives the chosen
// folder ending in a separator ("/home/ann/Output/", the root "/" as it is), or nothing when the
// user cancelled or chose a place that is not a local folder.
std::optional<QString> ChooseFolder(QWidget* owner, const QString& title, const QString& instruction,
                                    const QString& startFolder);

// ChooseFolder's shape, for pages that let tests stand in for the user.
using FolderChooser =
    std::function<std::optional<QString>(QWidget*, const QString& title, const QString& instruction, const QString&)>;

// Asks the user for AIFF files; empty when cancelled.
QStringList ChooseAiffFiles(QWidget* owner);

}  // namespace velmora::ui
