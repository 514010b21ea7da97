#include "ui/options/opt_loudness_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "ui/options/page_parts.h"

namespace velmora::ui {
namespace {

constexpr double kTenth = 0.1;

}  // namespace

COptLoudnessPage::COptLoudnessPage(QWidget* parent) : COptPage(parent) {
  setObjectName(QStringLiteral("loudnessPage"));
  QVBoxLayout* page = PageLayout(this);

  QGridLayout* group = AddGroup(page, QStringLiteral("group-sound"), tr("Loudness (EBU R128)"));
  m_mode = new QButtonGroup(this);
  const std::pair<const char*, QString> modes[] = {
      {"loudnessOffRadio", tr("&Off")},
      {"loudnessReplayGainRadio", tr("&ReplayGain tags")},
      {"loudnessNormalizeRadio", tr("&Normalise the sound to:")},
  };
  for (int mode = kLoudnessOff; mode <= kLoudnessNormalize; ++mode) {
    auto* radio = new QRadioButton(modes[mode].second, this);
    radio->setObjectName(QString::fromUtf8(modes[mode].first));
    m_mode->addButton(radio, mode);
    group->addWidget(radio, mode, 0, 1, mode == kLoudnessNormalize ? 1 : 3);
  }
  m_target = new QSpinBox(this);
  m_target->setObjectName(QStringLiteral("loudnessTargetSpin"));
  m_target->setRange(kMinLoudnessTarget, kMaxLoudnessTarget);
  m_target->setSuffix(tr(" LUFS"));
  m_target->setAccessibleName(tr("Target loudness"));
  m_target->setToolTip(tr("The loudness of the sound handed to the MP3 or WAV encoder. A decoded MP3 measures a "
                          "little lower, at 128 kbit/s by 0.5 to 0.7 LU, as the encoder leaves out the highest "
                          "frequencies."));
  group->addWidget(m_target, kLoudnessNormalize, 1);

  m_ceiling = new QDoubleSpinBox(this);
  m_ceiling->setObjectName(QStringLiteral("loudnessCeilingSpin"));
  m_ceiling->setDecimals(1);
  m_ceiling->setSingleStep(kTenth);
  m_ceiling->setRange(kMinTruePeakCeilingTenths * kTenth, kMaxTruePeakCeilingTenths * kTenth);
  m_ceiling->setSuffix(tr(" dBTP"));
  group->addWidget(BuddyLabel(tr("True-peak &ceiling:"), m_ceiling), 3, 0);
  group->addWidget(m_ceiling, 3, 1);

  m_album = new QCheckBox(tr("&Album mode"), this);
  m_album->setToolTip(tr("The files of one source folder are measured together, as one album"));
  m_album->setObjectName(QStringLiteral("loudnessAlbumCheck"));
  group->addWidget(m_album, 4, 0, 1, 3);

  auto* note = new QLabel(tr("ReplayGain tags tell players how far to turn each file up or down to reach "
                             "-18 LUFS. Normalising changes the sound itself and takes the place of the Amplify "
                             "settings of the MP3 and WAV pages; it never clips: where a file's true peak would "
                             "pass the ceiling, it is brought up less. Album mode treats the files of one source "
                             "folder as one album. Every source is measured before the conversion starts."),
                          this);
  note->setObjectName(QStringLiteral("loudnessNote"));
  note->setWordWrap(true);
  group->addWidget(note, 5, 0, 1, 3);
  group->setColumnStretch(2, 1);
  page->addStretch();

  connect(m_mode, &QButtonGroup::idToggled, this, &COptLoudnessPage::EnableNormalizeControls);
}

void COptLoudnessPage::Initialise() {
  setFont(OptionsFont());
  if (QAbstractButton* button = m_mode->button(m_values.mode)) button->setChecked(true);
  m_target->setValue(m_values.target);
  m_ceiling->setValue(m_values.ceiling * kTenth);
  m_album->setChecked(m_values.album != 0);
  EnableNormalizeControls();
}

void COptLoudnessPage::EnableNormalizeControls() {
  const bool normalizing = m_mode->checkedId() == kLoudnessNormalize;
  m_target->setEnabled(normalizing);
  m_ceiling->setEnabled(normalizing);
  m_album->setEnabled(m_mode->checkedId() != kLoudnessOff);
}

void COptLoudnessPage::ReadControls() {
  if (m_mode->checkedId() >= 0) m_values.mode = m_mode->checkedId();
  m_values.target = m_target->value();
  m_values.ceiling = static_cast<std::int32_t>(std::lround(m_ceiling->value() / kTenth));
  m_values.album = m_album->isChecked() ? 1 : 0;
}

std::optional<COptPage::Refusal> COptLoudnessPage::KillActive() {
  ReadControls();
  return std::nullopt;
}

}  // namespace velmora::ui
