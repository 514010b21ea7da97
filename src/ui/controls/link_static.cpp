#include "ui/controls/link_static.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <mutex>

namespace velmora::ui {

namespace {

// A label would be read out as plain text; this presents the control as a link that screen
// readers and other assistive tools can press.
class LinkAccessible final : public QAccessibleWidget {
 public:
  explicit LinkAccessible(CLinkStatic* link) : QAccessibleWidget(link, QAccessible::Link) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return Link()->text();
    if (kind == QAccessible::Description) return Link()->Target();
    return QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.linked = true;
    state.traversed = Link()->IsVisited();
    return state;
  }
  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
  void doAction(const QString& action) override {
    if (action == pressAction()) Link()->Open();
    else QAccessibleWidget::doAction(action);
  }

 private:
  CLinkStatic* Link() const { return static_cast<CLinkStatic*>(widget()); }
};

QAccessibleInterface* LinkAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(CLinkStatic::staticMetaObject.className()) && object && object->isWidgetType()) {
    return new LinkAccessible(static_cast<CLinkStatic*>(object));
  }
  return nullptr;
}

}  // namespace

CLinkStatic::CLinkStatic(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_target(text), m_opener(DesktopOpener()) {
  // Before anything below can announce the control to assistive technology, which would make
  // and keep a plain label's interface for it.
  static std::once_flag factoryInstalled;
  std::call_once(factoryInstalled, [] { QAccessible::installFactory(LinkAccessibleFactory); });
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
  if (m_target.isEmpty() || !m_opener) {
    Opened(tr("The link has no address."));
    return;
  }
  m_opener(QUrl(m_target, QUrl::TolerantMode), [link = QPointer<CLinkStatic>(this)](const QString& failure) {
    if (link) link->Opened(failure);
  });
}

// The link turns visited only once a program took its target.
void CLinkStatic::Opened(const QString& failure) {
  m_visited = failure.isEmpty();
  UpdateLook();
  if (m_visited) return;
  QApplication::beep();
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmora"),
                  tr("Unable to open hyperlink:\n\n%1").arg(failure), QMessageBox::Ok, this);
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
