#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPixmap>
#include <QSize>

namespace velmora::ui {

// The colours of the skinned window, shared by its menus and progress dialogs.
namespace skin {
inline const QColor kInk{0x17, 0x21, 0x2B};        // deepest surface
inline const QColor kSurface{0x1E, 0x2C, 0x3A};    // dialogs and menus
inline const QColor kRaised{0x26, 0x37, 0x48};     // image column, bar tracks
inline const QColor kLine{0x33, 0x47, 0x5A};       // frames and separators
inline const QColor kText{0xE8, 0xEE, 0xF3};
inline const QColor kMutedText{0x8F, 0xA3, 0xB5};
inline const QColor kDisabledText{0x5E, 0x70, 0x80};
inline const QColor kAccent{0x2F, 0xA5, 0x96};     // hover and selection
}  // namespace skin

// A palette built from the colours above, for widgets that sit on the skin.
QPalette SkinPalette();

// The skin's face: "Tahoma" where installed, otherwise the sans-serif face the font system
// substitutes. Sizes are in pixels, so they scale with the display like the artwork.
QFont SkinFont(int pixelSize = 11, QFont::Weight weight = QFont::Normal);

// An image of the artwork (":/artwork/NAME") drawn at `size` for a display of `ratio` device
// pixels per pixel, so that it stays sharp on high-density screens. Null when NAME is missing.
QPixmap SkinPixmap(const QString& name, QSize size, qreal ratio);

}  // namespace velmora::ui
