#include "ui/options/opt_loudness_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "platform/settings_store.h"
#include "settings/settings_io.h"
#include "support/temp_dir.h"
#include "ui/options/opt_sheet.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

using test::Child;

// The page as a user meets it: the target and the ceiling serve normalisation only, album
// mode both kinds of levelling; what is chosen reaches the settings file.
TEST(OptLoudnessPageTest, ChoicesEnableTheirControlsAndAreSaved) {
  test::TempDir dir;
  const std::string ini = dir.File("Velmora.conf");
  ConverterSettings settings;
  int page = COptSheet::kLoudnessPage;
  // Clicks where a radio button's circle or a check box's square is.
  const auto pick = [](QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  };
  test::WhenShown<COptSheet> drive([&](COptSheet& sheet) {
    auto* target = Child<QSpinBox>(sheet, "loudnessTargetSpin");
    auto* ceiling = Child<QDoubleSpinBox>(sheet, "loudnessCeilingSpin");
    auto* album = Child<QCheckBox>(sheet, "loudnessAlbumCheck");
    EXPECT_TRUE(Child<QRadioButton>(sheet, "loudnessOffRadio")->isChecked());
    EXPECT_EQ(target->value(), -16);
    EXPECT_EQ(ceiling->value(), -1.0);
    EXPECT_FALSE(target->isEnabled() || ceiling->isEnabled() || album->isEnabled());
    pick(Child<QRadioButton>(sheet, "loudnessReplayGainRadio"));
    EXPECT_FALSE(target->isEnabled() || ceiling->isEnabled());
    EXPECT_TRUE(album->isEnabled());
    pick(Child<QRadioButton>(sheet, "loudnessNormalizeRadio"));
    ASSERT_TRUE(target->isEnabled() && ceiling->isEnabled());
    test::Retype(target, QStringLiteral("-14"));
    test::Retype(ceiling, QStringLiteral("-1.5"));
    pick(album);
    QTest::mouseClick(Child<QPushButton>(sheet, "okButton"), Qt::LeftButton);
  });
  {
    QtSettingsStore store(ini);
    ASSERT_TRUE(RunOptionsSheet(nullptr, settings, store, page));
  }
  EXPECT_TRUE(drive.Ran());
  QtSettingsStore reread(ini);
  ConverterSettings saved;
  LoadSettings(saved, reread);
  EXPECT_EQ(saved.LoudnessMode, kLoudnessNormalize);
  EXPECT_EQ(saved.LoudnessTarget, -14);
  EXPECT_EQ(saved.LoudnessCeiling, -15);
  EXPECT_EQ(saved.LoudnessAlbum, 1);
  EXPECT_EQ(page, COptSheet::kLoudnessPage);
}

}  // namespace
}  // namespace velmora::ui
