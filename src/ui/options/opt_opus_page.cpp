#include "ui/options/opt_opus_page.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/options/page_parts.h"

namespace velmora::ui {
namespace {

constexpr int kAutomatic = 0;
constexpr int kFixed = 1;
// What the bit rate box shows while the rate is automatic: a stereo file's.
constexpr int kStereoChannels = 2;

}  // namespace

COptOpusPage::COptOpusPage(QWidget* parent) : COptPage(parent) {
  setObjectName(QStringLiteral("opusPage"));
  QVBoxLayout* page = PageLayout(this);

  QGridLayout* encoding = AddGroup(page, QStringLiteral("group-opus"), tr("Opus Encoding Parameters"));
  m_rateKind = new QButtonGroup(this);
  QHBoxLayout* rateRow = ChoiceRow(encoding, 0, tr("Bit rate:"));
  auto* automatic = new QRadioButton(tr("&Automatic (%1 kbit/s a channel)").arg(kOpusAutoKbpsPerChannel),
                                     rateRow->parentWidget());
  automatic->setObjectName(QStringLiteral("opusAutoRateRadio"));
  automatic->setToolTip(tr("%1 kbit/s for a mono file, %2 kbit/s for stereo, and so on for more channels.")
                            .arg(kOpusAutoKbpsPerChannel)
                            .arg(kOpusAutoKbpsPerChannel * kStereoChannels));
  auto* fixed = new QRadioButton(tr("&Fixed:"), rateRow->parentWidget());
  fixed->setObjectName(QStringLiteral("opusFixedRateRadio"));
  m_rateKind->addButton(automatic, kAutomatic);
  m_rateKind->addButton(fixed, kFixed);
  m_bitRate = new QSpinBox(rateRow->parentWidget());
  m_bitRate->setObjectName(QStringLiteral("opusBitRateSpin"));
  m_bitRate->setRange(kMinOpusBitRate, kMaxOpusBitRate);
  m_bitRate->setSuffix(tr(" kbit/s"));
  m_bitRate->setAccessibleName(tr("Bit rate for every file"));
  m_bitRate->setToolTip(tr("%1 to %2 kbit/s, for all channels of a file together.")
                            .arg(kMinOpusBitRate)
                            .arg(kMaxOpusBitRate));
  rateRow->addWidget(automatic);
  auto* fixedPair = new QHBoxLayout;  // the box stands by its switch
  fixedPair->setSpacing(4);
  fixedPair->addWidget(fixed);
  fixedPair->addWidget(m_bitRate);
  rateRow->addLayout(fixedPair);
  rateRow->addStretch();

  m_vbr = new QButtonGroup(this);
  QHBoxLayout* vbrRow = ChoiceRow(encoding, 1, tr("Bit rate control:"));
  const struct {
    int id;
    const char* text;
    const char* tip;
    const char* name;
  } controls[] = {
      {kOpusVbrOn, QT_TR_NOOP("&Variable"), QT_TR_NOOP("The rate follows the sound: the best sound for the size."),
       "opusVbrOnRadio"},
      {kOpusVbrConstrained, QT_TR_NOOP("&Constrained variable"),
       QT_TR_NOOP("The rate varies, but stays close to the rate set, as streaming needs."), "opusVbrConstrainedRadio"},
      {kOpusVbrOff, QT_TR_NOOP("Co&nstant"), QT_TR_NOOP("Every moment takes the same rate."), "opusVbrOffRadio"},
  };
  for (const auto& control : controls) {
    auto* radio = new QRadioButton(tr(control.text), vbrRow->parentWidget());
    radio->setObjectName(QString::fromUtf8(control.name));
    radio->setToolTip(tr(control.tip));
    m_vbr->addButton(radio, control.id);
    vbrRow->addWidget(radio);
  }
  vbrRow->addStretch();

  auto* note = new QLabel(tr("Opus plays at 48000 Hz, so every source is resampled to it, and keeps up to six "
                             "channels. Tags and the cover picture go in; ReplayGain from the Loudness page is "
                             "written as R128 gain tags, relative to -23 LUFS."),
                          this);
  note->setObjectName(QStringLiteral("opusNote"));
  note->setWordWrap(true);
  encoding->addWidget(note, 2, 0, 1, 2);
  encoding->setRowMinimumHeight(2, note->sizeHint().height() + 8);
  encoding->setAlignment(note, Qt::AlignBottom);
  encoding->setColumnStretch(1, 1);
  page->addStretch();

  connect(m_rateKind, &QButtonGroup::idToggled, this, &COptOpusPage::EnableBitRate);
}

void COptOpusPage::Initialise() {
  setFont(OptionsFont());
  const bool automatic = m_values.bitRate == kOpusBitRateAuto;
  m_rateKind->button(automatic ? kAutomatic : kFixed)->setChecked(true);
  m_bitRate->setValue(automatic ? kOpusAutoKbpsPerChannel * kStereoChannels : m_values.bitRate);
  if (QAbstractButton* button = m_vbr->button(m_values.vbr)) button->setChecked(true);
  EnableBitRate();
}

void COptOpusPage::EnableBitRate() { m_bitRate->setEnabled(m_rateKind->checkedId() == kFixed); }

void COptOpusPage::ReadControls() {
  m_values.bitRate = m_rateKind->checkedId() == kFixed ? m_bitRate->value() : kOpusBitRateAuto;
  if (m_vbr->checkedId() >= 0) m_values.vbr = m_vbr->checkedId();
}

// The box takes no digits above the range, and a rate typed below it goes back to the one
// before as the box is left.
std::optional<COptPage::Refusal> COptOpusPage::KillActive() {
  ReadControls();
  return std::nullopt;
}

}  // namespace velmora::ui
