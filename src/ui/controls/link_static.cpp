#include "ui/controls/link_static.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace velmora::ui {

UrlOpener DesktopOpener() {
  return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QString LinkFailureMessage() {
  // The desktop tells us only that nothing took the target, which is what this text says.
  return QStringLiteral("Unable to open hyperlink:\n\n") +
         QStringLiteral("There is no application associated\nwith the given filename extension.");
}

CLinkStatic::CLinkStatic(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_target(text), m_opener(DesktopOpener()) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  setMouseTracking(true);
  setFocusPolicy(Qt::TabFocus);
  // The control is as large as its text, so only the text reacts to the mouse.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setToolTip(m_target);
  UpdateLook();
}

void CLinkStatic::SetTarget(const QString& target) {
  m_target = target;
  if (text().isEmpty()) setText(target);
  setToolTip(target);
  setAccessibleDescription(target);
  updateGeometry();
}

void CLinkStatic::SetUnderline(Underline mode) {
  if (mode == m_underline) return;
  m_underline = mode;
  UpdateLook();
}

QColor CLinkStatic::TextColour() const {
  if (m_hovering) return kHoverColour;
  return m_visited ? kVisitedColour : kLinkColour;
}

void CLinkStatic::Open() {
  SetHovering(false);
  const QUrl url(m_target, QUrl::TolerantMode);
  m_visited = !m_target.isEmpty() && m_opener && m_opener(url);
  UpdateLook();
  if (m_visited) return;
  QApplication::beep();
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmora"), LinkFailureMessage(), QMessageBox::Ok, this);
  box.exec();
}

void CLinkStatic::enterEvent(QEnterEvent* event) {
  SetHovering(true);
  QLabel::enterEvent(event);
}

void CLinkStatic::mouseMoveEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) SetHovering(true);
  QLabel::mouseMoveEvent(event);
}

void CLinkStatic::leaveEvent(QEvent* event) {
  SetHovering(false);
  QLabel::leaveEvent(event);
}

void CLinkStatic::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Open();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

void CLinkStatic::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Open();
    return;
  }
  QLabel::keyPressEvent(event);
}

void CLinkStatic::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void CLinkStatic::SetHovering(bool hovering) {
  if (hovering == m_hovering) return;
  m_hovering = hovering;
  UpdateLook();
}

void CLinkStatic::UpdateLook() {
  // Only the underline and the text colour are set here; face and size still follow the
  // parent, so a page font reaches its links too.
  QFont underline;
  underline.setUnderline(m_underline == Underline::Always ||
                         (m_underline == Underline::WhileHovering && m_hovering));
  setFont(underline);
  QPalette colours;
  colours.setColor(QPalette::WindowText, TextColour());
  setPalette(colours);
  update();
}

}  // namespace velmora::ui
