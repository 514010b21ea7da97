#pragma once

#include <cstdint>

#include "settings/option_limits.h"
#include "ui/options/opt_page.h"

class QButtonGroup;
class QSpinBox;

namespace velmora::ui {

// What the Opus page edits, as stored: the bit rate in kbit/s (kOpusBitRateAuto: by the
// channel count) and its control (kOpusVbrOn, kOpusVbrConstrained, kOpusVbrOff).
struct OpusPageValues {
  std::int32_t bitRate = kOpusBitRateAuto;
  std::int32_t vbr = kOpusVbrOn;
};

// The "Opus Options" page: an automatic bit rate that follows each file's channels, or one
// the user sets; and whether the rate varies with the sound, stays close to the rate set, or
// holds it exactly.
class COptOpusPage : public COptPage {
  Q_OBJECT

 public:
  explicit COptOpusPage(QWidget* parent = nullptr);

  OpusPageValues& Values() { return m_values; }
  const OpusPageValues& Values() const { return m_values; }

  std::optional<Refusal> KillActive() override;
  void Apply() override { ReadControls(); }

 protected:
  void Initialise() override;

 private:
  void ReadControls();
  void EnableBitRate();

  OpusPageValues m_values;
  QButtonGroup* m_rateKind = nullptr;
  QSpinBox* m_bitRate = nullptr;
  QButtonGroup* m_vbr = nullptr;
};

}  // namespace velmora::ui
