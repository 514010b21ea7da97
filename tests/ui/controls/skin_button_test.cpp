#include "ui/controls/skin_button.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTest>

namespace velmora::ui {
namespace {

QIcon Solid(QColor color, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(color);
  return QIcon(pixmap);
}

// A parent painted with a skin that is yellow except for a blue patch under the button, which
// sits at (30, 20) and is 24 x 24 with a 16 x 16 face.
class SkinButtonTest : public testing::Test {
 protected:
  static constexpr QRect kButton{30, 20, 24, 24};

  void SetUp() override {
    QPixmap skin(120, 80);
    skin.fill(Qt::yellow);
    QPainter(&skin).fillRect(kButton, Qt::blue);
    m_parent.setFixedSize(skin.size());
    m_button = new CSkinButton(&m_parent);
    m_button->setGeometry(kButton);
    m_button->SetFaces(CSkinButton::FaceKind::Icon, Solid(Qt::red, {16, 16}), Solid(Qt::green, {16, 16}),
                       {16, 16}, false);
    // The parent itself paints nothing: whatever shows behind the face came from the skin.
    m_button->SetBackgroundSource(skin);
    m_parent.show();
    // The pointer stays where an earlier test left it: start with it away from the button.
    QTest::mouseMove(&m_parent, QPoint(m_parent.width() - 1, m_parent.height() - 1));
  }

  // The button as drawn, at a point in its own coordinates.
  QColor At(QPoint point) { return m_button->grab().toImage().pixelColor(point); }

  QWidget m_parent;
  CSkinButton* m_button = nullptr;
};

// Inside its edge the 24 x 24 button centres the face on 22 x 22: from (4, 4) to (19, 19).
TEST_F(SkinButtonTest, HoverSwapsTheFaceAndPressingShiftsItByOnePixel) {
  EXPECT_EQ(At({0, 0}), QColor(Qt::blue)) << "background cut from the skin at the button's place, no edge";
  EXPECT_EQ(At({4, 4}), QColor(Qt::red));
  EXPECT_EQ(At({19, 19}), QColor(Qt::red));
  EXPECT_EQ(At({20, 20}), QColor(Qt::blue));

  QTest::mouseMove(m_button, {12, 12});
  ASSERT_TRUE(m_button->Hovering());
  EXPECT_EQ(At({4, 4}), QColor(Qt::green));
  EXPECT_NE(At({12, 0}), QColor(Qt::blue)) << "an edge while hovered";

  QTest::mousePress(m_button, Qt::LeftButton, {}, {12, 12});
  EXPECT_NE(At({4, 4}), QColor(Qt::green));
  EXPECT_EQ(At({5, 5}), QColor(Qt::green));
  EXPECT_EQ(At({20, 20}), QColor(Qt::green));
  QTest::mouseRelease(m_button, Qt::LeftButton, {}, {12, 12});

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(m_button, &leave);
  EXPECT_FALSE(m_button->Hovering());
  EXPECT_EQ(At({4, 4}), QColor(Qt::red));
  EXPECT_EQ(At({12, 0}), QColor(Qt::blue));

  // A disabled icon button shows its face greyed, not in colour.
  m_button->setEnabled(false);
  const QColor disabled = At({12, 12});
  EXPECT_NE(disabled, QColor(Qt::red));
  EXPECT_LT(std::abs(disabled.red() - disabled.green()), 40);
}

TEST_F(SkinButtonTest, MovedButtonCutsItsBackgroundAfreshAndIconButtonsAreNamedByTheirTooltips) {
  m_button->move(kButton.topLeft() + QPoint(40, 0));
  EXPECT_EQ(At({0, 0}), QColor(Qt::yellow));

  m_button->setToolTip(QStringLiteral("Minimize"));
  EXPECT_EQ(m_button->accessibleName(), QStringLiteral("Minimize"));

  // Resizing to the face adds the edge and the press offset.
  m_button->SetFaces(CSkinButton::FaceKind::Bitmap, Solid(Qt::red, {106, 26}), QIcon(), {106, 26}, true);
  EXPECT_EQ(m_button->size(), QSize(109, 29));
  m_button->SetPressOffset(false);
  m_button->SetBorder(false);
  EXPECT_EQ(m_button->sizeHint(), QSize(106, 26));
}

// A text drawn as a link (the home page's address) shows it is one under the mouse and with the
// keyboard focus: it turns to the hover colour and is underlined.
TEST_F(SkinButtonTest, LinkLookUnderlinesTheTextUnderTheMouseAndWithTheFocus) {
  auto* link = new CSkinButton(&m_parent);
  link->setText(QStringLiteral("example.org"));
  link->SetBorder(false);
  link->SetTextColors(Qt::gray, Qt::cyan);
  link->SetLinkLook(true);
  link->setGeometry(0, 50, 110, 24);
  link->show();
  const int textWidth = link->fontMetrics().horizontalAdvance(link->text());
  // Rows almost as wide as the text in the hover colour: only an underline draws those.
  auto underlines = [&] {
    const QImage image = link->grab().toImage();
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
      int lit = 0;
      for (int x = 0; x < image.width(); ++x) lit += image.pixelColor(x, y) == QColor(Qt::cyan);
      rows += lit >= textWidth * 9 / 10;
    }
    return rows;
  };
  EXPECT_EQ(underlines(), 0);
  QTest::mouseMove(link, link->rect().center());
  EXPECT_GT(underlines(), 0) << "under the mouse";
  QTest::mouseMove(&m_parent, QPoint(m_parent.width() - 1, 0));
  EXPECT_EQ(underlines(), 0);
  QApplication::setActiveWindow(&m_parent);
  link->setFocus();
  ASSERT_TRUE(link->hasFocus());
  EXPECT_GT(underlines(), 0) << "with the focus";
}

}  // namespace
}  // namespace velmora::ui
