#include "ui/options/opt_sheet.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "platform/settings_store.h"
#include "settings/settings_io.h"
#include "support/aiff_builder.h"
#include "support/temp_dir.h"
#include "ui/about/help_window.h"
#include "ui/options/id3_tag_dlg.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

using test::Child;
using test::Choose;
namespace fs = std::filesystem;

// The configuration file the command line reads when XDG_CONFIG_HOME is `configHome`.
std::string ConfigFile(const fs::path& configHome) {
  fs::create_directories(configHome / "Tandrel");
  return (configHome / "Tandrel" / "Velmora.conf").string();
}

test::Bytes StereoTone(std::uint32_t frames) {
  test::AiffBuilder aiff;
  aiff.channels = 2;
  aiff.frames = frames;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto sample = static_cast<std::int16_t>(8000 * std::sin(i * 0.05));
    for (int channel = 0; channel < 2; ++channel) test::PutBe16(aiff.sound, static_cast<std::uint16_t>(sample));
  }
  return aiff.Build();
}

std::vector<fs::path> FilesIn(const fs::path& folder, const std::string& extension) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().extension() == extension) files.push_back(entry.path());
  }
  return files;
}

std::uint32_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

TEST(OptSheetTest, CancelKeepsEverythingButRemembersThePage) {
  test::TempDir dir;
  const std::string ini = ConfigFile(dir.path());
  ConverterSettings settings;
  settings.MP3BitRate = 150;
  const ConverterSettings before = settings;
  int page = COptSheet::kWavPage;

  test::WhenShown<COptSheet> drive([](COptSheet& sheet) {
    EXPECT_EQ(Child<QTabWidget>(sheet, "optionsTabs")->currentIndex(), COptSheet::kWavPage);
    Choose(Child<QComboBox>(sheet, "wavPresetCombo"), QStringLiteral("Custom"));
    Child<QTabWidget>(sheet, "optionsTabs")->setCurrentIndex(COptSheet::kOutputPage);
    QTest::mouseClick(Child<QCheckBox>(sheet, "browseWhenDoneCheck"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(sheet, "cancelButton"), Qt::LeftButton);
  });
  QtSettingsStore store(ini);
  EXPECT_FALSE(RunOptionsSheet(nullptr, settings, store, page));
  EXPECT_TRUE(drive.Ran());
  EXPECT_EQ(settings, before);
  EXPECT_EQ(page, COptSheet::kOutputPage);
  EXPECT_FALSE(store.ReadNumber("BrowseOutputFolder")) << "nothing is saved on Cancel";
}

// What the sheet stores is what the command line then converts with.
TEST(OptSheetTest, StoredOptionsDriveTheCommandLine) {
  test::TempDir dir;
  const fs::path configHome = dir.path() / "config";
  const std::string ini = ConfigFile(configHome);
  const fs::path output = dir.path() / "converted";
  fs::create_directories(output);
  const std::string source = dir.Write("tone.aiff", StereoTone(22050));
  dir.Write("cover.jpg", {'c'});

  ConverterSettings settings;
  int page = COptSheet::kMp3Page;
  test::WhenShown<CId3TagDlg> editTag([](CId3TagDlg& dialog) {
    QTest::keyClicks(Child<QLineEdit>(dialog, "artistEdit"), QStringLiteral("Quayside Band"));
    QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
  });
  test::WhenShown<COptSheet> drive([&](COptSheet& sheet) {
    Choose(Child<QComboBox>(sheet, "mp3PresetCombo"), QStringLiteral("Custom"));
    Choose(Child<QComboBox>(sheet, "mp3SampleRateCombo"), QStringLiteral("22050 Hz"));
    Choose(Child<QComboBox>(sheet, "mp3BitRateCombo"), QStringLiteral("64 kbps"));
    QTest::mouseClick(Child<QRadioButton>(sheet, "mp3MonoRadio"), Qt::LeftButton);
    QTest::mouseClick(Child<QCheckBox>(sheet, "addId3Check"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(sheet, "editId3Button"), Qt::LeftButton);

    auto* tabs = Child<QTabWidget>(sheet, "optionsTabs");
    tabs->setCurrentIndex(COptSheet::kWavPage);
    Choose(Child<QComboBox>(sheet, "wavPresetCombo"),
           QStringLiteral("11025 Hz, 8 bits, Mono (low quality, smaller file size)"));
    // FLAC: the highest level from the keyboard, the AIFF's chunks left out.
    tabs->setCurrentIndex(COptSheet::kFlacPage);
    auto* level = Child<QSlider>(sheet, "flacLevelSlider");
    EXPECT_EQ(level->value(), 5);
    EXPECT_EQ(Child<QLabel>(sheet, "flacLevelText")->text(), QStringLiteral("5 (default)"));
    level->setFocus();
    QTest::keyClick(level, Qt::Key_End);
    EXPECT_EQ(Child<QLabel>(sheet, "flacLevelText")->text(), QStringLiteral("8"));
    QTest::mouseClick(Child<QCheckBox>(sheet, "flacKeepChunksCheck"), Qt::LeftButton);
    // Opus: a rate of its own, within the range.
    tabs->setCurrentIndex(COptSheet::kOpusPage);
    auto* rate = Child<QSpinBox>(sheet, "opusBitRateSpin");
    EXPECT_TRUE(Child<QRadioButton>(sheet, "opusAutoRateRadio")->isChecked());
    EXPECT_FALSE(rate->isEnabled());
    QTest::mouseClick(Child<QRadioButton>(sheet, "opusFixedRateRadio"), Qt::LeftButton, {}, QPoint(6, 6));
    ASSERT_TRUE(rate->isEnabled());
    test::Retype(rate, QStringLiteral("3"));
    tabs->setCurrentIndex(COptSheet::kFlacPage);
    tabs->setCurrentIndex(COptSheet::kOpusPage);
    EXPECT_EQ(rate->value(), 128) << "a rate below the range goes back to the one before";
    test::Retype(rate, QStringLiteral("96"));
    QTest::mouseClick(Child<QRadioButton>(sheet, "opusVbrConstrainedRadio"), Qt::LeftButton, {}, QPoint(6, 6));
    tabs->setCurrentIndex(COptSheet::kOutputPage);
    Choose(Child<QComboBox>(sheet, "folderOptionCombo"), QStringLiteral("Specify output folder"));
    QTest::keyClicks(Child<QLineEdit>(sheet, "specifiedFolderEdit"), QString::fromStdString(output.string()));
    auto* verify = Child<QCheckBox>(sheet, "verifyCheck");
    EXPECT_FALSE(verify->isChecked());
    QTest::mouseClick(verify, Qt::LeftButton, {}, QPoint(6, verify->height() / 2));
    auto* companions = Child<QCheckBox>(sheet, "copyCompanionsCheck");
    EXPECT_FALSE(companions->isChecked());
    QTest::mouseClick(companions, Qt::LeftButton, {}, QPoint(6, companions->height() / 2));
    QTest::mouseClick(Child<QPushButton>(sheet, "okButton"), Qt::LeftButton);
  });
  {
    QtSettingsStore store(ini);
    LoadSettings(settings, store);
    ASSERT_TRUE(RunOptionsSheet(nullptr, settings, store, page));
  }
  EXPECT_TRUE(editTag.Ran());
  EXPECT_EQ(page, COptSheet::kOutputPage);
  EXPECT_EQ(settings.ID3Tag.Artist(), "Quayside Band");
  EXPECT_EQ(std::make_tuple(settings.FlacLevel, settings.FlacKeepChunks, settings.OpusBitRate, settings.OpusVbr,
                            settings.VerifyOutput, settings.CopyCompanions),
            std::make_tuple(8, 0, 96, kOpusVbrConstrained, 1, 1));
  ConverterSettings reloaded;
  QtSettingsStore reread(ini);
  LoadSettings(reloaded, reread);
  EXPECT_EQ(reloaded, settings) << "everything the sheet changed reached the settings file";

  const std::string environment = "HOME=" + test::ShellQuote(dir.path().string()) +
                                  " XDG_CONFIG_HOME=" + test::ShellQuote(configHome.string()) + " ";
  const std::string cli = environment + VELMORA_CLI_PATH + " convert -q ";
  ASSERT_EQ(test::RunCommand(cli + test::ShellQuote(source) + " 2>&1"), 0);
  ASSERT_EQ(test::RunCommand(cli + "-f wav " + test::ShellQuote(source) + " 2>&1"), 0);

  const auto mp3Files = FilesIn(output, ".mp3");
  ASSERT_EQ(mp3Files.size(), 1u);
  EXPECT_EQ(FilesIn(output, ".jpg").size(), 1u) << "the cover went along, once";
  const auto mp3 = test::ReadFileBytes(mp3Files[0].string());
  ASSERT_GT(mp3.size(), 128u + 4u);
  std::size_t frame = 0;
  while (frame + 1 < mp3.size() && !(mp3[frame] == 0xFF && (mp3[frame + 1] & 0xE0) == 0xE0)) ++frame;
  ASSERT_LT(frame + 3, mp3.size());
  EXPECT_EQ((mp3[frame + 1] >> 3) & 3, 2) << "MPEG-2, the version that carries 22050 Hz";
  EXPECT_EQ((mp3[frame + 2] >> 2) & 3, 0) << "22050 Hz";
  EXPECT_EQ(mp3[frame + 2] >> 4, 8) << "64 kbps";
  EXPECT_EQ(mp3[frame + 3] >> 6, 3) << "mono";
  const std::size_t tag = mp3.size() - 128;
  EXPECT_EQ(std::string(mp3.begin() + tag, mp3.begin() + tag + 3), "TAG");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&mp3[tag + 33])), "Quayside Band");

  const auto wavFiles = FilesIn(output, ".wav");
  ASSERT_EQ(wavFiles.size(), 1u);
  const auto wav = test::ReadFileBytes(wavFiles[0].string());
  ASSERT_GE(wav.size(), 44u);
  EXPECT_EQ(Le(wav, 22, 2), 1u) << "channels";
  EXPECT_EQ(Le(wav, 24, 4), 11025u) << "rate";
  EXPECT_EQ(Le(wav, 34, 2), 8u) << "bits";
}

// A keyboard user on the way to Custom steps through the named presets; each shows its values,
// but Custom (or Auto, or lossless) then shows the user's own parameters again, and OK stores them.
TEST(OptSheetTest, PresetsSteppedThroughGiveBackTheUsersOwnParameters) {
  ConverterSettings mp3;
  mp3.AutoDestMP3EncodingParam = 0;
  mp3.MP3BitRate = 192;
  mp3.MP3SampleRate = 48000;
  mp3.MP3ChannelMode = kMp3ModeStereo;
  ConverterSettings mp3Auto = mp3;
  mp3Auto.AutoDestMP3EncodingParam = 1;
  ConverterSettings wav;
  wav.AutoDestWAVEncodingParam = 0;
  wav.WAVSampleRate = 96000;
  wav.WAVBitsPerSample = 8;
  wav.WAVChannelNum = 1;
  ConverterSettings wavAuto = wav;
  wavAuto.AutoDestWAVEncodingParam = 1;
  const bool isMp3 = true;
  struct Case {
    const char* what;
    const ConverterSettings& settings;
    bool mp3;
    std::vector<Qt::Key> keys;  // on the preset combo
    const char* preset;         // shown at the end
  } const cases[] = {
      {"MP3 Custom, up two and back", mp3, isMp3, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}, "Custom"},
      {"MP3 Auto, down to Custom", mp3Auto, isMp3, std::vector<Qt::Key>(5, Qt::Key_Down), "Custom"},
      {"MP3 Custom, Home to Auto", mp3, isMp3, {Qt::Key_Up, Qt::Key_Home}, "Auto"},
      {"WAV Custom, up three and back", wav, !isMp3, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down,
                                                       Qt::Key_Down}, "Custom"},
      {"WAV Auto, down to Custom", wavAuto, !isMp3, std::vector<Qt::Key>(6, Qt::Key_Down), "Custom"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    COptSheet sheet;
    TransferIn(c.settings, sheet);
    sheet.SetStartPage(c.mp3 ? COptSheet::kMp3Page : COptSheet::kWavPage);
    sheet.show();
    const auto text = [&](const char* combo) { return Child<QComboBox>(sheet, combo)->currentText().toStdString(); };
    auto* preset = Child<QComboBox>(sheet, c.mp3 ? "mp3PresetCombo" : "wavPresetCombo");
    preset->setFocus();
    for (const Qt::Key key : c.keys) QTest::keyClick(preset, key);
    EXPECT_EQ(preset->currentText().toStdString(), c.preset);
    if (c.mp3) {
      EXPECT_EQ(text("mp3BitRateCombo"), "192 kbps");
      EXPECT_EQ(text("mp3SampleRateCombo"), "48000 Hz");
      EXPECT_TRUE(Child<QRadioButton>(sheet, "mp3StereoRadio")->isChecked());
    } else {
      EXPECT_EQ(text("wavSampleRateCombo"), "96000 Hz");
      EXPECT_EQ(text("wavBitsCombo"), "8 bits");
      EXPECT_TRUE(Child<QRadioButton>(sheet, "wavMonoRadio")->isChecked());
    }
    QTest::mouseClick(Child<QPushButton>(sheet, "okButton"), Qt::LeftButton);
    ASSERT_FALSE(sheet.isVisible());
    ConverterSettings stored = c.settings;
    TransferOut(sheet, stored);
    EXPECT_EQ(std::tie(stored.MP3BitRate, stored.MP3SampleRate, stored.MP3ChannelMode, stored.WAVSampleRate,
                       stored.WAVBitsPerSample, stored.WAVChannelNum),
              std::tie(c.settings.MP3BitRate, c.settings.MP3SampleRate, c.settings.MP3ChannelMode,
                       c.settings.WAVSampleRate, c.settings.WAVBitsPerSample, c.settings.WAVChannelNum));
  }
}

// F1 in the sheet or the tag editor opens the help at the page about what is shown, and the
// help stays open after the sheet has closed.
TEST(OptSheetTest, HelpKeyOpensThePageOfTheShownTab) {
  QWidget owner;
  owner.show();
  {
    COptSheet sheet(&owner);
    sheet.show();
    QApplication::setActiveWindow(&sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    for (const auto& [tab, help] : {std::pair{COptSheet::kWavPage, "wav-options.html"},
                                    std::pair{COptSheet::kFlacPage, "flac-options.html"},
                                    std::pair{COptSheet::kOpusPage, "opus-options.html"}}) {
      Child<QTabWidget>(sheet, "optionsTabs")->setCurrentIndex(tab);
      QApplication::setActiveWindow(&sheet);
      ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
      ASSERT_NE(HelpWindow::Open(), nullptr);
      EXPECT_EQ(HelpWindow::Open()->PageShown(), QString::fromUtf8(help));
    }

    HelpWindow::Open()->resize(1000, 240);
    CId3TagDlg tags(Id3TagRecord{}, &sheet);
    tags.show();
    QApplication::setActiveWindow(&tags);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tags));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(HelpWindow::Open()->PageShown(), QStringLiteral("mp3-options.html"));
    // At the ID3 section: its heading stands in the view, the page's top does not.
    auto* browser = Child<QTextBrowser>(*HelpWindow::Open(), "helpBrowser");
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("id3"));
    QTextBlock block = browser->document()->begin();
    while (block.isValid() && block.text() != QLatin1String("ID3 tag")) block = block.next();
    ASSERT_TRUE(block.isValid());
    // Also once the window manager has given the window another size.
    for (const QSize size : {QSize(1000, 240), QSize(480, 240)}) {
      HelpWindow::Open()->resize(size);
      const QRect heading = browser->cursorRect(QTextCursor(block));
      const QScrollBar* scroll = browser->verticalScrollBar();
      EXPECT_TRUE(heading.top() >= 0 && (heading.top() < browser->viewport()->height() / 4 ||
                                         scroll->value() == scroll->maximum()))
          << "the ID3 section is at the top (or the page at its end), at width " << size.width() << ": "
          << heading.top();
      EXPECT_GT(scroll->value(), 0) << "the page is not at its top";
    }
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_NE(HelpWindow::Open(), nullptr) << "the help belongs to the sheet's owner";
  HelpWindow::CloseOpen();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace velmora::ui
