#include "ui/options/opt_mp3_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QWheelEvent>

#include "ui/controls/link_static.h"
#include "ui/options/gain_spin_box.h"
#include "ui/message_box_catcher.h"
#include "ui/options/opt_sheet.h"
#include "ui/widget_test_support.h"
#include "ui/web_addresses.h"

namespace velmora::ui {
namespace {

using test::Child;
using test::Choose;

// A sheet shown on the settings given, as the Options command shows it.
struct Sheet {
  COptSheet sheet;
  explicit Sheet(const ConverterSettings& settings, int startPage = COptSheet::kMp3Page) {
    TransferIn(settings, sheet);
    sheet.SetStartPage(startPage);
    sheet.show();
  }
  template <typename T>
  T* Get(const char* name) { return Child<T>(sheet, name); }
  QString Text(const char* combo) { return Get<QComboBox>(combo)->currentText(); }
  // Presses OK; gives the settings it stores, or nothing while the sheet stays open.
  std::optional<ConverterSettings> Ok(ConverterSettings settings) {
    QTest::mouseClick(Get<QPushButton>("okButton"), Qt::LeftButton);
    if (sheet.isVisible()) return std::nullopt;
    TransferOut(sheet, settings);
    return settings;
  }
};

ConverterSettings Explicit(int kbps, int hz, int mode) {
  ConverterSettings settings;
  settings.AutoDestMP3EncodingParam = 0;
  settings.MP3BitRate = kbps;
  settings.MP3SampleRate = hz;
  settings.MP3ChannelMode = mode;
  return settings;
}

const QString kCdPreset = QStringLiteral("44100Hz, 128 kbps, Joint Stereo (close to CD-quality, large size)");

enum class Step { kDownKey, kUpKey, kWheelDown, kWheelUp };

// One step on the focused combo, as a key press or a notch of the mouse wheel over it.
void StepOn(QComboBox* combo, Step step) {
  combo->setFocus();
  if (step == Step::kDownKey || step == Step::kUpKey) {
    QTest::keyClick(combo, step == Step::kDownKey ? Qt::Key_Down : Qt::Key_Up);
    return;
  }
  const QPointF at = combo->rect().center();
  QWheelEvent notch(at, combo->mapToGlobal(at), {}, QPoint(0, step == Step::kWheelDown ? -120 : 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(combo, &notch);
}

TEST(OptMp3PageTest, OpensOnTheStoredValuesAndAutoFreezesThem) {
  {
    Sheet s(Explicit(128, 44100, kMp3ModeJointStereo));
    EXPECT_EQ(s.Text("mp3PresetCombo"), kCdPreset);
    EXPECT_TRUE(s.Get<QRadioButton>("mp3JointStereoRadio")->isChecked());
    EXPECT_EQ(s.Get<CLinkStatic>("jointStereoLink")->Target(), QString::fromUtf8(kJointStereoSearchUrl));
  }
  {
    Sheet s(Explicit(128, 44100, kMp3ModeStereo));
    EXPECT_EQ(s.Text("mp3PresetCombo"), QStringLiteral("Custom"));
    EXPECT_TRUE(s.Get<QRadioButton>("mp3StereoRadio")->isChecked());
  }
  {
    // Auto: the parameters cannot be touched, and OK keeps the explicit values stored before,
    // whatever the frozen controls show after a preset was tried and Auto chosen again.
    ConverterSettings settings = Explicit(64, 22050, kMp3ModeMono);
    settings.AutoDestMP3EncodingParam = 1;
    Sheet s(settings);
    EXPECT_EQ(s.Text("mp3PresetCombo"), QStringLiteral("Auto"));
    EXPECT_EQ(s.Text("mp3BitRateCombo"), QStringLiteral("64 kbps"));
    for (const char* name : {"mp3BitRateCombo", "mp3SampleRateCombo"}) EXPECT_FALSE(s.Get<QComboBox>(name)->isEnabled());
    for (const char* name : {"mp3JointStereoRadio", "mp3StereoRadio", "mp3MonoRadio"}) {
      EXPECT_FALSE(s.Get<QRadioButton>(name)->isEnabled());
    }
    Choose(s.Get<QComboBox>("mp3PresetCombo"), kCdPreset);
    EXPECT_TRUE(s.Get<QComboBox>("mp3BitRateCombo")->isEnabled());
    EXPECT_EQ(s.Text("mp3BitRateCombo"), QStringLiteral("128 kbps"));
    Choose(s.Get<QComboBox>("mp3PresetCombo"), QStringLiteral("Auto"));
    EXPECT_FALSE(s.Get<QComboBox>("mp3BitRateCombo")->isEnabled());
    const auto stored = s.Ok(settings);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->AutoDestMP3EncodingParam, 1);
    EXPECT_EQ(std::tie(stored->MP3BitRate, stored->MP3SampleRate, stored->MP3ChannelMode),
              std::tie(settings.MP3BitRate, settings.MP3SampleRate, settings.MP3ChannelMode));
  }
}

TEST(OptMp3PageTest, BitRateAndSampleRateStayAPairAnyManualChangeSelectsCustom) {
  Sheet s(Explicit(128, 48000, kMp3ModeJointStereo));
  auto* preset = s.Get<QComboBox>("mp3PresetCombo");
  auto* bitRate = s.Get<QComboBox>("mp3BitRateCombo");
  auto* sampleRate = s.Get<QComboBox>("mp3SampleRateCombo");
  auto choose = [&](QComboBox* combo, const char* text) { Choose(combo, QString::fromUtf8(text)); };

  choose(preset, "32000 Hz, 96 kbps, Joint Stereo (medium quality, normal size)");
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("96 kbps"));
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("32000 Hz"));
  choose(bitRate, "96 kbps");
  EXPECT_EQ(preset->currentText(), QStringLiteral("32000 Hz, 96 kbps, Joint Stereo (medium quality, normal size)"))
      << "choosing the bit rate already in force is no change";

  choose(sampleRate, "48000 Hz");
  EXPECT_EQ(preset->currentText(), QStringLiteral("Custom"));
  choose(bitRate, "16 kbps");
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("24000 Hz"));
  choose(sampleRate, "22050 Hz");
  choose(bitRate, "96 kbps");
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("22050 Hz")) << "96 kbps fits 22050 Hz";
  choose(bitRate, "40 kbps");
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("22050 Hz"));
  choose(bitRate, "320 kbps");
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("32000 Hz"));
  choose(sampleRate, "8000 Hz");
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("64 kbps"));
  choose(sampleRate, "32000 Hz");
  choose(bitRate, "8 kbps");
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("24000 Hz"));
  // A stream at 32000 Hz or more has no 144 kbps, so the two move to a pair it can carry.
  choose(bitRate, "144 kbps");
  choose(sampleRate, "44100 Hz");
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("128 kbps"));
  choose(bitRate, "144 kbps");
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("24000 Hz"));
  // The paired rate lasts only while the bit rate needs it; the user chose 44100 Hz.
  StepOn(bitRate, Step::kDownKey);
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("160 kbps"));
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("44100 Hz"));
  choose(sampleRate, "8000 Hz");
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("64 kbps"));
  StepOn(sampleRate, Step::kWheelDown);
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("64 kbps"));
  StepOn(sampleRate, Step::kWheelDown);
  StepOn(sampleRate, Step::kWheelDown);
  EXPECT_EQ(sampleRate->currentText(), QStringLiteral("16000 Hz"));
  EXPECT_EQ(bitRate->currentText(), QStringLiteral("160 kbps")) << "16000 Hz carries the bit rate the user chose";

  choose(preset, "11025 Hz, 16 kbps, Mono (low quality, smaller file size)");
  EXPECT_TRUE(s.Get<QRadioButton>("mp3MonoRadio")->isChecked());
  QTest::mouseClick(s.Get<QRadioButton>("mp3MonoRadio"), Qt::LeftButton);
  EXPECT_EQ(preset->currentIndex(), preset->findText(QStringLiteral("11025 Hz, 16 kbps, Mono (low quality, smaller file size)")))
      << "clicking the channel mode already chosen is no change";
  QTest::mouseClick(s.Get<QRadioButton>("mp3StereoRadio"), Qt::LeftButton);
  EXPECT_EQ(preset->currentText(), QStringLiteral("Custom"));

  const auto stored = s.Ok(ConverterSettings{});
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->AutoDestMP3EncodingParam, 0);
  EXPECT_EQ(stored->MP3BitRate, 16);
  EXPECT_EQ(stored->MP3SampleRate, 11025);
  EXPECT_EQ(stored->MP3ChannelMode, kMp3ModeStereo);
}

// The arrow keys and the wheel step over the values the other combo's value cannot carry, so a
// step never moves the other: from 44100 Hz and 128 kbps, three steps give 160, 192 and
// 224 kbps at 44100 Hz (144 kbps exists only up to 24000 Hz), and OK stores what is shown.
TEST(OptMp3PageTest, StepsSkipWhatTheOtherValueCannotCarry) {
  struct Case {
    const char* combo;
    Step step;
    int kbps;
    int hz;
    std::vector<const char*> shown;  // the combo's text after each step
  } const cases[] = {
      {"mp3BitRateCombo", Step::kDownKey, 128, 44100, {"160 kbps", "192 kbps", "224 kbps"}},
      {"mp3BitRateCombo", Step::kWheelDown, 128, 44100, {"160 kbps", "192 kbps", "224 kbps"}},
      {"mp3BitRateCombo", Step::kUpKey, 160, 48000, {"128 kbps", "112 kbps"}},
      {"mp3BitRateCombo", Step::kDownKey, 128, 22050, {"144 kbps", "160 kbps", "160 kbps"}},
      {"mp3BitRateCombo", Step::kWheelUp, 40, 32000, {"32 kbps", "32 kbps"}},
      {"mp3SampleRateCombo", Step::kUpKey, 128, 44100, {"32000 Hz", "24000 Hz", "22050 Hz", "16000 Hz", "16000 Hz"}},
      {"mp3SampleRateCombo", Step::kWheelDown, 16, 12000, {"16000 Hz", "22050 Hz", "24000 Hz", "24000 Hz"}},
      {"mp3SampleRateCombo", Step::kDownKey, 144, 16000, {"22050 Hz", "24000 Hz", "24000 Hz"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.combo << " from " << c.kbps << " kbps, " << c.hz << " Hz");
    Sheet s(Explicit(c.kbps, c.hz, kMp3ModeJointStereo));
    auto* combo = s.Get<QComboBox>(c.combo);
    const bool steppingBitRate = combo->objectName() == QLatin1String("mp3BitRateCombo");
    auto* other = s.Get<QComboBox>(steppingBitRate ? "mp3SampleRateCombo" : "mp3BitRateCombo");
    const QString otherText = other->currentText();
    for (const char* expected : c.shown) {
      StepOn(combo, c.step);
      EXPECT_EQ(combo->currentText().toStdString(), expected);
      EXPECT_EQ(other->currentText().toStdString(), otherText.toStdString());
    }
    EXPECT_EQ(s.Text("mp3PresetCombo"), QStringLiteral("Custom"));
    const auto stored = s.Ok(ConverterSettings{});
    ASSERT_TRUE(stored);
    const int last = QString::fromUtf8(c.shown.back()).section(u' ', 0, 0).toInt();
    EXPECT_EQ(stored->MP3BitRate, steppingBitRate ? last : c.kbps);
    EXPECT_EQ(stored->MP3SampleRate, steppingBitRate ? c.hz : last);
  }
}

// Variable bit rate replaces the bit rate alone: presets, sample rate and channel mode keep
// their rules, with Auto too. Gapless playback is the user's choice at constant bit rate and
// certain at variable bit rate, where the stored choice waits for a return to constant.
TEST(OptMp3PageTest, QualityReplacesTheBitRateAndBringsGaplessPlayback) {
  ConverterSettings settings = Explicit(128, 44100, kMp3ModeJointStereo);
  settings.MP3VbrQuality = 2;
  {
    Sheet s(settings);
    auto* quality = s.Get<QComboBox>("mp3QualityCombo");
    auto* gapless = s.Get<QCheckBox>("mp3GaplessCheck");
    auto* bitRate = s.Get<QComboBox>("mp3BitRateCombo");
    EXPECT_EQ(quality->currentText(), QStringLiteral("Variable, V2"));
    EXPECT_FALSE(quality->accessibleName().isEmpty());
    EXPECT_FALSE(gapless->accessibleName().isEmpty());
    EXPECT_EQ(s.Text("mp3PresetCombo"), kCdPreset) << "the preset still describes rate, bit rate and mode";
    EXPECT_FALSE(bitRate->isEnabled());
    EXPECT_TRUE(s.Get<QComboBox>("mp3SampleRateCombo")->isEnabled());
    EXPECT_TRUE(gapless->isChecked());
    EXPECT_FALSE(gapless->isEnabled());

    // A preset sets rate and mode and leaves the quality alone.
    Choose(s.Get<QComboBox>("mp3PresetCombo"), QStringLiteral("32000 Hz, 96 kbps, Joint Stereo (medium quality, normal size)"));
    EXPECT_EQ(quality->currentText(), QStringLiteral("Variable, V2"));
    EXPECT_FALSE(bitRate->isEnabled());

    // Back to constant bit rate: the bit rate returns, and so does the stored gapless choice.
    Choose(quality, QStringLiteral("Constant bit rate"));
    EXPECT_TRUE(bitRate->isEnabled());
    EXPECT_TRUE(gapless->isEnabled());
    EXPECT_FALSE(gapless->isChecked());
    QTest::mouseClick(gapless, Qt::LeftButton);
    const auto stored = s.Ok(settings);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->MP3VbrQuality, kMp3ConstantBitRate);
    EXPECT_EQ(stored->MP3Gapless, 1);
    EXPECT_EQ(stored->MP3BitRate, 96);
    EXPECT_EQ(stored->MP3SampleRate, 32000);
  }
  {
    // With Auto, the quality still applies; choosing it touches neither Auto nor the gapless
    // choice stored for constant bit rate.
    settings.AutoDestMP3EncodingParam = 1;
    settings.MP3VbrQuality = kMp3ConstantBitRate;
    settings.MP3Gapless = 0;
    Sheet s(settings);
    Choose(s.Get<QComboBox>("mp3QualityCombo"), QStringLiteral("Variable, V9 (lowest quality, smallest size)"));
    EXPECT_TRUE(s.Get<QCheckBox>("mp3GaplessCheck")->isChecked());
    EXPECT_FALSE(s.Get<QComboBox>("mp3BitRateCombo")->isEnabled());
    Choose(s.Get<QComboBox>("mp3PresetCombo"), kCdPreset);
    EXPECT_FALSE(s.Get<QComboBox>("mp3BitRateCombo")->isEnabled()) << "leaving Auto does not bring the bit rate back";
    Choose(s.Get<QComboBox>("mp3PresetCombo"), QStringLiteral("Auto"));
    const auto stored = s.Ok(settings);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->AutoDestMP3EncodingParam, 1);
    EXPECT_EQ(stored->MP3VbrQuality, 9);
    EXPECT_EQ(stored->MP3Gapless, 0);
  }
}

// The MP3 and WAV pages share the gain's rules: the coefficient is stepped within 10 to 3000,
// checked while its box is ticked (the page cannot be left nor the sheet closed on a bad one) and
// kept unchecked while the box is clear.
TEST(OptGainTest, EachPageStepsTheCoefficientWithinItsRangeAndChecksItOnlyWhileTicked) {
  struct Case {
    int page;
    int otherPage;
    const char* check;
    const char* spin;
    std::int32_t ConverterSettings::*enabled;
    std::int32_t ConverterSettings::*coefficient;
  } const cases[] = {
      {COptSheet::kMp3Page, COptSheet::kWavPage, "mp3AmplifyCheck", "mp3CoefficientSpin", &ConverterSettings::AmplifyMp3,
       &ConverterSettings::AmplifyMp3Coeff},
      {COptSheet::kWavPage, COptSheet::kMp3Page, "wavAmplifyCheck", "wavCoefficientSpin", &ConverterSettings::AmplifyWav,
       &ConverterSettings::AmplifyWavCoeff},
  };
  const QString outOfRange = QStringLiteral("Invalid amplification coefficient. It's betwen 10 and 3000.");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spin);
    ConverterSettings settings;
    settings.*c.coefficient = 2990;
    Sheet s(settings, c.page);
    auto* amplify = s.Get<QCheckBox>(c.check);
    auto* spin = s.Get<CGainSpinBox>(c.spin);
    EXPECT_FALSE(spin->isEnabled());
    QTest::mouseClick(amplify, Qt::LeftButton);
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_EQ(s.sheet.focusWidget(), spin) << "ticking the box takes the user to the coefficient";

    test::Retype(spin, QStringLiteral("2995"));
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->text(), QStringLiteral("3000"));
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->text(), QStringLiteral("3000"));
    test::Retype(spin, QStringLiteral("15"));
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->text(), QStringLiteral("10"));
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->text(), QStringLiteral("10"));

    test::MessageBoxCatcher catcher;
    test::Retype(spin, QStringLiteral("5"));
    auto* tabs = s.Get<QTabWidget>("optionsTabs");
    tabs->setCurrentIndex(c.otherPage);
    EXPECT_EQ(tabs->currentIndex(), c.page) << "the page cannot be left";
    EXPECT_FALSE(s.Ok(settings)) << "nor can the sheet be closed";
    EXPECT_EQ(s.sheet.focusWidget(), spin);
    test::Retype(spin, QStringLiteral("3010"));
    EXPECT_FALSE(s.Ok(settings));
    test::Retype(spin, QString());
    EXPECT_FALSE(s.Ok(settings));
    ASSERT_EQ(catcher.Boxes().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(catcher.Boxes()[i].text, i < 3 ? outOfRange : QStringLiteral("Please enter an integer."));
      EXPECT_EQ(catcher.Boxes()[i].title, QStringLiteral("Velmora"));
      EXPECT_EQ(catcher.Boxes()[i].icon, QMessageBox::Warning);
    }

    {
      // Stored ticked: a value stepped down from a typed one is what OK stores.
      ConverterSettings ticked = settings;
      ticked.*c.enabled = 1;
      Sheet t(ticked, c.page);
      auto* tickedSpin = t.Get<CGainSpinBox>(c.spin);
      test::Retype(tickedSpin, QStringLiteral("250"));
      QTest::keyClick(tickedSpin, Qt::Key_Down);
      const auto stored = t.Ok(ticked);
      ASSERT_TRUE(stored);
      EXPECT_EQ((*stored).*c.enabled, 1);
      EXPECT_EQ((*stored).*c.coefficient, 240);
    }

    test::Retype(spin, QStringLiteral("5"));
    QTest::mouseClick(amplify, Qt::LeftButton);
    const auto stored = s.Ok(settings);
    ASSERT_TRUE(stored) << "with the box clear the coefficient is not checked";
    EXPECT_EQ((*stored).*c.enabled, 0);
    EXPECT_EQ((*stored).*c.coefficient, 5);
    EXPECT_EQ(catcher.Boxes().size(), 4u);
  }
}

}  // namespace
}  // namespace velmora::ui
