#pragma once

#include <cstdint>

#include "settings/option_limits.h"
#include "ui/options/opt_page.h"

class QCheckBox;
class QLabel;
class QSlider;

namespace velmora::ui {

// What the FLAC page edits: the compression level and whether the AIFF's own chunks travel in
// the file, as stored.
struct FlacPageValues {
  std::int32_t level = kDefaultFlacLevel;
  std::int32_t keepChunks = 1;
};

// The "FLAC Options" page: how hard the encoder works (every level keeps the sound exactly; a
// higher one writes a smaller file more slowly), and whether the source's chunks are kept so
// that the AIFF can be restored from the FLAC file byte for byte.
class COptFlacPage : public COptPage {
  Q_OBJECT

 public:
  explicit COptFlacPage(QWidget* parent = nullptr);

  FlacPageValues& Values() { return m_values; }
  const FlacPageValues& Values() const { return m_values; }

  std::optional<Refusal> KillActive() override;
  void Apply() override { ReadControls(); }

 protected:
  void Initialise() override;

 private:
  void ReadControls();
  void ShowLevel(int level);

  FlacPageValues m_values;
  QSlider* m_level = nullptr;
  QLabel* m_levelText = nullptr;
  QCheckBox* m_keepChunks = nullptr;
};

}  // namespace velmora::ui
