#pragma once

#include <QMenu>
#include <QSize>

namespace velmora::ui {

// A pop-up menu drawn in one flat style: a column at the left for 16 x 15 images (an action's
// icon), the text beside it and the action's shortcut (shown in context menus when the action
// asks for it) right-aligned. An image is shown faded
// until its item is selected, then lifted over its shadow; a disabled item shows a grey
// version of it. The selected item is filled with a light tint of the highlight colour and
// framed in it; a checked item shows a tinted square behind its image, or a check mark. Colours come from the menu's palette, the skin's by default.
class OwnerDrawMenu : public QMenu {
  Q_OBJECT

 public:
  static constexpr QSize kImageSize{16, 15};

  explicit OwnerDrawMenu(QWidget* parent = nullptr);
  explicit OwnerDrawMenu(const QString& title, QWidget* parent = nullptr);
};

}  // namespace velmora::ui
