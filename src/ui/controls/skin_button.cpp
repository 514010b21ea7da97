#include "ui/controls/skin_button.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>

namespace velmora::ui {
namespace {

// Edges that read on dark and light skins alike.
const QColor kRaisedFrame(255, 255, 255, 60);
const QColor kRaisedFill(255, 255, 255, 18);
const QColor kSunkenFrame(0, 0, 0, 110);
const QColor kSunkenFill(0, 0, 0, 60);
constexpr qreal kEdgeRadius = 3.0;
// The inset of the keyboard focus frame.
constexpr int kFocusInset = 3;

}  // namespace

CSkinButton::CSkinButton(QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
}

void CSkinButton::SetFaces(FaceKind kind, const QIcon& normal, const QIcon& hover, QSize size,
                           bool resizeToFace) {
  m_kind = kind;
  m_normalFace = normal;
  m_hoverFace = hover;
  m_faceSize = size;
  if (resizeToFace) setFixedSize(size + ExtraSize());
  updateGeometry();
  update();
}

void CSkinButton::SetTextColors(const QColor& normal, const QColor& hover) {
  m_textColor = normal;
  m_hoverTextColor = hover;
  update();
}

void CSkinButton::SetTextOffset(QPoint offset) {
  m_textOffset = offset;
  update();
}

void CSkinButton::SetBorder(bool on) {
  m_border = on;
  updateGeometry();
  update();
}

void CSkinButton::SetPressOffset(bool on) {
  m_pressOffset = on;
  updateGeometry();
  update();
}

void CSkinButton::SetLinkLook(bool on) {
  m_linkLook = on;
  update();
}

void CSkinButton::SetBackgroundSource(const QPixmap& skin) {
  m_skin = skin;
  m_cachedBackground = QPixmap();
  update();
}

QSize CSkinButton::ExtraSize() const {
  const int extra = (m_pressOffset ? 1 : 0) + (m_border ? 2 : 0);
  return {extra, extra};
}

QSize CSkinButton::sizeHint() const {
  QSize content = m_faceSize;
  if (!text().isEmpty()) {
    const QSize textSize = fontMetrics().size(Qt::TextShowMnemonic, text()) + QSize(12, 6);
    content = content.expandedTo(textSize);
  }
  return content + ExtraSize();
}

void CSkinButton::SetHovering(bool on) {
  if (m_hovering == on) return;
  m_hovering = on;
  update();
}

void CSkinButton::enterEvent(QEnterEvent* event) {
  SetHovering(true);
  QAbstractButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event) {
  SetHovering(false);
  QAbstractButton::leaveEvent(event);
}

void CSkinButton::resizeEvent(QResizeEvent* event) {
  m_cachedBackground = QPixmap();
  QAbstractButton::resizeEvent(event);
}

void CSkinButton::moveEvent(QMoveEvent* event) {
  m_cachedBackground = QPixmap();
  QAbstractButton::moveEvent(event);
}

bool CSkinButton::event(QEvent* event) {
  // An icon button has no text to name it, so assistive tools read its tooltip.
  if (event->type() == QEvent::ToolTipChange && text().isEmpty()) setAccessibleName(toolTip());
  // A disabled button no longer follows the mouse; it shows its normal face when enabled again.
  if (event->type() == QEvent::EnabledChange && !isEnabled()) SetHovering(false);
  return QAbstractButton::event(event);
}

void CSkinButton::DrawBackground(QPainter& painter) {
  if (m_skin.isNull()) return;
  if (m_cachedBackground.isNull()) {
    const qreal ratio = m_skin.devicePixelRatio();
    const QRect area(pos() * ratio, size() * ratio);
    m_cachedBackground = m_skin.copy(area);
    m_cachedBackground.setDevicePixelRatio(ratio);
  }
  painter.drawPixmap(0, 0, m_cachedBackground);
}

// A raised edge is a faint light frame over a lighter fill, a sunken one a dark frame over a
// darker fill: the same cue as a 3-D edge, quieter on the skin.
void CSkinButton::DrawEdge(QPainter& painter, bool sunken) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(sunken ? kSunkenFrame : kRaisedFrame);
  painter.setBrush(sunken ? kSunkenFill : kRaisedFill);
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kEdgeRadius, kEdgeRadius);
  painter.restore();
}

void CSkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool pressed = isDown();
  const bool lit = (m_hovering || pressed) && isEnabled();
  DrawBackground(painter);

  QRect content = rect();
  if (m_border) {
    if (lit) DrawEdge(painter, pressed);
    content.adjust(1, 1, -1, -1);
  }
  if (pressed && m_pressOffset) content.translate(1, 1);

  const QIcon& face = lit && !m_hoverFace.isNull() ? m_hoverFace : m_normalFace;
  if (!face.isNull()) {
    const QIcon::Mode mode = !isEnabled() && m_kind == FaceKind::Icon ? QIcon::Disabled : QIcon::Normal;
    const QRect faceRect = QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, m_faceSize, content);
    face.paint(&painter, faceRect, Qt::AlignCenter, mode);
  }

  if (!text().isEmpty()) {
    const bool linkLit = m_linkLook && isEnabled() && (lit || hasFocus());
    QColor color = m_textColor.isValid() ? m_textColor : palette().color(QPalette::ButtonText);
    if (!isEnabled()) {
      color = palette().color(QPalette::Disabled, QPalette::ButtonText);
    } else if ((lit || linkLit) && m_hoverTextColor.isValid()) {
      color = m_hoverTextColor;
    }
    painter.setPen(color);
    QFont textFont = font();
    textFont.setUnderline(linkLit);
    painter.setFont(textFont);
    const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this) ? Qt::TextShowMnemonic
                                                                                          : Qt::TextHideMnemonic;
    painter.drawText(content.translated(m_textOffset), Qt::AlignCenter | Qt::TextSingleLine | mnemonic, text());
  }

  if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
    QPen pen(palette().color(QPalette::Highlight));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
  }
}

}  // namespace velmora::ui
