#pragma once

#include <cstdint>

#include "settings/option_limits.h"
#include "ui/options/opt_page.h"

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

namespace velmora::ui {

// What the Loudness page edits: the mode, the target in LUFS, album mode and the ceiling in
// tenths of a dBTP, as stored.
struct LoudnessPageValues {
  std::int32_t mode = kLoudnessOff;
  std::int32_t target = kDefaultLoudnessTarget;
  std::int32_t album = 0;
  std::int32_t ceiling = kDefaultTruePeakCeilingTenths;
};

// The "Loudness" page: off, ReplayGain tags, or normalisation to a target loudness under a
// true-peak ceiling; per file, or per album (the files of one source folder). The target and
// the ceiling are usable only while normalising.
class COptLoudnessPage : public COptPage {
  Q_OBJECT

 public:
  explicit COptLoudnessPage(QWidget* parent = nullptr);

  LoudnessPageValues& Values() { return m_values; }
  const LoudnessPageValues& Values() const { return m_values; }

  std::optional<Refusal> KillActive() override;
  void Apply() override { ReadControls(); }

 protected:
  void Initialise() override;

 private:
  void ReadControls();
  void EnableNormalizeControls();

  LoudnessPageValues m_values;
  QButtonGroup* m_mode = nullptr;
  QSpinBox* m_target = nullptr;
  QCheckBox* m_album = nullptr;
  QDoubleSpinBox* m_ceiling = nullptr;
};

}  // namespace velmora::ui
