#pragma once

#include <cstdint>

#include "settings/converter_settings.h"
#include "ui/options/opt_page.h"
#include "ui/options/sound_group.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;

namespace velmora::ui {

class CLinkStatic;
class CStepCombo;

// What the MP3 page edits. The channel index counts in the order of the buttons.
struct Mp3PageValues {
  static constexpr std::int32_t kJointStereo = 0, kStereo = 1, kMono = 2;

  std::int32_t autoParams = 1;
  std::int32_t bitRate = 128;
  std::int32_t sampleRate = 44100;
  std::int32_t channelIndex = kJointStereo;
  std::int32_t vbrQuality = kMp3ConstantBitRate;  // or 0 (V0) to 9
  std::int32_t gapless = 0;
  std::int32_t addId3 = 0;
  Id3TagRecord id3;
  std::int32_t amplify = 0;
  std::int32_t coefficient = 100;
};

// The "MP3 Options" page: a preset or explicit bit rate, sample rate and channel mode, constant
// or variable bit rate, gapless playback, the ID3 tag switch and editor, and the MP3 gain. Bit
// rate and sample rate are kept to pairs an MP3 stream can carry: the arrows and the wheel step
// over values the other cannot carry, and a value picked from the list moves the other only for
// as long as the pair needs it. Any change by hand selects "Custom"; presets tried on the way
// to Custom leave the user's own parameters to come back there. Variable bit rate stands beside
// the presets: it replaces the bit rate alone, and always brings gapless playback.
class COptMp3Page : public COptPage {
  Q_OBJECT

 public:
  explicit COptMp3Page(QWidget* parent = nullptr);

  Mp3PageValues& Values() { return m_values; }
  const Mp3PageValues& Values() const { return m_values; }

  std::optional<Refusal> KillActive() override;
  void Apply() override;

 protected:
  void Initialise() override;

 private:
  void ReadControls();
  void WriteControls();
  void EnableParameters(bool on);
  void SelectCustom();
  struct Mp3Parameters {
    int bitRate;
    int sampleRate;
    std::int32_t channelIndex;
  };
  void OnPresetChosen();
  void ShowParameters(const Mp3Parameters& parameters);
  void OnBitRateChosen();
  void OnSampleRateChosen();
  // Shows the pair and takes it as the page's values.
  void ShowPair(int kbps, int hz);
  void OnChannelChosen();
  void OnQualityChosen();
  void ShowQuality();
  void OnEditId3();

  Mp3PageValues m_values;
  int m_customIndex = -1;
  QComboBox* m_preset = nullptr;
  CStepCombo* m_sampleRate = nullptr;
  CStepCombo* m_bitRate = nullptr;
  // What the user last chose in each, by list, arrows or preset; what is shown differs only
  // while the other value cannot be carried with it.
  int m_chosenBitRate = -1;
  int m_chosenSampleRate = -1;
  // The user's own parameters while named presets stand in for them.
  std::optional<Mp3Parameters> m_ownParameters;
  QButtonGroup* m_channels = nullptr;
  QComboBox* m_quality = nullptr;
  QCheckBox* m_gapless = nullptr;
  CLinkStatic* m_jointStereoLink = nullptr;
  CLinkStatic* m_encoderLink = nullptr;
  QCheckBox* m_addId3 = nullptr;
  QPushButton* m_editId3 = nullptr;
  SoundControls m_sound;
};

}  // namespace velmora::ui
