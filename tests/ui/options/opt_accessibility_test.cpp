// The options as assistive technology meets them: screen readers, switch access and voice
// control see the controls through Qt's accessibility interfaces and act through their actions.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QTextBrowser>
#include <functional>
#include <map>

#include "ui/about/help_window.h"
#include "ui/options/id3_tag_dlg.h"
#include "ui/options/opt_sheet.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

using test::Child;

// Does what an assistive tool's Toggle does: toggles, with no click.
void ToggleAsAssistiveTool(QWidget* box) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
  ASSERT_NE(iface, nullptr);
  QAccessibleActionInterface* actions = iface->actionInterface();
  ASSERT_NE(actions, nullptr);
  ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()))
      << qPrintable(box->objectName());
  actions->doAction(QAccessibleActionInterface::toggleAction());
}

// Every switch enables what it governs however it was changed.
TEST(OptAccessibilityTest, ControlsFollowTheirSwitchWhenAnAssistiveToolTogglesIt) {
  struct Toggle {
    const char* control;
    std::map<std::string, bool> enabled;  // dependents by object name, afterwards
  };
  struct Case {
    int page;  // of the sheet, or -1 for the ID3 editor
    std::vector<Toggle> toggles;
  } const cases[] = {
      {COptSheet::kMp3Page,
       {{"mp3AmplifyCheck", {{"mp3CoefficientSpin", true}}},
        {"mp3AmplifyCheck", {{"mp3CoefficientSpin", false}}},
        {"addId3Check", {{"editId3Button", true}}},
        {"addId3Check", {{"editId3Button", false}}}}},
      {COptSheet::kWavPage,
       {{"wavAmplifyCheck", {{"wavCoefficientSpin", true}}}, {"wavAmplifyCheck", {{"wavCoefficientSpin", false}}}}},
      {COptSheet::kLoudnessPage,
       {{"loudnessNormalizeRadio",
         {{"loudnessTargetSpin", true}, {"loudnessCeilingSpin", true}, {"loudnessAlbumCheck", true}}},
        {"loudnessOffRadio", {{"loudnessTargetSpin", false}, {"loudnessCeilingSpin", false}, {"loudnessAlbumCheck", false}}},
        {"loudnessReplayGainRadio",
         {{"loudnessTargetSpin", false}, {"loudnessCeilingSpin", false}, {"loudnessAlbumCheck", true}}}}},
      {-1, {{"titleFromFileNameCheck", {{"titleEdit", false}}}, {"titleFromFileNameCheck", {{"titleEdit", true}}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page);
    COptSheet sheet;
    Id3TagRecord record;
    record.SetTitleFromFileName(false);
    CId3TagDlg tags(record);
    QWidget* root = &tags;
    if (c.page >= 0) {
      sheet.SetStartPage(c.page);
      root = &sheet;
    }
    root->show();
    for (const Toggle& toggle : c.toggles) {
      ToggleAsAssistiveTool(Child<QWidget>(*root, toggle.control));
      for (const auto& [name, enabled] : toggle.enabled) {
        EXPECT_EQ(Child<QWidget>(*root, name.c_str())->isEnabled(), enabled) << "after toggling " << toggle.control;
      }
    }
  }
}

std::string Describe(QAccessibleInterface* iface) {
  const QObject* object = iface->object();
  return (object ? object->objectName().toStdString() + " " : std::string()) + "role " +
         std::to_string(iface->role()) + " \"" + iface->text(QAccessible::Name).toStdString() + '"';
}

void Walk(QAccessibleInterface* iface, const std::function<void(QAccessibleInterface*)>& visit) {
  visit(iface);
  for (int i = 0; i < iface->childCount(); ++i) {
    if (QAccessibleInterface* child = iface->child(i)) Walk(child, visit);
  }
}

// What a screen reader says of each control: a name for everything the user can operate, no
// mnemonic marks or stray spaces in it, radio buttons named by their group, and combos labelled
// and telling their real value even on tabs never opened.
void ExpectNamedForScreenReaders(QWidget& window) {
  const QAccessible::Role interactive[] = {QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton,
                                           QAccessible::ComboBox,   QAccessible::SpinBox,  QAccessible::EditableText,
                                           QAccessible::Link,       QAccessible::PageTab};
  Walk(QAccessible::queryAccessibleInterface(&window), [&](QAccessibleInterface* iface) {
    const std::string what = Describe(iface);
    const QString name = iface->text(QAccessible::Name);
    EXPECT_EQ(name.toStdString(), name.trimmed().toStdString()) << what;
    EXPECT_FALSE(name.contains(u'&')) << what;
    if (std::find(std::begin(interactive), std::end(interactive), iface->role()) != std::end(interactive)) {
      EXPECT_FALSE(name.isEmpty()) << what;
    }
    if (iface->role() == QAccessible::RadioButton) {
      const bool labelled = !iface->relations(QAccessible::Label).isEmpty() ||
                            (iface->parent() && !iface->parent()->text(QAccessible::Name).isEmpty());
      EXPECT_TRUE(labelled) << what << " does not say what it chooses";
    }
    if (auto* combo = qobject_cast<QComboBox*>(iface->object())) {
      // On Linux a combo's name is its value; screen readers take its label from the relation.
      EXPECT_FALSE(iface->relations(QAccessible::Label).isEmpty()) << what << " has no label";
      EXPECT_EQ(iface->text(QAccessible::Value).toStdString(), combo->currentText().toStdString()) << what;
      EXPECT_FALSE(combo->currentText().isEmpty() && combo->currentIndex() < 0) << what;
    }
  });
}

TEST(OptAccessibilityTest, EveryControlOfTheSheetAndTheHelpIsNamedForScreenReaders) {
  // Values no combo shows first, on tabs that stay closed.
  ConverterSettings settings;
  settings.AutoDestWAVEncodingParam = 0;
  settings.WAVSampleRate = 22050;
  settings.WAVBitsPerSample = 16;
  settings.WAVChannelNum = 1;
  settings.DestOutputFolderOpt = kOutputFolderSpecified;
  settings.DestSpecifiedFolder = "/home/ann/Converted/";
  settings.AutoDestMP3EncodingParam = 0;
  settings.MP3VbrQuality = 4;
  COptSheet sheet;
  TransferIn(settings, sheet);
  sheet.SetStartPage(COptSheet::kLoudnessPage);
  sheet.show();
  ExpectNamedForScreenReaders(sheet);
  const std::pair<const char*, const char*> closedTabs[] = {
      {"wavPresetCombo", "Custom"},
      {"wavSampleRateCombo", "22050 Hz"},
      {"wavBitsCombo", "16 bits"},
      {"folderOptionCombo", "Specify output folder"},
      {"mp3PresetCombo", "44100Hz, 128 kbps, Joint Stereo (close to CD-quality, large size)"},
      {"mp3QualityCombo", "Variable, V4"},
  };
  for (const auto& [name, shown] : closedTabs) {
    QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(Child<QComboBox>(sheet, name));
    EXPECT_EQ(combo->text(QAccessible::Value).toStdString(), shown) << name;
  }
  for (const char* radio : {"mp3JointStereoRadio", "mp3StereoRadio", "mp3MonoRadio", "wavStereoRadio", "wavMonoRadio"}) {
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(Child<QWidget>(sheet, radio))->parent();
    EXPECT_EQ(group->text(QAccessible::Name).toStdString(), "Channels") << radio;
  }

  HelpWindow* help = HelpWindow::ShowOrRaise(nullptr);
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(help);
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name).toStdString(), "Velmora Help");
  ExpectNamedForScreenReaders(*help);
  HelpWindow::CloseOpen();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace velmora::ui
