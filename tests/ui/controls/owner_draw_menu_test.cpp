#include "ui/controls/owner_draw_menu.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QImage>
#include <QPixmap>
#include <functional>

namespace velmora::ui {
namespace {

bool Greyish(QColor c) { return std::abs(c.red() - c.green()) < 30 && std::abs(c.green() - c.blue()) < 30; }
bool Reddish(QColor c) { return c.red() > c.green() + 80 && c.red() > c.blue() + 80; }
int Lightness(QColor c) { return (c.red() + c.green() + c.blue()) / 3; }

// The smallest rectangle around the pixels of `area` that pass `test`.
QRect Box(const QImage& image, QRect area, const std::function<bool(QColor)>& test) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (test(image.pixelColor(x, y))) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// Three items with a pure red 16 x 15 image: one plain, one selected with a shortcut, one
// disabled; and one without an image.
TEST(OwnerDrawMenu, ImagesTakeTheirLookFromTheItemsStateAndShortcutsAlignRight) {
  QPixmap red(OwnerDrawMenu::kImageSize);
  red.fill(Qt::red);
  OwnerDrawMenu menu;
  QAction* plain = menu.addAction(QIcon(red), QStringLiteral("&Plain"));
  QAction* selected = menu.addAction(QIcon(red), QStringLiteral("&Selected"));
  selected->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  selected->setShortcutVisibleInContextMenu(true);
  QAction* disabled = menu.addAction(QIcon(red), QStringLiteral("&Disabled"));
  disabled->setEnabled(false);
  menu.addSeparator();
  QAction* bare = menu.addAction(QStringLiteral("No image"));
  menu.popup({0, 0});
  menu.setActiveAction(selected);
  const QImage shot = menu.grab().toImage();

  // The image column of an item, the image and its shadow and frame included.
  auto column = [&](QAction* action) {
    const QRect item = menu.actionGeometry(action);
    return QRect(item.left(), item.top(), 24, item.height()).translated(-item.topLeft());
  };
  auto inItem = [&](QAction* action, const std::function<bool(QColor)>& test) {
    const QRect item = menu.actionGeometry(action);
    return Box(shot, column(action).translated(item.topLeft()), test).translated(-item.topLeft());
  };

  // Unselected, the image is faded but still red; selected, it is lifted by one pixel up and
  // left over a grey shadow one pixel down and right.
  const QRect faded = inItem(plain, Reddish);
  EXPECT_EQ(faded.size(), OwnerDrawMenu::kImageSize);
  EXPECT_NE(shot.pixelColor(menu.actionGeometry(plain).topLeft() + faded.center()), QColor(Qt::red));
  const QRect lifted = inItem(selected, [](QColor c) { return c == QColor(Qt::red); });
  EXPECT_EQ(lifted.size(), OwnerDrawMenu::kImageSize);
  EXPECT_EQ(lifted.topLeft(), faded.topLeft() - QPoint(1, 1));
  const QPoint shadow = menu.actionGeometry(selected).topLeft() + lifted.bottomRight() + QPoint(2, 2);
  EXPECT_TRUE(Greyish(shot.pixelColor(shadow)));
  EXPECT_EQ(shot.pixelColor(menu.actionGeometry(selected).topLeft() + QPoint(0, 5)),
            menu.palette().color(QPalette::Highlight))
      << "the selection's frame";

  // Disabled, the image is grey, no red left.
  EXPECT_TRUE(inItem(disabled, Reddish).isEmpty());
  EXPECT_TRUE(Greyish(shot.pixelColor(menu.actionGeometry(disabled).topLeft() + faded.center())));

  // The shortcut ends one image width before the item's right edge.
  const QRect item = menu.actionGeometry(selected);
  const QRect text = Box(shot, item.adjusted(30, 2, -1, -2), [](QColor c) { return Lightness(c) > 150; });
  EXPECT_GE(text.right(), item.right() - 16 - 4);
  EXPECT_LE(text.right(), item.right() - 16);
  // Assistive tools hear the command by its name and the shortcut as its own property.
  QAccessibleInterface* entry = QAccessible::queryAccessibleInterface(&menu)->child(1);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text(QAccessible::Name), QStringLiteral("Selected"));
  EXPECT_EQ(entry->text(QAccessible::Accelerator), QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText));

  // Without an image the column stays empty and the text starts right of it.
  const QRect bareText = Box(shot, menu.actionGeometry(bare), [](QColor c) { return Lightness(c) > 150; });
  EXPECT_GT(bareText.left(), menu.actionGeometry(bare).left() + 23);
  menu.close();
}

}  // namespace
}  // namespace velmora::ui
