#include "ui/options/opt_sheet.h"

#include <QAbstractSpinBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "settings/settings_io.h"
#include "ui/about/help_window.h"
#include "ui/options/opt_flac_page.h"
#include "ui/options/opt_loudness_page.h"
#include "ui/options/opt_mp3_page.h"
#include "ui/options/opt_opus_page.h"
#include "ui/options/opt_output_page.h"
#include "ui/options/opt_wav_page.h"
#include "ui/options/page_parts.h"

namespace velmora::ui {

COptSheet::COptSheet(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("optionsSheet"));
  setWindowTitle(tr("Options"));
  setFont(OptionsFont());

  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("optionsTabs"));
  m_mp3 = new COptMp3Page(m_tabs);
  m_wav = new COptWavPage(m_tabs);
  m_flac = new COptFlacPage(m_tabs);
  m_opus = new COptOpusPage(m_tabs);
  m_output = new COptOutputPage(m_tabs);
  m_loudness = new COptLoudnessPage(m_tabs);
  m_tabs->addTab(m_mp3, tr("MP3 Options"));
  m_tabs->addTab(m_wav, tr("WAV Options"));
  m_tabs->addTab(m_flac, tr("FLAC Options"));
  m_tabs->addTab(m_opus, tr("Opus Options"));
  m_tabs->addTab(m_output, tr("Output Options"));
  m_tabs->addTab(m_loudness, tr("Loudness"));

  // A page is named by its tab, which names the page's choices for screen readers.
  for (int index = 0; index < m_tabs->count(); ++index) m_tabs->widget(index)->setAccessibleName(m_tabs->tabText(index));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &COptSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &COptSheet::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(10);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);
  // Connected only now: adding the first tab already reports a change.
  connect(m_tabs, &QTabWidget::currentChanged, this, &COptSheet::OnTabChanged);
  AddHelpKey(this, [this] { return HelpPage(m_tabs->currentIndex()); });
  // Blocks only the main window, so the help it opens can be read beside it.
  setWindowModality(Qt::WindowModal);
}

QString COptSheet::HelpPage(int index) {
  static const char* const pages[kPageCount] = {"mp3-options.html",  "wav-options.html",    "flac-options.html",
                                                "opus-options.html", "output-options.html", "loudness.html"};
  return QLatin1String(pages[std::clamp(index, 0, kPageCount - 1)]);
}

COptPage* COptSheet::PageAt(int index) const {
  return qobject_cast<COptPage*>(m_tabs->widget(index));
}

void COptSheet::showEvent(QShowEvent* event) {
  if (m_activePage < 0) {
    const int start = m_startPage >= 0 && m_startPage < m_tabs->count() ? m_startPage : kMp3Page;
    m_activePage = start;
    const QSignalBlocker quiet(m_tabs);
    m_tabs->setCurrentIndex(start);
    for (int index = 0; index < m_tabs->count(); ++index) PageAt(index)->Load();
    PageAt(start)->Activate();
  }
  QDialog::showEvent(event);
}

void COptSheet::OnTabChanged(int index) {
  if (index == m_activePage || index < 0) return;
  if (m_activePage >= 0 && !LeaveActivePage()) return;
  m_activePage = index;
  PageAt(index)->Activate();
}

bool COptSheet::LeaveActivePage() {
  COptPage* page = PageAt(m_activePage);
  const auto refusal = page->KillActive();
  if (!refusal) return true;
  if (m_tabs->currentIndex() != m_activePage) {
    const QSignalBlocker quiet(m_tabs);
    m_tabs->setCurrentIndex(m_activePage);
  }
  ShowRefusal(this, refusal->message);
  if (refusal->focus != nullptr) {
    refusal->focus->setFocus();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(refusal->focus)) spin->selectAll();
  }
  return false;
}

void COptSheet::accept() {
  if (m_activePage >= 0 && !LeaveActivePage()) return;
  for (int index = 0; index < m_tabs->count(); ++index) {
    if (PageAt(index)->WasShown()) PageAt(index)->Apply();
  }
  QDialog::accept();
}

void COptSheet::done(int result) {
  m_lastActivePage = m_tabs->currentIndex();
  QDialog::done(result);
}

void TransferIn(const ConverterSettings& settings, COptSheet& sheet) {
  const ConverterSettings& s = settings;
  Mp3PageValues& mp3 = sheet.Mp3Page().Values();
  mp3.autoParams = s.AutoDestMP3EncodingParam;
  mp3.bitRate = s.MP3BitRate;
  mp3.sampleRate = s.MP3SampleRate;
  mp3.channelIndex = s.MP3ChannelMode == kMp3ModeStereo        ? Mp3PageValues::kStereo
                     : s.MP3ChannelMode == kMp3ModeJointStereo ? Mp3PageValues::kJointStereo
                                                               : Mp3PageValues::kMono;
  mp3.vbrQuality = s.MP3VbrQuality;
  mp3.gapless = s.MP3Gapless;
  mp3.addId3 = s.AddID3Tag;
  mp3.id3 = s.ID3Tag;
  mp3.amplify = s.AmplifyMp3;
  mp3.coefficient = s.AmplifyMp3Coeff;

  WavPageValues& wav = sheet.WavPage().Values();
  wav.autoParams = s.AutoDestWAVEncodingParam;
  wav.lossless = s.WAVLossless != 0 ? 1 : 0;
  wav.channelIndex = s.WAVChannelNum - 1;
  wav.bits = s.WAVBitsPerSample;
  wav.sampleRate = s.WAVSampleRate;
  wav.amplify = s.AmplifyWav;
  wav.coefficient = s.AmplifyWavCoeff;

  sheet.FlacPage().Values() = {s.FlacLevel, s.FlacKeepChunks};
  sheet.OpusPage().Values() = {s.OpusBitRate, s.OpusVbr};

  OutputPageValues& output = sheet.OutputPage().Values();
  output.folderOption = s.DestOutputFolderOpt;
  output.specifiedFolder = s.DestSpecifiedFolder;
  output.createDirs = s.CreateDirs;
  output.browseWhenDone = s.BrowseOutputFolder;
  output.verify = s.VerifyOutput;
  output.copyCompanions = s.CopyCompanions;
  output.copyTags = s.CopyTags;
  output.namePattern = s.OutputNamePattern;

  LoudnessPageValues& loudness = sheet.LoudnessPage().Values();
  loudness = {s.LoudnessMode, s.LoudnessTarget, s.LoudnessAlbum, s.LoudnessCeiling};
}

void TransferOut(const COptSheet& sheet, ConverterSettings& settings) {
  ConverterSettings& s = settings;
  const Mp3PageValues& mp3 = sheet.Mp3Page().Values();
  s.AutoDestMP3EncodingParam = mp3.autoParams != 0 ? 1 : 0;
  if (mp3.autoParams == 0) {
    s.MP3BitRate = mp3.bitRate;
    s.MP3SampleRate = mp3.sampleRate;
    s.MP3ChannelMode = mp3.channelIndex == Mp3PageValues::kJointStereo ? kMp3ModeJointStereo
                       : mp3.channelIndex == Mp3PageValues::kStereo    ? kMp3ModeStereo
                                                                       : kMp3ModeMono;
  }
  s.MP3VbrQuality = mp3.vbrQuality;
  s.MP3Gapless = mp3.gapless;
  s.AddID3Tag = mp3.addId3;
  s.ID3Tag = mp3.id3;
  s.AmplifyMp3 = mp3.amplify;
  s.AmplifyMp3Coeff = mp3.coefficient;

  const WavPageValues& wav = sheet.WavPage().Values();
  s.AutoDestWAVEncodingParam = wav.autoParams != 0 ? 1 : 0;
  s.WAVLossless = wav.lossless != 0 ? 1 : 0;
  if (wav.autoParams == 0) {
    s.WAVBitsPerSample = wav.bits;
    s.WAVSampleRate = wav.sampleRate;
    s.WAVChannelNum = wav.channelIndex + 1;
  }
  s.AmplifyWav = wav.amplify;
  s.AmplifyWavCoeff = wav.coefficient;

  const FlacPageValues& flac = sheet.FlacPage().Values();
  s.FlacLevel = flac.level;
  s.FlacKeepChunks = flac.keepChunks;
  const OpusPageValues& opus = sheet.OpusPage().Values();
  s.OpusBitRate = opus.bitRate;
  s.OpusVbr = opus.vbr;

  const OutputPageValues& output = sheet.OutputPage().Values();
  s.DestOutputFolderOpt = output.folderOption;
  s.DestSpecifiedFolder = output.specifiedFolder;
  s.CreateDirs = output.createDirs;
  s.BrowseOutputFolder = output.browseWhenDone;
  s.VerifyOutput = output.verify;
  s.CopyCompanions = output.copyCompanions;
  s.CopyTags = output.copyTags;
  s.OutputNamePattern = output.namePattern;

  const LoudnessPageValues& loudness = sheet.LoudnessPage().Values();
  s.LoudnessMode = loudness.mode;
  s.LoudnessTarget = loudness.target;
  s.LoudnessAlbum = loudness.album;
  s.LoudnessCeiling = loudness.ceiling;
}

bool RunOptionsSheet(QWidget* parent, ConverterSettings& settings, SettingsStore& store, int& rememberedPage,
                     const std::string& exampleSource, const std::string& exampleRoot) {
  COptSheet sheet(parent);
  TransferIn(settings, sheet);
  sheet.OutputPage().SetExampleSource(exampleSource, exampleRoot);
  sheet.SetStartPage(rememberedPage);
  const bool ok = sheet.exec() == QDialog::Accepted;
  rememberedPage = sheet.LastActivePage();
  if (!ok) return false;
  TransferOut(sheet, settings);
  SaveSettings(settings, store, kSaveOptionsFlag);
  return true;
}

}  // namespace velmora::ui
