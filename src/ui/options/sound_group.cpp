#include "ui/options/sound_group.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "settings/option_limits.h"
#include "ui/options/gain_spin_box.h"
#include "ui/options/page_parts.h"

namespace velmora::ui {
namespace {

class SoundGroupText {
  Q_DECLARE_TR_FUNCTIONS(velmora::ui::SoundGroup)
};

}  // namespace

void SoundControls::Load(std::int32_t amplifyOn, std::int32_t percent) {
  amplify->setChecked(amplifyOn != 0);
  coefficient->setValue(percent);
  coefficient->setEnabled(amplify->isChecked());
}

void SoundControls::Read(std::int32_t& amplifyOn, std::int32_t& percent) const {
  amplifyOn = amplify->isChecked() ? 1 : 0;
  if (const auto typed = coefficient->TypedValue()) percent = *typed;
}

std::optional<COptPage::Refusal> SoundControls::Check(std::int32_t amplifyOn, std::int32_t percent) const {
  if (!coefficient->TypedValue()) {
    return COptPage::Refusal{SoundGroupText::tr("Please enter an integer."), coefficient};
  }
  if (amplifyOn != 0 && (percent < kMinGainPercent || percent > kMaxGainPercent)) {
    return COptPage::Refusal{SoundGroupText::tr("Invalid amplification coefficient. It's betwen 10 and 3000."),
                             coefficient};
  }
  return std::nullopt;
}

SoundControls AddSoundGroup(QVBoxLayout* page, const QString& prefix) {
  QWidget* owner = page->parentWidget();
  QGridLayout* grid = AddGroup(page, QStringLiteral("group-sound"), SoundGroupText::tr("Sound"));
  SoundControls controls;
  controls.amplify = new QCheckBox(SoundGroupText::tr("&Amplify / Reduce sound"), owner);
  controls.amplify->setObjectName(prefix + QStringLiteral("AmplifyCheck"));
  controls.coefficient = new CGainSpinBox(owner);
  controls.coefficient->setObjectName(prefix + QStringLiteral("CoefficientSpin"));
  auto* percent = new QLabel(QStringLiteral("%"), owner);
  auto* legend =
      new QLabel(SoundGroupText::tr("< 100% - Reduce sound\n= 100% - No changes\n> 100% - Amplify sound"), owner);
  legend->setObjectName(prefix + QStringLiteral("GainLegend"));

  grid->addWidget(controls.amplify, 0, 0, 1, 3);
  grid->addWidget(BuddyLabel(SoundGroupText::tr("&Coefficient:"), controls.coefficient), 1, 0);
  grid->addWidget(controls.coefficient, 1, 1);
  grid->addWidget(percent, 1, 2);
  grid->addWidget(legend, 0, 4, 2, 1, Qt::AlignTop);
  grid->setColumnStretch(3, 1);
  grid->setColumnMinimumWidth(3, 16);

  // The coefficient follows the box however it changed, an assistive tool's toggle included;
  // the focus moves along only for the user's own click or key.
  QObject::connect(controls.amplify, &QCheckBox::toggled, controls.coefficient, &QWidget::setEnabled);
  QObject::connect(controls.amplify, &QCheckBox::clicked, controls.coefficient, [spin = controls.coefficient](bool on) {
    if (on) spin->setFocus();
  });
  return controls;
}

}  // namespace velmora::ui
