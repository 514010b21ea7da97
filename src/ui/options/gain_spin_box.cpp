#include "ui/options/gain_spin_box.h"

#include <algorithm>

#include "settings/option_limits.h"

namespace velmora::ui {
namespace {

constexpr int kMostTyped = 99999;

}  // namespace

CGainSpinBox::CGainSpinBox(QWidget* parent) : QSpinBox(parent) {
  setRange(0, kMostTyped);
  setSingleStep(kGainStepPercent);
  setAlignment(Qt::AlignRight);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

std::optional<int> CGainSpinBox::TypedValue() const {
  bool ok = false;
  const int value = cleanText().toInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

int CGainSpinBox::Stepped(int steps) const {
  const int from = TypedValue().value_or(value());
  return std::clamp(from + steps * kGainStepPercent, kMinGainPercent, kMaxGainPercent);
}

void CGainSpinBox::stepBy(int steps) {
  setValue(Stepped(steps));
  selectAll();
}

QAbstractSpinBox::StepEnabled CGainSpinBox::stepEnabled() const {
  if (isReadOnly() || !isEnabled()) return StepNone;
  const int from = TypedValue().value_or(value());
  StepEnabled enabled = StepNone;
  if (Stepped(1) != from) enabled |= StepUpEnabled;
  if (Stepped(-1) != from) enabled |= StepDownEnabled;
  return enabled;
}

}  // namespace velmora::ui
