#include "ui/options/opt_mp3_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/option_limits.h"
#include "ui/controls/link_static.h"
#include "ui/options/gain_spin_box.h"
#include "ui/options/id3_tag_dlg.h"
#include "ui/options/page_parts.h"
#include "ui/options/step_combo.h"
#include "ui/web_addresses.h"

namespace velmora::ui {
namespace {

// Item data of the preset combo; "Custom" is found by its position instead.
constexpr int kAutoPreset = 1000;
constexpr int kCustomPreset = 1099;

struct Mp3Preset {
  int id;
  const char* text;
  int sampleRate;
  int bitRate;
  int channelIndex;
};

constexpr Mp3Preset kNamedPresets[] = {
    {1001, QT_TRANSLATE_NOOP("velmora::ui::COptMp3Page", "11025 Hz, 16 kbps, Mono (low quality, smaller file size)"),
     11025, 16, Mp3PageValues::kMono},
    {1002, QT_TRANSLATE_NOOP("velmora::ui::COptMp3Page", "22050 Hz, 32 kbps, Joint Stereo (OK quality, small size)"),
     22050, 32, Mp3PageValues::kJointStereo},
    {1003, QT_TRANSLATE_NOOP("velmora::ui::COptMp3Page", "32000 Hz, 96 kbps, Joint Stereo (medium quality, normal size)"),
     32000, 96, Mp3PageValues::kJointStereo},
    {1004, QT_TRANSLATE_NOOP("velmora::ui::COptMp3Page", "44100Hz, 128 kbps, Joint Stereo (close to CD-quality, large size)"),
     44100, 128, Mp3PageValues::kJointStereo},
};

const Mp3Preset* FindPreset(int id) {
  for (const Mp3Preset& preset : kNamedPresets) {
    if (preset.id == id) return &preset;
  }
  return nullptr;
}

}  // namespace

COptMp3Page::COptMp3Page(QWidget* parent) : COptPage(parent) {
  setObjectName(QStringLiteral("mp3Page"));
  QVBoxLayout* page = PageLayout(this);

  QGridLayout* encoding = AddGroup(page, QStringLiteral("group-mp3"), tr("MP3 Encoding Parameters"));
  m_preset = new QComboBox(this);
  m_preset->setObjectName(QStringLiteral("mp3PresetCombo"));
  m_sampleRate = new CStepCombo(this);
  m_sampleRate->setObjectName(QStringLiteral("mp3SampleRateCombo"));
  m_bitRate = new CStepCombo(this);
  m_bitRate->setObjectName(QStringLiteral("mp3BitRateCombo"));
  // The lists are fixed; the page selects in them as the sheet is shown.
  m_preset->addItem(tr("Auto"), kAutoPreset);
  for (const Mp3Preset& preset : kNamedPresets) m_preset->addItem(tr(preset.text), preset.id);
  m_preset->addItem(tr("Custom"), kCustomPreset);
  m_customIndex = m_preset->count() - 1;
  for (int kbps : kMp3BitRates) m_bitRate->addItem(tr("%1 kbps").arg(kbps), kbps);
  for (int hz : kMp3SampleRates) m_sampleRate->addItem(tr("%1 Hz").arg(hz), hz);
  encoding->addWidget(BuddyLabel(tr("&Encoding Options:"), m_preset), 0, 0);
  encoding->addWidget(m_preset, 0, 1, 1, 4);
  encoding->addWidget(BuddyLabel(tr("Sample &Frequency:"), m_sampleRate), 1, 0);
  encoding->addWidget(m_sampleRate, 1, 1);
  encoding->addWidget(BuddyLabel(tr("&Bit Rate:"), m_bitRate), 1, 3);
  encoding->addWidget(m_bitRate, 1, 4);
  encoding->setColumnMinimumWidth(2, 12);
  encoding->setColumnStretch(1, 1);
  encoding->setColumnStretch(4, 1);

  m_channels = new QButtonGroup(this);
  QHBoxLayout* channelRow = ChoiceRow(encoding, 2, tr("Channels:"));
  const struct {
    int index;
    const char* text;
    const char* name;
  } radios[] = {{Mp3PageValues::kJointStereo, QT_TR_NOOP("&Joint Stereo"), "mp3JointStereoRadio"},
                {Mp3PageValues::kStereo, QT_TR_NOOP("&Stereo"), "mp3StereoRadio"},
                {Mp3PageValues::kMono, QT_TR_NOOP("&Mono"), "mp3MonoRadio"}};
  for (const auto& radio : radios) {
    auto* button = new QRadioButton(tr(radio.text), channelRow->parentWidget());
    button->setObjectName(QString::fromUtf8(radio.name));
    m_channels->addButton(button, radio.index);
    channelRow->addWidget(button);
  }
  channelRow->addStretch();
  m_jointStereoLink = new CLinkStatic(tr("Joint Stereo vs. Stereo"), channelRow->parentWidget());
  m_jointStereoLink->setObjectName(QStringLiteral("jointStereoLink"));
  channelRow->addWidget(m_jointStereoLink);

  m_quality = new QComboBox(this);
  m_quality->setObjectName(QStringLiteral("mp3QualityCombo"));
  m_quality->addItem(tr("Constant bit rate"), kMp3ConstantBitRate);
  for (int q = kMp3BestVbrQuality; q <= kMp3LowestVbrQuality; ++q) {
    const QString text = q == kMp3BestVbrQuality     ? tr("Variable, V%1 (best quality, largest size)")
                         : q == kMp3LowestVbrQuality ? tr("Variable, V%1 (lowest quality, smallest size)")
                                                     : tr("Variable, V%1");
    m_quality->addItem(text.arg(q), q);
  }
  m_gapless = new QCheckBox(tr("&Gapless playback"), this);
  m_gapless->setObjectName(QStringLiteral("mp3GaplessCheck"));
  m_gapless->setToolTip(tr("Tells players the encoder's delay and padding, so that they play exactly the "
                           "source's length. Variable bit rate always does."));
  encoding->addWidget(BuddyLabel(tr("&Quality:"), m_quality), 3, 0);
  encoding->addWidget(m_quality, 3, 1);
  encoding->addWidget(m_gapless, 3, 3, 1, 2);
  // The label names the combo for screen readers; say what its choices are.
  m_quality->setAccessibleName(tr("Quality: constant bit rate, or variable bit rate V0 to V9"));
  m_gapless->setAccessibleName(tr("Gapless playback at constant bit rate"));

  m_encoderLink = new CLinkStatic(tr("The program uses LAME MP3 encoder."), this);
  m_encoderLink->setObjectName(QStringLiteral("encoderLink"));
  encoding->addWidget(m_encoderLink, 4, 1, 1, 4);

  QGridLayout* tag = AddGroup(page, QStringLiteral("group-id3"), tr("ID3 tag"));
  m_addId3 = new QCheckBox(tr("Add &ID3 tag when converting AIFF to MP3"), this);
  m_addId3->setObjectName(QStringLiteral("addId3Check"));
  m_editId3 = new QPushButton(tr("Edit ID3 &tag"), this);
  m_editId3->setObjectName(QStringLiteral("editId3Button"));
  m_editId3->setAutoDefault(false);
  tag->addWidget(m_addId3, 0, 0);
  tag->setColumnStretch(1, 1);
  tag->addWidget(m_editId3, 0, 2);

  m_sound = AddSoundGroup(page, QStringLiteral("mp3"));
  page->addStretch();

  connect(m_preset, &QComboBox::activated, this, &COptMp3Page::OnPresetChosen);
  // A step lands only on a value the other can carry, so only a pick from the list pairs.
  m_bitRate->SetStepFilter([this](int kbps) { return Mp3BitRateFitsRate(kbps, SelectedData(m_sampleRate)); });
  m_sampleRate->SetStepFilter([this](int hz) {
    return m_values.vbrQuality != kMp3ConstantBitRate || Mp3BitRateFitsRate(SelectedData(m_bitRate), hz);
  });
  connect(m_bitRate, &QComboBox::activated, this, &COptMp3Page::OnBitRateChosen);
  connect(m_sampleRate, &QComboBox::activated, this, &COptMp3Page::OnSampleRateChosen);
  connect(m_channels, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) OnChannelChosen();
  });
  connect(m_quality, &QComboBox::activated, this, &COptMp3Page::OnQualityChosen);
  connect(m_addId3, &QCheckBox::toggled, m_editId3, &QWidget::setEnabled);
  connect(m_editId3, &QPushButton::clicked, this, &COptMp3Page::OnEditId3);
}

void COptMp3Page::Initialise() {
  WriteControls();
  setFont(OptionsFont());

  int preset = m_values.autoParams != 0 ? m_preset->findData(kAutoPreset) : m_customIndex;
  for (const Mp3Preset& named : kNamedPresets) {
    if (m_values.autoParams == 0 && m_values.bitRate == named.bitRate && m_values.sampleRate == named.sampleRate &&
        m_values.channelIndex == named.channelIndex) {
      preset = m_preset->findData(named.id);
    }
  }
  m_preset->setCurrentIndex(preset);
  if (!SelectData(m_bitRate, m_values.bitRate)) m_bitRate->setCurrentIndex(0);
  if (!SelectData(m_sampleRate, m_values.sampleRate)) m_sampleRate->setCurrentIndex(0);
  m_chosenBitRate = SelectedData(m_bitRate);
  m_chosenSampleRate = SelectedData(m_sampleRate);
  if (!SelectData(m_quality, m_values.vbrQuality)) m_quality->setCurrentIndex(0);

  m_jointStereoLink->SetTarget(QString::fromUtf8(kJointStereoSearchUrl));
  m_jointStereoLink->SetUnderline(CLinkStatic::Underline::Always);
  m_encoderLink->SetTarget(QString::fromUtf8(kEncoderSiteUrl));
  m_encoderLink->SetUnderline(CLinkStatic::Underline::Always);

  EnableParameters(m_values.autoParams == 0);
  ShowQuality();
  m_editId3->setEnabled(m_values.addId3 != 0);
}

void COptMp3Page::ReadControls() {
  m_values.addId3 = m_addId3->isChecked() ? 1 : 0;
  // Under variable bit rate the box shows what always applies, not the stored choice.
  if (m_gapless->isEnabled()) m_values.gapless = m_gapless->isChecked() ? 1 : 0;
  if (m_channels->checkedId() >= 0) m_values.channelIndex = m_channels->checkedId();
  m_sound.Read(m_values.amplify, m_values.coefficient);
}

void COptMp3Page::WriteControls() {
  m_addId3->setChecked(m_values.addId3 != 0);
  if (QAbstractButton* button = m_channels->button(m_values.channelIndex)) button->setChecked(true);
  m_sound.Load(m_values.amplify, m_values.coefficient);
}

void COptMp3Page::EnableParameters(bool on) {
  m_sampleRate->setEnabled(on);
  m_bitRate->setEnabled(on && m_values.vbrQuality == kMp3ConstantBitRate);
  for (QAbstractButton* button : m_channels->buttons()) button->setEnabled(on);
}

void COptMp3Page::SelectCustom() {
  m_ownParameters.reset();  // changed by hand, what is shown is the user's own
  if (m_preset->currentIndex() != m_customIndex) m_preset->setCurrentIndex(m_customIndex);
}

// Named presets tried one after another, by the arrows or from the list, keep the user's own
// parameters aside; Custom or Auto shows them again.
void COptMp3Page::OnPresetChosen() {
  const int id = SelectedData(m_preset);
  if (id < 0) return;
  ReadControls();
  if (const Mp3Preset* preset = FindPreset(id)) {
    if (!m_ownParameters) {
      m_ownParameters = Mp3Parameters{SelectedData(m_bitRate), SelectedData(m_sampleRate), m_values.channelIndex};
    }
    ShowParameters({preset->bitRate, preset->sampleRate, preset->channelIndex});
  } else if (m_ownParameters) {
    ShowParameters(*m_ownParameters);
    m_ownParameters.reset();
  }
  EnableParameters(id != kAutoPreset);
  WriteControls();
}

void COptMp3Page::ShowParameters(const Mp3Parameters& parameters) {
  SelectData(m_bitRate, parameters.bitRate);
  SelectData(m_sampleRate, parameters.sampleRate);
  m_values.bitRate = m_chosenBitRate = parameters.bitRate;
  m_values.sampleRate = m_chosenSampleRate = parameters.sampleRate;
  m_values.channelIndex = parameters.channelIndex;
}

// The other value is the user's own choice whenever the pair allows it; otherwise the nearest
// that fits what is shown, until a later choice lets the user's return.
void COptMp3Page::OnBitRateChosen() {
  const int kbps = SelectedData(m_bitRate);
  const int hz = SelectedData(m_sampleRate);
  if (kbps < 0 || hz < 0) return;
  m_chosenBitRate = kbps;
  const int pairedRate = Mp3BitRateFitsRate(kbps, m_chosenSampleRate) ? m_chosenSampleRate : Mp3RateForBitRate(kbps, hz);
  ShowPair(kbps, pairedRate);
}

void COptMp3Page::OnSampleRateChosen() {
  const int hz = SelectedData(m_sampleRate);
  const int kbps = SelectedData(m_bitRate);
  if (hz < 0 || kbps < 0) return;
  m_chosenSampleRate = hz;
  const int pairedBitRate = Mp3BitRateFitsRate(m_chosenBitRate, hz) ? m_chosenBitRate : Mp3BitRateForRate(hz, kbps);
  ShowPair(pairedBitRate, hz);
}

void COptMp3Page::ShowPair(int kbps, int hz) {
  if (kbps == m_values.bitRate && hz == m_values.sampleRate) return;
  SelectData(m_bitRate, kbps);
  SelectData(m_sampleRate, hz);
  SelectCustom();
  m_values.bitRate = kbps;
  m_values.sampleRate = hz;
}

// By click, key or assistive tool alike.
void COptMp3Page::OnChannelChosen() {
  const int channel = m_channels->checkedId();
  if (channel < 0 || channel == m_values.channelIndex) return;
  m_values.channelIndex = channel;
  SelectCustom();
}

void COptMp3Page::OnQualityChosen() {
  const int quality = m_quality->currentData().toInt();
  if (quality == m_values.vbrQuality) return;
  ReadControls();
  m_values.vbrQuality = quality;
  ShowQuality();
}

// Variable bit rate makes the bit rate moot and gapless playback certain.
void COptMp3Page::ShowQuality() {
  const bool constant = m_values.vbrQuality == kMp3ConstantBitRate;
  m_bitRate->setEnabled(constant && m_sampleRate->isEnabled());
  m_gapless->setEnabled(constant);
  m_gapless->setChecked(!constant || m_values.gapless != 0);
}

void COptMp3Page::OnEditId3() {
  CId3TagDlg dialog(m_values.id3, this);
  if (dialog.exec() == QDialog::Accepted) m_values.id3 = dialog.Record();
}

std::optional<COptPage::Refusal> COptMp3Page::KillActive() {
  ReadControls();
  return m_sound.Check(m_values.amplify, m_values.coefficient);
}

void COptMp3Page::Apply() {
  ReadControls();
  m_values.autoParams = SelectedData(m_preset) == kAutoPreset ? 1 : 0;
  m_values.vbrQuality = m_quality->currentData().toInt();
  m_values.bitRate = SelectedData(m_bitRate);
  m_values.sampleRate = SelectedData(m_sampleRate);
}

}  // namespace velmora::ui
