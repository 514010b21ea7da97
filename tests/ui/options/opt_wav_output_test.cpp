#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "support/tag_chunks.h"
#include "support/temp_dir.h"
#include "ui/message_box_catcher.h"
#include "ui/options/opt_output_page.h"
#include "ui/options/opt_sheet.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

using test::Child;
using test::Choose;

const QString kCdPreset = QStringLiteral("44100Hz, 16 bits, Stereo (high quality, large size)");
const QString kLowPreset = QStringLiteral("11025 Hz, 8 bits, Mono (low quality, smaller file size)");

ConverterSettings ExplicitWav(int hz, int bits, int channels) {
  ConverterSettings settings;
  settings.AutoDestWAVEncodingParam = 0;
  settings.WAVSampleRate = hz;
  settings.WAVBitsPerSample = bits;
  settings.WAVChannelNum = channels;
  return settings;
}

// Shows a sheet on `settings` at `page`, lets `drive` act, presses OK and gives what it stores.
std::optional<ConverterSettings> RunSheet(const ConverterSettings& settings, int page,
                                          const std::function<void(COptSheet&)>& drive) {
  COptSheet sheet;
  TransferIn(settings, sheet);
  sheet.SetStartPage(page);
  sheet.show();
  drive(sheet);
  QTest::mouseClick(Child<QPushButton>(sheet, "okButton"), Qt::LeftButton);
  if (sheet.isVisible()) return std::nullopt;
  ConverterSettings stored = settings;
  TransferOut(sheet, stored);
  return stored;
}

TEST(OptWavPageTest, PresetsFollowStoredValuesAndManualChangesSelectCustom) {
  auto presetFor = [](const ConverterSettings& settings) {
    QString text;
    RunSheet(settings, COptSheet::kWavPage,
             [&](COptSheet& sheet) { text = Child<QComboBox>(sheet, "wavPresetCombo")->currentText(); });
    return text;
  };
  EXPECT_EQ(presetFor(ExplicitWav(44100, 16, 2)), kCdPreset);
  EXPECT_EQ(presetFor(ExplicitWav(44100, 16, 1)), QStringLiteral("Custom"));
  EXPECT_EQ(presetFor(ConverterSettings{}), QStringLiteral("Auto (recommended)"));

  const auto stored = RunSheet(ExplicitWav(44100, 16, 2), COptSheet::kWavPage, [](COptSheet& sheet) {
    auto* preset = Child<QComboBox>(sheet, "wavPresetCombo");
    Choose(preset, kLowPreset);
    EXPECT_EQ(Child<QComboBox>(sheet, "wavBitsCombo")->currentText(), QStringLiteral("8 bits"));
    EXPECT_EQ(Child<QComboBox>(sheet, "wavSampleRateCombo")->currentText(), QStringLiteral("11025 Hz"));
    EXPECT_TRUE(Child<QRadioButton>(sheet, "wavMonoRadio")->isChecked());
    Choose(Child<QComboBox>(sheet, "wavBitsCombo"), QStringLiteral("8 bits"));
    EXPECT_EQ(preset->currentText(), kLowPreset) << "the width already chosen is no change";
    Choose(Child<QComboBox>(sheet, "wavBitsCombo"), QStringLiteral("16 bits"));
    EXPECT_EQ(preset->currentText(), QStringLiteral("Custom"));
    Choose(preset, kLowPreset);
    Choose(Child<QComboBox>(sheet, "wavSampleRateCombo"), QStringLiteral("96000 Hz"));
    EXPECT_EQ(preset->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(Child<QComboBox>(sheet, "wavBitsCombo")->currentText(), QStringLiteral("8 bits")) << "no rule ties width to rate";
    Choose(preset, kLowPreset);
    QTest::mouseClick(Child<QRadioButton>(sheet, "wavStereoRadio"), Qt::LeftButton);
    EXPECT_EQ(preset->currentText(), QStringLiteral("Custom"));
  });
  ASSERT_TRUE(stored);
  EXPECT_EQ(std::make_tuple(stored->AutoDestWAVEncodingParam, stored->WAVSampleRate, stored->WAVBitsPerSample,
                            stored->WAVChannelNum),
            std::make_tuple(0, 11025, 8, 2));

  // Nothing ties the values together, so the arrows move only their own combo.
  const auto stepped = RunSheet(ExplicitWav(44100, 16, 2), COptSheet::kWavPage, [](COptSheet& sheet) {
    auto* rate = Child<QComboBox>(sheet, "wavSampleRateCombo");
    auto* bits = Child<QComboBox>(sheet, "wavBitsCombo");
    rate->setFocus();
    QTest::keyClick(rate, Qt::Key_Down);
    bits->setFocus();
    QTest::keyClick(bits, Qt::Key_Up);
    EXPECT_EQ(rate->currentText(), QStringLiteral("48000 Hz"));
    EXPECT_EQ(bits->currentText(), QStringLiteral("8 bits"));
    EXPECT_TRUE(Child<QRadioButton>(sheet, "wavStereoRadio")->isChecked());
    EXPECT_EQ(Child<QComboBox>(sheet, "wavPresetCombo")->currentText(), QStringLiteral("Custom"));
  });
  ASSERT_TRUE(stepped);
  EXPECT_EQ(std::make_tuple(stepped->WAVSampleRate, stepped->WAVBitsPerSample, stepped->WAVChannelNum),
            std::make_tuple(48000, 8, 2));
}

TEST(OptWavPageTest, LosslessPresetLeavesTheParametersToTheSourceAndKeepsThem) {
  const QString lossless = QStringLiteral("Same as source (lossless)");
  ConverterSettings stored = ExplicitWav(22050, 16, 2);
  stored.WAVLossless = 1;
  stored.AutoDestWAVEncodingParam = 1;  // lossless wins over Auto
  auto kept = RunSheet(stored, COptSheet::kWavPage, [&](COptSheet& sheet) {
    EXPECT_EQ(Child<QComboBox>(sheet, "wavPresetCombo")->currentText(), lossless);
    EXPECT_FALSE(Child<QComboBox>(sheet, "wavBitsCombo")->isEnabled());
    EXPECT_FALSE(Child<QRadioButton>(sheet, "wavMonoRadio")->isEnabled());
  });
  ASSERT_TRUE(kept);
  EXPECT_EQ(std::make_tuple(kept->WAVLossless, kept->AutoDestWAVEncodingParam), std::make_tuple(1, 0));

  // Chosen over a named preset, it leaves the stored parameters as they were.
  const auto chosen = RunSheet(ExplicitWav(44100, 16, 2), COptSheet::kWavPage, [&](COptSheet& sheet) {
    auto* preset = Child<QComboBox>(sheet, "wavPresetCombo");
    Choose(preset, lossless);
    EXPECT_FALSE(Child<QComboBox>(sheet, "wavSampleRateCombo")->isEnabled());
  });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(std::make_tuple(chosen->WAVLossless, chosen->AutoDestWAVEncodingParam, chosen->WAVSampleRate,
                            chosen->WAVBitsPerSample, chosen->WAVChannelNum),
            std::make_tuple(1, 0, 44100, 16, 2));

  // Leaving it for a named preset or Auto clears it, and the named preset's rules hold.
  const auto named = RunSheet(*chosen, COptSheet::kWavPage, [&](COptSheet& sheet) {
    Choose(Child<QComboBox>(sheet, "wavPresetCombo"), kLowPreset);
    EXPECT_TRUE(Child<QComboBox>(sheet, "wavBitsCombo")->isEnabled());
    EXPECT_TRUE(Child<QRadioButton>(sheet, "wavMonoRadio")->isChecked());
  });
  ASSERT_TRUE(named);
  EXPECT_EQ(std::make_tuple(named->WAVLossless, named->AutoDestWAVEncodingParam, named->WAVSampleRate,
                            named->WAVBitsPerSample, named->WAVChannelNum),
            std::make_tuple(0, 0, 11025, 8, 1));
  const auto automatic = RunSheet(*chosen, COptSheet::kWavPage, [&](COptSheet& sheet) {
    Choose(Child<QComboBox>(sheet, "wavPresetCombo"), QStringLiteral("Auto (recommended)"));
  });
  ASSERT_TRUE(automatic);
  EXPECT_EQ(std::make_tuple(automatic->WAVLossless, automatic->AutoDestWAVEncodingParam), std::make_tuple(0, 1));
}

// A stored value that none of a page's lists holds shows as the page's nearest choice (or its
// first), and OK stores that choice, but only from a page the user saw: a page never shown hands
// every value back as it was.
TEST(OptPagesTest, ValuesOutsideTheListsAreReplacedOnlyOnThePageShown) {
  ConverterSettings mp3BitRate;
  mp3BitRate.AutoDestMP3EncodingParam = 0;
  mp3BitRate.MP3BitRate = 150;
  ConverterSettings folderOption;
  folderOption.DestOutputFolderOpt = 123;
  struct Case {
    const char* what;
    ConverterSettings settings;
    int page;
    int otherPage;
    const char* combo;
    const char* shown;
    std::int32_t ConverterSettings::*field;
    std::int32_t stored;
  } const cases[] = {
      {"an MP3 bit rate", mp3BitRate, COptSheet::kMp3Page, COptSheet::kOutputPage, "mp3BitRateCombo", "8 kbps",
       &ConverterSettings::MP3BitRate, 8},
      {"a WAV rate between two", ExplicitWav(7000, 16, 2), COptSheet::kWavPage, COptSheet::kMp3Page, "wavSampleRateCombo",
       "6000 Hz", &ConverterSettings::WAVSampleRate, 6000},
      {"a WAV rate in the list", ExplicitWav(96000, 16, 2), COptSheet::kWavPage, COptSheet::kMp3Page,
       "wavSampleRateCombo", "96000 Hz", &ConverterSettings::WAVSampleRate, 96000},
      {"a folder option", folderOption, COptSheet::kOutputPage, COptSheet::kWavPage, "folderOptionCombo",
       "Same as source file", &ConverterSettings::DestOutputFolderOpt, kOutputFolderSameAsSource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QString shown;
    const auto stored = RunSheet(c.settings, c.page, [&](COptSheet& sheet) { shown = Child<QComboBox>(sheet, c.combo)->currentText(); });
    ASSERT_TRUE(stored);
    EXPECT_EQ(shown, QString::fromUtf8(c.shown));
    EXPECT_EQ((*stored).*c.field, c.stored);
    const auto unseen = RunSheet(c.settings, c.otherPage, [](COptSheet&) {});
    ASSERT_TRUE(unseen);
    EXPECT_EQ(*unseen, c.settings);
  }
}

// However narrow the page, the example's lines break between words and never inside a path.
TEST(OptOutputPageTest, ExampleKeepsEachPathOnOneLine) {
  COptOutputPage page;
  const QLabel* example = Child<QLabel>(page, "createDirsExample");
  const QStringList paths{QStringLiteral("\"/home/ann/Music/pop/track.aiff\""), QStringLiteral("\"/home/ann/Converted\""),
                          QStringLiteral("\"/home/ann/Converted/home/ann/Music/pop\"")};
  // From the narrowest width that holds the longest path on a line of its own.
  for (int width = example->fontMetrics().horizontalAdvance(paths.last() + u',') + 16; width <= 600; width += 16) {
    QTextDocument document;
    document.setDefaultFont(example->font());
    if (example->textFormat() == Qt::RichText) document.setHtml(example->text());
    else document.setPlainText(example->text());
    document.setTextWidth(width);
    document.size();  // lays the text out
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
      for (int i = 0; i < block.layout()->lineCount(); ++i) {
        const QTextLine line = block.layout()->lineAt(i);
        lines << block.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
      }
    }
    for (const QString& path : paths) {
      EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(path); }))
          << qPrintable(path) << " is broken at width " << width << ": " << qPrintable(lines.join(u'|'));
    }
  }
}

TEST(OptOutputPageTest, SpecifiedFolderIsRequiredChosenAndKept) {
  ConverterSettings settings;
  settings.DestOutputFolderOpt = 123;
  settings.DestSpecifiedFolder = "/kept/while/disabled/";
  settings.CreateDirs = 1;
  test::MessageBoxCatcher catcher;
  std::vector<QString> startFolders;

  const auto stored = RunSheet(settings, COptSheet::kOutputPage, [&](COptSheet& sheet) {
    auto* option = Child<QComboBox>(sheet, "folderOptionCombo");
    auto* folder = Child<QLineEdit>(sheet, "specifiedFolderEdit");
    auto* browse = Child<QPushButton>(sheet, "browseButton");
    EXPECT_EQ(option->currentText(), QStringLiteral("Same as source file"));
    for (QWidget* control : {static_cast<QWidget*>(folder), static_cast<QWidget*>(browse),
                             static_cast<QWidget*>(Child<QCheckBox>(sheet, "createDirsCheck")),
                             static_cast<QWidget*>(Child<QLabel>(sheet, "createDirsExample"))}) {
      EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_EQ(folder->text(), QStringLiteral("/kept/while/disabled/"));
    QTest::mouseClick(Child<QCheckBox>(sheet, "browseWhenDoneCheck"), Qt::LeftButton);

    Choose(option, QStringLiteral("Specify output folder"));
    EXPECT_TRUE(browse->isEnabled());
    EXPECT_TRUE(Child<QCheckBox>(sheet, "createDirsCheck")->isChecked());
    test::Retype(folder, QString());
    auto* tabs = Child<QTabWidget>(sheet, "optionsTabs");
    tabs->setCurrentIndex(COptSheet::kMp3Page);
    EXPECT_EQ(tabs->currentIndex(), COptSheet::kOutputPage);
    EXPECT_EQ(sheet.focusWidget(), folder);

    // The chooser is asked where to start; a cancelled choice changes nothing.
    auto& page = sheet.OutputPage();
    page.SetFolderChooser([&](QWidget*, const QString&, const QString& instruction, const QString& start) -> std::optional<QString> {
      EXPECT_EQ(instruction, QStringLiteral("Please choose an output folder:"));
      startFolders.push_back(start);
      return std::nullopt;
    });
    test::Retype(folder, QStringLiteral("/typed"));
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(folder->text(), QStringLiteral("/typed"));
    page.SetFolderChooser([&](QWidget*, const QString&, const QString&, const QString& start) -> std::optional<QString> {
      startFolders.push_back(start);
      return QStringLiteral("/media/out/");
    });
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(folder->text(), QStringLiteral("/media/out/"));
  });
  ASSERT_TRUE(stored);
  EXPECT_EQ(startFolders, (std::vector<QString>{QStringLiteral("/typed"), QStringLiteral("/typed")}));
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].text, QStringLiteral("Please choose an output folder."));
  EXPECT_EQ(stored->DestOutputFolderOpt, kOutputFolderSpecified);
  EXPECT_EQ(stored->DestSpecifiedFolder, "/media/out/");
  EXPECT_EQ(stored->CreateDirs, 1);
  EXPECT_EQ(stored->BrowseOutputFolder, 0);
}

// The example follows the pattern as it is typed, from a real row's tags or a made-up file;
// a pattern that cannot name files is refused with its reason.
TEST(OptOutputPageTest, NamePatternExampleFollowsTheTypingAndBadPatternsAreRefused) {
  const auto example = [](COptSheet& sheet) {
    return Child<QLabel>(sheet, "namePatternExample")->text().remove(QChar(0x2060));
  };
  const auto typed = [&](COptSheet& sheet, const QString& pattern) {
    test::Retype(Child<QLineEdit>(sheet, "namePatternEdit"), pattern);
    return example(sheet);
  };
  test::TempDir dir;
  const std::string row =
      dir.Write("take.aiff", test::TaggedAiff({test::TextChunk("NAME", "Song"), test::TextChunk("AUTH", "Ann")}, {}, 10));
  const auto stored = RunSheet(ConverterSettings{}, COptSheet::kOutputPage, [&](COptSheet& sheet) {
    EXPECT_EQ(Child<QLineEdit>(sheet, "namePatternEdit")->text(), QStringLiteral("{name}"));
    EXPECT_EQ(example(sheet), QStringLiteral("For example, \"track.aiff\" becomes \"track.mp3\"."));
    EXPECT_EQ(typed(sheet, QStringLiteral("{artist}/{track:02} {title}")),
              QStringLiteral("For example, \"track.aiff\" becomes \"Ann Lee/03 Morning.mp3\"."));
    EXPECT_EQ(typed(sheet, QStringLiteral("{path}/{name}")),
              QStringLiteral("For example, \"track.aiff\" becomes \"Ann Lee/Pop/track.mp3\"."));
    sheet.OutputPage().SetExampleSource(row);
    EXPECT_EQ(typed(sheet, QStringLiteral("{artist}/{title} {year}")),
              QStringLiteral("For example, \"take.aiff\" becomes \"Ann/Song Unknown Year.mp3\"."));
  });
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->OutputNamePattern, "{artist}/{title} {year}");

  test::MessageBoxCatcher catcher;
  EXPECT_FALSE(RunSheet(*stored, COptSheet::kOutputPage, [&](COptSheet& sheet) {
    EXPECT_EQ(typed(sheet, QStringLiteral("{path}")),
              QStringLiteral("The name pattern must give {path} a whole folder of its own, as in {path}/{name}."));
    EXPECT_EQ(typed(sheet, QStringLiteral("{artst}")), QStringLiteral("The name pattern has an unknown field {artst}; "
                                                                          "known: {name} {folder} {path} {title} {artist} "
                                                                          "{album} {year} {genre} {track} {track:02}."));
  }));
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_TRUE(catcher.Boxes()[0].text.startsWith(QStringLiteral("Please correct the file names: the name pattern has an "
                                                                "unknown field {artst}")))
      << qPrintable(catcher.Boxes()[0].text);
}

TEST(OptOutputPageTest, CopyTagsCheckBoxFollowsAndStoresTheSetting) {
  ConverterSettings settings;
  ASSERT_EQ(settings.CopyTags, 1);
  const auto cleared = RunSheet(settings, COptSheet::kOutputPage, [](COptSheet& sheet) {
    auto* copyTags = Child<QCheckBox>(sheet, "copyTagsCheck");
    EXPECT_TRUE(copyTags->isChecked());
    EXPECT_EQ(copyTags->accessibleName(), QStringLiteral("Copy tags from the source file"));
    // On its box: the row is wider than the text, and only box and text take clicks.
    QTest::mouseClick(copyTags, Qt::LeftButton, {}, QPoint(6, copyTags->height() / 2));
  });
  ASSERT_TRUE(cleared);
  EXPECT_EQ(cleared->CopyTags, 0);
  const auto kept = RunSheet(*cleared, COptSheet::kOutputPage, [](COptSheet& sheet) {
    EXPECT_FALSE(Child<QCheckBox>(sheet, "copyTagsCheck")->isChecked());
  });
  EXPECT_EQ(kept->CopyTags, 0);
}

}  // namespace
}  // namespace velmora::ui
