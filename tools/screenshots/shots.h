#pragma once

#include <QString>
#include <QWidget>

namespace velmora::shots {

// A function that renders some of the program's windows into `folder` as PNG files.
using ShotFunction = void (*)(const QString& folder);

// Registers a function at static initialisation; the screenshot program runs them all.
struct Register {
  Register(const char* name, ShotFunction function);
};

// Saves `widget`, shown and laid out, as folder/name.png.
void Save(QWidget& widget, const QString& folder, const QString& name);

}  // namespace velmora::shots
