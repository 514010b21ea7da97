#pragma once

#include <cstdint>

#include "ui/options/opt_page.h"
#include "ui/options/sound_group.h"

class QButtonGroup;
class QComboBox;

namespace velmora::ui {

// What the WAV page edits. The channel index is the channel count minus one.
struct WavPageValues {
  static constexpr std::int32_t kMono = 0, kStereo = 1;

  std::int32_t autoParams = 1;
  std::int32_t lossless = 0;  // the source's channels, rate and resolution; wins over autoParams
  std::int32_t bits = 16;
  std::int32_t sampleRate = 44100;
  std::int32_t channelIndex = kStereo;
  std::int32_t amplify = 0;
  std::int32_t coefficient = 100;
};

// The "WAV Options" page: a preset or explicit sample rate, width and channel count, and the WAV
// gain. Any change by hand selects "Custom"; no rule ties the width to the rate. "Same as
// source (lossless)" leaves the parameters to each source, as Auto does, at full resolution.
// Presets tried on the way to Custom leave the user's own parameters to come back there.
class COptWavPage : public COptPage {
  Q_OBJECT

 public:
  explicit COptWavPage(QWidget* parent = nullptr);

  WavPageValues& Values() { return m_values; }
  const WavPageValues& Values() const { return m_values; }

  std::optional<Refusal> KillActive() override;
  void Apply() override;

 protected:
  void Initialise() override;

 private:
  void ReadControls();
  void WriteControls();
  void EnableParameters(bool on);
  void SelectCustom();
  struct WavParameters {
    int sampleRate;
    int bits;
    std::int32_t channelIndex;
  };
  void OnPresetChosen();
  void ShowParameters(const WavParameters& parameters);
  void OnParameterChosen(QComboBox* combo, std::int32_t& recorded);
  void OnChannelChosen();

  WavPageValues m_values;
  int m_customIndex = -1;
  QComboBox* m_preset = nullptr;
  QComboBox* m_sampleRate = nullptr;
  QComboBox* m_bits = nullptr;
  QButtonGroup* m_channels = nullptr;
  // The user's own parameters while named presets stand in for them.
  std::optional<WavParameters> m_ownParameters;
  SoundControls m_sound;
};

}  // namespace velmora::ui
