#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QSize>

namespace velmora::ui {

// A push button that draws itself over the window's skin: a face image (with a second image
// while the mouse is over it or it is pressed), an optional centred text, and a thin edge that
// shows only while hovered (raised) or pressed (sunken). Pressed, face and text shift by one
// pixel. Its background is the part of the skin that lies under it, so it fits any artwork.
class CSkinButton : public QAbstractButton {
  Q_OBJECT

 public:
  // A bitmap face is drawn as it is; an icon face is greyed out while the button is disabled.
  enum class FaceKind { Bitmap, Icon };

  explicit CSkinButton(QWidget* parent = nullptr);

  // Replaces both faces. `hover` may be null, and the normal face is then kept while hovering.
  // With resizeToFace the button takes the face's size, plus the edge and the press offset.
  void SetFaces(FaceKind kind, const QIcon& normal, const QIcon& hover, QSize size, bool resizeToFace);
  // An invalid hover colour keeps the normal colour while hovering.
  void SetTextColors(const QColor& normal, const QColor& hover = QColor());
  void SetTextOffset(QPoint offset);
  void SetBorder(bool on);
  void SetPressOffset(bool on);
  // Drawn as a link: under the mouse or with the keyboard focus, the text is underlined in the
  // hover colour. Assistive tools announce it as a link (see AnnounceLinkButtons) when the look is
  // set before anything has asked for the button's interface.
  void SetLinkLook(bool on);
  bool LinkLook() const { return m_linkLook; }
  // The skin painted by the parent window; the button copies the piece at its own position.
  // A null pixmap lets the parent's own painting show through.
  void SetBackgroundSource(const QPixmap& skin);

  bool Hovering() const { return m_hovering; }

  QSize sizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  QSize ExtraSize() const;
  void SetHovering(bool on);
  void DrawBackground(QPainter& painter);
  void DrawEdge(QPainter& painter, bool sunken) const;

  FaceKind m_kind = FaceKind::Bitmap;
  QIcon m_normalFace;
  QIcon m_hoverFace;
  QSize m_faceSize;
  QColor m_textColor;
  QColor m_hoverTextColor;
  QPoint m_textOffset;
  bool m_border = true;
  bool m_pressOffset = true;
  bool m_linkLook = false;
  bool m_hovering = false;
  QPixmap m_skin;
  // The piece of the skin behind the button, cut on first paint and dropped when the button
  // moves, changes size or gets another skin.
  QPixmap m_cachedBackground;
};

}  // namespace velmora::ui
