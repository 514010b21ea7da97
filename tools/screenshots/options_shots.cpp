// The options sheet on each of its pages, the ID3 tag editor and the about box.
#include <QTabWidget>

#include "screenshots/shots.h"
#include "ui/about/about_dialog.h"
#include "ui/options/id3_tag_dlg.h"
#include "ui/options/opt_sheet.h"

namespace {

void OptionsShots(const QString& folder) {
  using namespace velmora;
  ConverterSettings settings;
  settings.AutoDestMP3EncodingParam = 0;
  settings.AddID3Tag = 1;
  settings.AmplifyMp3 = 1;
  settings.AmplifyMp3Coeff = 150;
  settings.DestOutputFolderOpt = kOutputFolderSpecified;
  settings.DestSpecifiedFolder = "/home/ann/Converted/";
  settings.CreateDirs = 1;
  settings.ID3Tag.SetTitleFromFileName(false);
  settings.ID3Tag.SetTitle("Harbour Lights");
  settings.ID3Tag.SetArtist("The Tidewater Quartet");
  settings.ID3Tag.SetAlbum("Evening Tides");
  settings.ID3Tag.SetYear("2021");
  settings.ID3Tag.SetGenre(8);
  settings.LoudnessMode = kLoudnessNormalize;
  settings.LoudnessAlbum = 1;
  settings.OpusBitRate = 96;
  settings.VerifyOutput = 1;

  ui::COptSheet sheet;
  ui::TransferIn(settings, sheet);
  const char* names[ui::COptSheet::kPageCount] = {"options-mp3",  "options-wav",    "options-flac",
                                                   "options-opus", "options-output", "options-loudness"};
  auto* tabs = sheet.findChild<QTabWidget*>(QStringLiteral("optionsTabs"));
  for (int page = 0; page < ui::COptSheet::kPageCount; ++page) {
    tabs->setCurrentIndex(page);
    shots::Save(sheet, folder, QString::fromUtf8(names[page]));
  }

  ui::CId3TagDlg id3(settings.ID3Tag);
  shots::Save(id3, folder, QStringLiteral("id3-tag"));
  ui::CAboutDlg about;
  shots::Save(about, folder, QStringLiteral("about"));
}

const velmora::shots::Register r("options", &OptionsShots);

}  // namespace
