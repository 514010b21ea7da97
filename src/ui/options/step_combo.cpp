#include "ui/options/step_combo.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

namespace velmora::ui {

void CStepCombo::keyPressEvent(QKeyEvent* event) {
  // Alt+Down opens the list and Ctrl+arrows belong to an editable combo's completion.
  const bool plain = !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier));
  if (!m_filter || isEditable() || !plain) {
    QComboBox::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_PageUp: StepFrom(currentIndex(), -1); break;
    case Qt::Key_Down:
    case Qt::Key_PageDown: StepFrom(currentIndex(), +1); break;
    case Qt::Key_Home: StepFrom(-1, +1); break;
    case Qt::Key_End: StepFrom(count(), -1); break;
    default: QComboBox::keyPressEvent(event); return;
  }
  event->accept();
}

void CStepCombo::wheelEvent(QWheelEvent* event) {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  if (!m_filter || view()->isVisible() || !style()->styleHint(QStyle::SH_ComboBox_AllowWheelScrolling, &option, this)) {
    QComboBox::wheelEvent(event);
    return;
  }
  const int delta = event->angleDelta().y();
  if (delta != 0) StepFrom(currentIndex(), delta > 0 ? -1 : +1);
  event->accept();
}

void CStepCombo::StepFrom(int from, int direction) {
  for (int index = from + direction; index >= 0 && index < count(); index += direction) {
    const bool usable = model()->flags(model()->index(index, modelColumn(), rootModelIndex())) & Qt::ItemIsEnabled;
    if (!usable || !m_filter(itemData(index).toInt())) continue;
    if (index == currentIndex()) return;
    setCurrentIndex(index);
    emit activated(index);
    emit textActivated(itemText(index));
    return;
  }
}

}  // namespace velmora::ui
