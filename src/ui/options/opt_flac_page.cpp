#include "ui/options/opt_flac_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/options/page_parts.h"

namespace velmora::ui {

COptFlacPage::COptFlacPage(QWidget* parent) : COptPage(parent) {
  setObjectName(QStringLiteral("flacPage"));
  QVBoxLayout* page = PageLayout(this);

  QGridLayout* encoding = AddGroup(page, QStringLiteral("group-flac"), tr("FLAC Encoding Parameters"));
  m_level = new QSlider(Qt::Horizontal, this);
  m_level->setObjectName(QStringLiteral("flacLevelSlider"));
  m_level->setRange(kMinFlacLevel, kMaxFlacLevel);
  m_level->setPageStep(1);
  m_level->setTickPosition(QSlider::TicksBelow);
  m_level->setTickInterval(1);
  m_levelText = new QLabel(this);
  m_levelText->setObjectName(QStringLiteral("flacLevelText"));
  encoding->addWidget(BuddyLabel(tr("&Compression level:"), m_level), 0, 0);
  encoding->addWidget(m_level, 0, 1, 1, 2);
  encoding->addWidget(m_levelText, 0, 3);
  // The ends of the scale say what the level trades.
  auto* faster = new QLabel(tr("Faster"), this);
  auto* smaller = new QLabel(tr("Smaller"), this);
  encoding->addWidget(faster, 1, 1, Qt::AlignLeft | Qt::AlignTop);
  encoding->addWidget(smaller, 1, 2, Qt::AlignRight | Qt::AlignTop);
  encoding->setColumnStretch(1, 1);
  encoding->setColumnStretch(2, 1);
  // Wide enough for the longest reading in any language, so the slider does not jump.
  m_levelText->setMinimumWidth(m_levelText->fontMetrics().horizontalAdvance(tr("%1 (default)").arg(8)) + 4);

  auto* levels = new QLabel(tr("Every level keeps the sound exactly as it is. A higher level takes longer to "
                               "write a smaller file; level 5 is the usual balance, and files of any level "
                               "play alike."),
                            this);
  levels->setObjectName(QStringLiteral("flacLevelNote"));
  levels->setWordWrap(true);
  encoding->addWidget(levels, 2, 1, 1, 3);

  m_keepChunks = new QCheckBox(tr("&Keep the AIFF's chunks so the file can be restored whole"), this);
  m_keepChunks->setObjectName(QStringLiteral("flacKeepChunksCheck"));
  m_keepChunks->setToolTip(tr("The source's header and its other chunks travel in the FLAC file, so that the "
                              "original AIFF file can be restored from it byte for byte."));
  encoding->addWidget(m_keepChunks, 3, 0, 1, 4);
  encoding->setRowMinimumHeight(3, m_keepChunks->sizeHint().height() + 8);
  encoding->setAlignment(m_keepChunks, Qt::AlignBottom);

  auto* kept = new QLabel(tr("FLAC keeps every sample at the source's bit depth (floating-point sources become "
                             "24-bit), every channel and the sample rate. Tags, the cover picture and "
                             "ReplayGain go in as Vorbis comments."),
                          this);
  kept->setObjectName(QStringLiteral("flacNote"));
  kept->setWordWrap(true);
  encoding->addWidget(kept, 4, 0, 1, 4);
  page->addStretch();

  connect(m_level, &QSlider::valueChanged, this, &COptFlacPage::ShowLevel);
}

void COptFlacPage::ShowLevel(int level) {
  m_levelText->setText(level == kDefaultFlacLevel ? tr("%1 (default)").arg(level) : QString::number(level));
}

void COptFlacPage::Initialise() {
  setFont(OptionsFont());
  m_level->setValue(m_values.level);
  ShowLevel(m_level->value());
  m_keepChunks->setChecked(m_values.keepChunks != 0);
}

void COptFlacPage::ReadControls() {
  m_values.level = m_level->value();
  m_values.keepChunks = m_keepChunks->isChecked() ? 1 : 0;
}

std::optional<COptPage::Refusal> COptFlacPage::KillActive() {
  ReadControls();
  return std::nullopt;
}

}  // namespace velmora::ui
