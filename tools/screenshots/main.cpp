// Renders every dialog and control into a folder, for the documentation and for looking at
// what was built: velmora_screenshots OUTPUT_FOLDER [NAME...], NAME one of the registered sets
// ("options", "controls", "main window"), all when none is named. The windows speak the
// system's language.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <utility>
#include <vector>

#include "screenshots/shots.h"
#include "ui/translations.h"

namespace velmora::shots {
namespace {

std::vector<std::pair<const char*, ShotFunction>>& Registry() {
  static std::vector<std::pair<const char*, ShotFunction>> functions;
  return functions;
}

}  // namespace

Register::Register(const char* name, ShotFunction function) { Registry().emplace_back(name, function); }

void Save(QWidget& widget, const QString& folder, const QString& name) {
  widget.show();
  QApplication::processEvents();
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  if (!widget.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

}  // namespace velmora::shots

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const velmora::ui::UiTranslations translations;
  if (argc < 2) {
    std::fprintf(stderr, "usage: velmora_screenshots OUTPUT_FOLDER [NAME...]\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QStringList wanted;
  for (int i = 2; i < argc; ++i) wanted << QString::fromLocal8Bit(argv[i]);
  QDir().mkpath(folder);
  for (const auto& [name, function] : velmora::shots::Registry()) {
    if (!wanted.isEmpty() && !wanted.contains(QLatin1String(name))) continue;
    std::printf("%s\n", name);
    function(folder);
  }
  return 0;
}
