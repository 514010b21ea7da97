#pragma once

#include <QSpinBox>
#include <optional>

namespace velmora::ui {

// The amplification coefficient in percent. Any whole number of up to five digits can be typed
// (the page refuses those outside the gain range when it is left), while the arrows step by
// kGainStepPercent and always land inside the range: up from 2995 gives 3000, down from 15
// gives 10, and either arrow brings a typed 5 or 5000 back into range.
class CGainSpinBox : public QSpinBox {
  Q_OBJECT

 public:
  explicit CGainSpinBox(QWidget* parent = nullptr);

  // The typed number, or nothing when the edit holds none.
  std::optional<int> TypedValue() const;

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int Stepped(int steps) const;
};

}  // namespace velmora::ui
