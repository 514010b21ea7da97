#include "ui/options/opt_wav_page.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/option_limits.h"
#include "ui/options/page_parts.h"

namespace velmora::ui {
namespace {

// Item data of the preset combo; "Custom" is found by its position instead.
constexpr int kAutoPreset = 2000;
constexpr int kLosslessPreset = 2005;
constexpr int kCustomPreset = 2099;

struct WavPreset {
  int id;
  const char* text;
  int sampleRate;
  int bits;
  int channelIndex;
};

constexpr WavPreset kNamedPresets[] = {
    {2001, QT_TRANSLATE_NOOP("velmora::ui::COptWavPage", "11025 Hz, 8 bits, Mono (low quality, smaller file size)"),
     11025, 8, WavPageValues::kMono},
    {2002, QT_TRANSLATE_NOOP("velmora::ui::COptWavPage", "22050 Hz, 16 bits, Stereo (OK quality, small size)"),
     22050, 16, WavPageValues::kStereo},
    {2003, QT_TRANSLATE_NOOP("velmora::ui::COptWavPage", "32000 Hz, 16 bits, Stereo (medium quality, normal size)"),
     32000, 16, WavPageValues::kStereo},
    {2004, QT_TRANSLATE_NOOP("velmora::ui::COptWavPage", "44100Hz, 16 bits, Stereo (high quality, large size)"),
     44100, 16, WavPageValues::kStereo},
};

const WavPreset* FindPreset(int id) {
  for (const WavPreset& preset : kNamedPresets) {
    if (preset.id == id) return &preset;
  }
  return nullptr;
}

}  // namespace

COptWavPage::COptWavPage(QWidget* parent) : COptPage(parent) {
  setObjectName(QStringLiteral("wavPage"));
  QVBoxLayout* page = PageLayout(this);

  QGridLayout* encoding = AddGroup(page, QStringLiteral("group-wav"), tr("WAV Encoding Parameters"));
  m_preset = new QComboBox(this);
  m_preset->setObjectName(QStringLiteral("wavPresetCombo"));
  m_sampleRate = new QComboBox(this);
  m_sampleRate->setObjectName(QStringLiteral("wavSampleRateCombo"));
  m_bits = new QComboBox(this);
  m_bits->setObjectName(QStringLiteral("wavBitsCombo"));
  // The lists are fixed; the page selects in them as the sheet is shown.
  m_preset->addItem(tr("Auto (recommended)"), kAutoPreset);
  for (const WavPreset& preset : kNamedPresets) m_preset->addItem(tr(preset.text), preset.id);
  m_preset->addItem(tr("Same as source (lossless)"), kLosslessPreset);
  m_preset->addItem(tr("Custom"), kCustomPreset);
  m_customIndex = m_preset->count() - 1;
  for (int bits : kWavBitWidths) m_bits->addItem(tr("%1 bits").arg(bits), bits);
  for (int hz : kWavSampleRates) m_sampleRate->addItem(tr("%1 Hz").arg(hz), hz);
  encoding->addWidget(BuddyLabel(tr("&Encoding Options:"), m_preset), 0, 0);
  encoding->addWidget(m_preset, 0, 1, 1, 4);
  encoding->addWidget(BuddyLabel(tr("Sample &Frequency:"), m_sampleRate), 1, 0);
  encoding->addWidget(m_sampleRate, 1, 1);
  encoding->addWidget(BuddyLabel(tr("&Bits:"), m_bits), 1, 3);
  encoding->addWidget(m_bits, 1, 4);
  encoding->setColumnMinimumWidth(2, 12);
  encoding->setColumnStretch(1, 1);
  encoding->setColumnStretch(4, 1);

  // Stereo stands first on the page, but the channel index counts Mono as 0.
  m_channels = new QButtonGroup(this);
  QHBoxLayout* channelRow = ChoiceRow(encoding, 2, tr("Channels:"));
  auto* stereo = new QRadioButton(tr("&Stereo"), channelRow->parentWidget());
  stereo->setObjectName(QStringLiteral("wavStereoRadio"));
  auto* mono = new QRadioButton(tr("&Mono"), channelRow->parentWidget());
  mono->setObjectName(QStringLiteral("wavMonoRadio"));
  m_channels->addButton(mono, WavPageValues::kMono);
  m_channels->addButton(stereo, WavPageValues::kStereo);
  channelRow->addWidget(stereo);
  channelRow->addWidget(mono);
  channelRow->addStretch();

  m_sound = AddSoundGroup(page, QStringLiteral("wav"));
  page->addStretch();

  connect(m_preset, &QComboBox::activated, this, &COptWavPage::OnPresetChosen);
  connect(m_sampleRate, &QComboBox::activated, this, [this] { OnParameterChosen(m_sampleRate, m_values.sampleRate); });
  connect(m_bits, &QComboBox::activated, this, [this] { OnParameterChosen(m_bits, m_values.bits); });
  connect(m_channels, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) OnChannelChosen();
  });
}

void COptWavPage::Initialise() {
  WriteControls();
  setFont(OptionsFont());
  const bool fixed = m_values.autoParams == 0 && m_values.lossless == 0;
  EnableParameters(fixed);

  int preset = m_values.lossless != 0     ? m_preset->findData(kLosslessPreset)
               : m_values.autoParams != 0 ? m_preset->findData(kAutoPreset)
                                          : m_customIndex;
  for (const WavPreset& named : kNamedPresets) {
    if (fixed && m_values.sampleRate == named.sampleRate && m_values.bits == named.bits &&
        m_values.channelIndex == named.channelIndex) {
      preset = m_preset->findData(named.id);
    }
  }
  m_preset->setCurrentIndex(preset);
  if (!SelectData(m_bits, m_values.bits)) m_bits->setCurrentIndex(0);
  if (!SelectData(m_sampleRate, m_values.sampleRate)) m_sampleRate->setCurrentIndex(0);
}

void COptWavPage::ReadControls() {
  if (m_channels->checkedId() >= 0) m_values.channelIndex = m_channels->checkedId();
  m_sound.Read(m_values.amplify, m_values.coefficient);
}

void COptWavPage::WriteControls() {
  if (QAbstractButton* button = m_channels->button(m_values.channelIndex)) button->setChecked(true);
  m_sound.Load(m_values.amplify, m_values.coefficient);
}

void COptWavPage::EnableParameters(bool on) {
  m_sampleRate->setEnabled(on);
  m_bits->setEnabled(on);
  for (QAbstractButton* button : m_channels->buttons()) button->setEnabled(on);
}

void COptWavPage::SelectCustom() {
  m_ownParameters.reset();  // changed by hand, what is shown is the user's own
  if (m_preset->currentIndex() != m_customIndex) m_preset->setCurrentIndex(m_customIndex);
}

// Named presets tried one after another, by the arrows or from the list, keep the user's own
// parameters aside; Custom, Auto or lossless shows them again.
void COptWavPage::OnPresetChosen() {
  const int id = SelectedData(m_preset);
  if (id < 0) return;
  ReadControls();
  if (const WavPreset* preset = FindPreset(id)) {
    if (!m_ownParameters) {
      m_ownParameters = WavParameters{SelectedData(m_sampleRate), SelectedData(m_bits), m_values.channelIndex};
    }
    ShowParameters({preset->sampleRate, preset->bits, preset->channelIndex});
  } else if (m_ownParameters) {
    ShowParameters(*m_ownParameters);
    m_ownParameters.reset();
  }
  EnableParameters(id != kAutoPreset && id != kLosslessPreset);
  WriteControls();
}

void COptWavPage::ShowParameters(const WavParameters& parameters) {
  SelectData(m_sampleRate, parameters.sampleRate);
  SelectData(m_bits, parameters.bits);
  m_values.sampleRate = parameters.sampleRate;
  m_values.bits = parameters.bits;
  m_values.channelIndex = parameters.channelIndex;
}

void COptWavPage::OnParameterChosen(QComboBox* combo, std::int32_t& recorded) {
  const int value = SelectedData(combo);
  if (value < 0 || value == recorded) return;
  SelectCustom();
  recorded = value;
}

// By click, key or assistive tool alike.
void COptWavPage::OnChannelChosen() {
  const int channel = m_channels->checkedId();
  if (channel < 0 || channel == m_values.channelIndex) return;
  m_values.channelIndex = channel;
  SelectCustom();
}

std::optional<COptPage::Refusal> COptWavPage::KillActive() {
  ReadControls();
  return m_sound.Check(m_values.amplify, m_values.coefficient);
}

void COptWavPage::Apply() {
  ReadControls();
  const int preset = SelectedData(m_preset);
  m_values.autoParams = preset == kAutoPreset ? 1 : 0;
  m_values.lossless = preset == kLosslessPreset ? 1 : 0;
  m_values.bits = SelectedData(m_bits);
  m_values.sampleRate = SelectedData(m_sampleRate);
}

}  // namespace velmora::ui
