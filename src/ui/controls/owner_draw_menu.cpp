#include "ui/controls/owner_draw_menu.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>
#include <cmath>

#include "ui/controls/skin_style.h"

namespace velmora::ui {
namespace {

constexpr QSize kImage = OwnerDrawMenu::kImageSize;
constexpr int kGap = 7;                              // beside the image, inside the column
constexpr int kColumnWidth = kImage.width() + kGap;
constexpr int kTextIndent = 8;                       // from the column to the text
constexpr int kShortcutGap = 24;                     // between a text and its shortcut
constexpr int kSeparatorHeight = 7;

QColor Mix(const QColor& from, const QColor& to, qreal amount) {
  const auto channel = [amount](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * amount)); };
  return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                channel(from.blue(), to.blue()), from.alpha());
}

qreal Brightness(const QColor& color) { return (color.red() + color.green() + color.blue()) / (3.0 * 255.0); }

// The menu's colours. "Towards the background" is towards white on a light palette, so the
// same fractions serve light and dark palettes.
struct MenuColors {
  explicit MenuColors(const QPalette& palette)
      : background(palette.color(QPalette::Base).darker(102)),
        column(palette.color(QPalette::Button)),
        highlight(palette.color(QPalette::Highlight)),
        selectionFill(Mix(highlight, background, 0.7)),
        text(palette.color(QPalette::Active, QPalette::Text)),
        disabledText(palette.color(QPalette::Disabled, QPalette::Text)),
        shadow(Mix(palette.color(QPalette::Dark), background, 0.49)),
        line(palette.color(QPalette::Mid)) {}
  QColor background, column, highlight, selectionFill, text, disabledText, shadow, line;
};

enum class Look { Faded, Shadow, Disabled };

// Recolours every visible pixel of an item's image, keeping its transparency.
QPixmap ImageLook(const QPixmap& image, Look look, const MenuColors& colors) {
  QImage pixels = image.toImage().convertToFormat(QImage::Format_ARGB32);
  const qreal backgroundBrightness = Brightness(colors.background);
  for (int y = 0; y < pixels.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(pixels.scanLine(y));
    for (int x = 0; x < pixels.width(); ++x) {
      const QColor pixel = QColor::fromRgba(row[x]);
      if (pixel.alpha() == 0) continue;
      QColor result;
      switch (look) {
        case Look::Faded:
          result = Mix(pixel, colors.background, 0.3);
          break;
        case Look::Shadow:
          result = colors.shadow;
          break;
        case Look::Disabled: {
          // Strokes that stand out from the background keep the grey; faint ones fade into it.
          const qreal contrast = std::abs(Brightness(pixel) - backgroundBrightness);
          result = Mix(colors.disabledText, colors.background, 1.0 - contrast);
          break;
        }
      }
      result.setAlpha(pixel.alpha());
      row[x] = result.rgba();
    }
  }
  QPixmap recoloured = QPixmap::fromImage(pixels);
  recoloured.setDevicePixelRatio(image.devicePixelRatio());
  return recoloured;
}

class FlatMenuStyle final : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    switch (metric) {
      case PM_MenuPanelWidth:
        return 1;
      case PM_MenuHMargin:
        return 0;
      case PM_MenuVMargin:
        return 2;
      case PM_SmallIconSize:
        return kImage.width();
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                         const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type != CT_MenuItem || !item) return QProxyStyle::sizeFromContents(type, option, contents, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) return {kColumnWidth, kSeparatorHeight};
    // The menu adds the widest shortcut's width to this.
    const int width = kColumnWidth + kTextIndent + contents.width() +
                      (item->reservedShortcutWidth > 0 ? kShortcutGap : 0) + kImage.width();
    const int height = std::max(kImage.height() + kGap, item->fontMetrics.height() + 6);
    return {width, height};
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_PanelMenu) {
      FillBackground(*painter, option->rect, MenuColors(option->palette));
    } else if (element == PE_FrameMenu) {
      painter->setPen(MenuColors(option->palette).line);
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    } else {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuEmptyArea) {
      FillBackground(*painter, option->rect, MenuColors(option->palette));
    } else if (element == CE_MenuItem && item) {
      painter->save();
      DrawItem(*painter, *item, widget);
      painter->restore();
    } else {
      QProxyStyle::drawControl(element, option, painter, widget);
    }
  }

 private:
  static void FillBackground(QPainter& painter, const QRect& rect, const MenuColors& colors) {
    painter.fillRect(rect, colors.background);
    painter.fillRect(QRect(rect.left(), rect.top(), kColumnWidth, rect.height()), colors.column);
  }

  static void DrawItem(QPainter& painter, const QStyleOptionMenuItem& item, const QWidget* widget) {
    const MenuColors colors(item.palette);
    const QRect& r = item.rect;
    const QRect column(r.left(), r.top(), kColumnWidth, r.height());
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
      FillBackground(painter, r, colors);
      const int y = r.center().y();
      painter.setPen(colors.line);
      painter.drawLine(column.right() + 1 + kTextIndent, y, r.right(), y);
      return;
    }
    const bool enabled = item.state & QStyle::State_Enabled;
    const bool selected = enabled && (item.state & QStyle::State_Selected);
    if (selected) {
      painter.fillRect(r, colors.selectionFill);
      painter.setPen(colors.highlight);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      FillBackground(painter, r, colors);
    }

    const QRect imageRect = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, kImage, column);
    const bool checked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    if (!item.icon.isNull()) {
      if (checked) {
        const QRect square = imageRect.adjusted(-2, -2, 2, 2);
        painter.fillRect(square, Mix(colors.highlight, colors.background, selected ? 0.55 : 0.85));
        painter.setPen(colors.highlight);
        painter.drawRect(square.adjusted(0, 0, -1, -1));
      }
      const qreal ratio = widget ? widget->devicePixelRatio() : qApp->devicePixelRatio();
      const QPixmap image = item.icon.pixmap(kImage, ratio);
      if (!enabled) {
        painter.drawPixmap(imageRect.topLeft(), ImageLook(image, Look::Disabled, colors));
      } else if (selected && !checked) {
        painter.drawPixmap(imageRect.topLeft() + QPoint(1, 1), ImageLook(image, Look::Shadow, colors));
        painter.drawPixmap(imageRect.topLeft() - QPoint(1, 1), image);
      } else if (selected) {
        painter.drawPixmap(imageRect.topLeft(), image);
      } else {
        painter.drawPixmap(imageRect.topLeft(), ImageLook(image, Look::Faded, colors));
      }
    } else if (checked) {
      QPainterPath mark;
      const QPointF c = QRectF(imageRect).center();
      mark.moveTo(c + QPointF(-4, 0));
      mark.lineTo(c + QPointF(-1, 3));
      mark.lineTo(c + QPointF(4, -3));
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(QPen(enabled ? colors.text : colors.disabledText, 1.5, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
      painter.drawPath(mark);
    }

    painter.setPen(enabled ? colors.text : colors.disabledText);
    painter.setFont(item.font);
    const bool underline = widget && widget->style()->styleHint(QStyle::SH_UnderlineShortcut, &item, widget);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | (underline ? Qt::TextShowMnemonic : Qt::TextHideMnemonic);
    const QRect textRect(column.right() + 1 + kTextIndent, r.top(), r.width() - kColumnWidth - kTextIndent,
                         r.height());
    const qsizetype tab = item.text.indexOf(u'\t');
    painter.drawText(textRect, flags | Qt::AlignLeft, item.text.left(tab));
    if (tab >= 0) {
      const QRect shortcutRect = textRect.adjusted(0, 0, -kImage.width(), 0);
      painter.drawText(shortcutRect, flags | Qt::AlignRight, item.text.mid(tab + 1));
    }
    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
      // A chevron in the room kept at the right end: the item opens a menu of its own.
      const QPointF tip(r.right() - kImage.width() / 2.0 + 2, r.top() + r.height() / 2.0);
      QPainterPath chevron;
      chevron.moveTo(tip + QPointF(-3, -4));
      chevron.lineTo(tip);
      chevron.lineTo(tip + QPointF(-3, 4));
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(QPen(enabled ? colors.text : colors.disabledText, 1.5, Qt::SolidLine, Qt::RoundCap,
                          Qt::RoundJoin));
      painter.setBrush(Qt::NoBrush);
      painter.drawPath(chevron);
    }
  }
};

// One style serves every menu of the program; it lives as long as the application.
QStyle* SharedFlatStyle() {
  static QPointer<FlatMenuStyle> style;
  if (!style) {
    style = new FlatMenuStyle;
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

OwnerDrawMenu::OwnerDrawMenu(QWidget* parent) : OwnerDrawMenu(QString(), parent) {}

OwnerDrawMenu::OwnerDrawMenu(const QString& title, QWidget* parent) : QMenu(title, parent) {
  setStyle(SharedFlatStyle());
  setPalette(SkinPalette());
}

}  // namespace velmora::ui
