#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "ui/options/opt_page.h"

class QCheckBox;
class QVBoxLayout;

namespace velmora::ui {

class CGainSpinBox;

// The "Sound" group of the MP3 and WAV pages: the amplify switch, the coefficient with its
// arrows and the legend. The coefficient is usable while the switch is on; ticking it by hand
// also moves the focus there.
struct SoundControls {
  QCheckBox* amplify = nullptr;
  CGainSpinBox* coefficient = nullptr;

  void Load(std::int32_t amplifyOn, std::int32_t percent);
  // The coefficient is taken only when the edit holds a number.
  void Read(std::int32_t& amplifyOn, std::int32_t& percent) const;
  // Refuses an edit without a number, and a coefficient outside the gain range while amplifying.
  std::optional<COptPage::Refusal> Check(std::int32_t amplifyOn, std::int32_t percent) const;
};

// Adds the group to `page`; its controls are named `prefix` + "AmplifyCheck" / "CoefficientSpin".
SoundControls AddSoundGroup(QVBoxLayout* page, const QString& prefix);

}  // namespace velmora::ui
