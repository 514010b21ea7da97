#pragma once

#include <QComboBox>
#include <functional>

namespace velmora::ui {

// A combo box whose arrow keys and mouse wheel step over the items a filter refuses, while its
// list still offers every item. A step thus always lands on a value that fits the rest of the
// page; a value picked from the list may be any, and the page pairs the rest with it. Past the
// last item the filter accepts, a step does nothing.
class CStepCombo : public QComboBox {
  Q_OBJECT

 public:
  // Whether a step may land on the item with this data.
  using StepFilter = std::function<bool(int data)>;

  using QComboBox::QComboBox;

  void SetStepFilter(StepFilter filter) { m_filter = std::move(filter); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // Selects the first item the filter accepts after `from` in `direction` (+1 or -1) and
  // reports it as activated, as a step of the plain combo box does.
  void StepFrom(int from, int direction);

  StepFilter m_filter;
};

}  // namespace velmora::ui
