#include "ui/controls/skin_style.h"

#include <QPainter>
#include <QSvgRenderer>

namespace velmora::ui {

QPalette SkinPalette() {
  QPalette palette;
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const bool disabled = group == QPalette::Disabled;
    const QColor& text = disabled ? skin::kDisabledText : skin::kText;
    palette.setColor(group, QPalette::Window, skin::kSurface);
    palette.setColor(group, QPalette::Base, skin::kSurface);
    palette.setColor(group, QPalette::AlternateBase, skin::kRaised);
    palette.setColor(group, QPalette::Button, skin::kRaised);
    palette.setColor(group, QPalette::WindowText, text);
    palette.setColor(group, QPalette::Text, text);
    palette.setColor(group, QPalette::ButtonText, text);
    palette.setColor(group, QPalette::Highlight, skin::kAccent);
    palette.setColor(group, QPalette::HighlightedText, skin::kText);
    palette.setColor(group, QPalette::Light, skin::kLine.lighter(140));
    palette.setColor(group, QPalette::Mid, skin::kLine);
    palette.setColor(group, QPalette::Dark, skin::kInk.darker(150));
    palette.setColor(group, QPalette::Shadow, Qt::black);
    palette.setColor(group, QPalette::ToolTipBase, skin::kInk);
    palette.setColor(group, QPalette::ToolTipText, skin::kText);
  }
  return palette;
}

QFont SkinFont(int pixelSize, QFont::Weight weight) {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(pixelSize);
  font.setWeight(weight);
  return font;
}

QPixmap SkinPixmap(const QString& name, QSize size, qreal ratio) {
  QSvgRenderer renderer(QStringLiteral(":/artwork/") + name);
  if (!renderer.isValid()) return {};
  QPixmap pixmap(size * ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  painter.end();
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

}  // namespace velmora::ui
