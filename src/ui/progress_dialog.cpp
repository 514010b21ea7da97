#include "ui/progress_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/controls/skin_style.h"

namespace velmora::ui {
namespace {

constexpr int kMargin = 14;
constexpr int kBarHeight = 8;
// Wide enough for a long file name beside its percentage.
constexpr int kLineWidth = 440;

QString StyleSheet() {
  return QStringLiteral(
             "QLabel { color: %3; }"
             "QProgressBar { background: %1; border: none; border-radius: 4px; }"
             "QProgressBar::chunk { background: %2; border-radius: 4px; }"
             "QPushButton { background: %1; color: %3; border: 1px solid %4; border-radius: 4px;"
             "  padding: 4px 18px; min-width: 56px; }"
             "QPushButton:hover { border-color: %2; }"
             "QPushButton:pressed { background: %5; }"
             "QPushButton:focus { border-color: %2; }")
      .arg(skin::kRaised.name(), skin::kAccent.name(), skin::kText.name(), skin::kLine.name(),
           skin::kInk.name());
}

}  // namespace

CProgressDlg::CProgressDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setWindowTitle(QStringLiteral("Velmora"));
  setPalette(SkinPalette());
  setFont(SkinFont());
  setAutoFillBackground(true);
  setStyleSheet(StyleSheet());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(12);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  m_body = new QVBoxLayout;
  m_body->setSpacing(8);
  layout->addLayout(m_body);

  m_cancel = new QPushButton(tr("Cancel"), this);
  m_cancel->setObjectName(QStringLiteral("cancelButton"));
  // Enter on the focused button must not press it: neither Enter nor Esc stops an operation.
  m_cancel->setAutoDefault(false);
  m_cancel->setDefault(false);
  layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
  connect(m_cancel, &QPushButton::clicked, this, &CProgressDlg::RequestCancel);
}

QLabel* CProgressDlg::AddLine(const QString& objectName) {
  auto* line = new QLabel(this);
  line->setObjectName(objectName);
  line->setFixedWidth(kLineWidth);
  line->setTextFormat(Qt::PlainText);
  m_body->addWidget(line);
  return line;
}

QProgressBar* CProgressDlg::AddBar(const QString& objectName, const QString& accessibleName) {
  auto* bar = new QProgressBar(this);
  bar->setObjectName(objectName);
  bar->setAccessibleName(accessibleName);
  bar->setTextVisible(false);
  bar->setFixedSize(kLineWidth, kBarHeight);
  bar->setValue(0);
  m_body->addWidget(bar);
  m_body->addSpacing(6);
  return bar;
}

void CProgressDlg::SetBar(QProgressBar& bar, int value, int maximum) {
  maximum = std::max(maximum, 1);
  bar.setRange(0, maximum);
  bar.setValue(std::clamp(value, 0, maximum));
}

QString CProgressDlg::WithElidedName(const QString& text, const QString& name) const {
  const QFontMetrics metrics(font());
  const int room = kLineWidth - metrics.horizontalAdvance(text.arg(QString()));
  return text.arg(metrics.elidedText(name, Qt::ElideMiddle, std::max(room, 0)));
}

void CProgressDlg::Finish() {
  m_finishing = true;
  close();
}

void CProgressDlg::RequestCancel() {
  if (m_cancelled) return;
  m_cancelled = true;
  emit cancelRequested();
}

void CProgressDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

// Only the operation may close the window, since it still writes to it; a close request from
// the desktop (Alt+F4) asks the operation to stop instead, like Cancel.
void CProgressDlg::closeEvent(QCloseEvent* event) {
  if (m_finishing) {
    event->accept();
    return;
  }
  event->ignore();
  RequestCancel();
}

// Without a frame from the window manager the dialog draws its own edge.
void CProgressDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setPen(skin::kLine);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace velmora::ui
