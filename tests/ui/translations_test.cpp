// The window in German and French: every text translated, the translation found and installed
// at start, and the longer words still fitting the fixed-size parts of the window.
#include "ui/translations.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTableView>
#include <QXmlStreamReader>

#include "convert/progress_estimate.h"
#include "platform/settings_store.h"
#include "support/temp_dir.h"
#include "ui/controls/skin_button.h"
#include "ui/convert_progress_dialog.h"
#include "ui/file_manager.h"
#include "ui/main_window.h"
#include "ui/status_text.h"
#include "ui/widget_test_support.h"

namespace velmora::ui {
namespace {

using test::Child;

// The messages of a .ts file that have no finished translation, as "context: source".
QStringList Unfinished(const QString& tsPath) {
  QFile file(tsPath);
  if (!file.open(QIODevice::ReadOnly)) return {tsPath + QStringLiteral(" cannot be read")};
  QXmlStreamReader xml(&file);
  QStringList unfinished;
  QString context;
  QString source;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") {
      context = xml.readElementText();
    } else if (xml.name() == u"source") {
      source = xml.readElementText();
    } else if (xml.name() == u"translation") {
      const bool finished = xml.attributes().value(QStringLiteral("type")).isEmpty();
      const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      if (!finished || text.trimmed().isEmpty()) unfinished << context + QStringLiteral(": ") + source;
    }
  }
  if (xml.hasError()) unfinished << tsPath + QStringLiteral(": ") + xml.errorString();
  return unfinished;
}

// lupdate reads the sources into a copy of each shipped translation: a text added or changed in
// the sources since arrives there unfinished, and a text nobody translated stays so.
TEST(TranslationsTest, EveryTextOfTheWindowHasAFinishedGermanAndFrenchTranslation) {
  const test::TempDir dir;
  for (const char* language : {"de", "fr"}) {
    const QString shipped = QStringLiteral(VELMORA_TRANSLATIONS_DIR "/velmora_%1.ts").arg(QLatin1String(language));
    const QString copy = QString::fromStdString(dir.File("velmora_" + std::string(language) + ".ts"));
    ASSERT_TRUE(QFile::copy(shipped, copy)) << qPrintable(shipped);
    QProcess lupdate;
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                          QStringLiteral("none"), QStringLiteral("-I"), QStringLiteral(VELMORA_SOURCE_DIR "/src")};
    arguments << QStringLiteral(VELMORA_TRANSLATED_SOURCE_DIRS).split(u'|') << QStringLiteral("-ts") << copy;
    lupdate.start(QStringLiteral(VELMORA_LUPDATE), arguments);
    ASSERT_TRUE(lupdate.waitForFinished(120000)) << qPrintable(lupdate.errorString());
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const QStringList unfinished = Unfinished(copy);
    EXPECT_TRUE(unfinished.isEmpty()) << language << " lacks a finished translation of:\n"
                                      << qPrintable(unfinished.join(u'\n'));
  }
}

// Every command button of the window shows its whole text with its margins: the buttons keep
// the size of their artwork whatever the language. (The home-page link shows the configured
// address, the same in every language.)
void ExpectButtonsFit(const QWidget& window) {
  for (const CSkinButton* button : window.findChildren<CSkinButton*>()) {
    if (button->text().isEmpty() || button->objectName() == QLatin1String("homePageButton")) continue;
    EXPECT_LE(button->sizeHint().width(), button->width())
        << qPrintable(button->objectName()) << " clips \"" << qPrintable(button->text()) << '"';
  }
}

// The progress lines have a fixed width; the longest state of each still fits.
void ExpectProgressLinesFit(QWidget* owner) {
  auto* dialog = new CConvertProgressDlg(owner);
  dialog->SetOverall(9999, 9999, OutputFormat::Mp3);
  ProgressEstimate estimate;
  estimate.Update(35999, 1, 3600000);  // hours on both clocks, a speed with a decimal
  dialog->SetTiming(TimingText(estimate));
  for (const char* name : {"overallLine", "timingLine"}) {
    const QLabel* line = Child<QLabel>(*dialog, name);
    EXPECT_LE(line->sizeHint().width(), line->width()) << name << " clips \"" << qPrintable(line->text()) << '"';
  }
  dialog->Finish();
}

// The user's language, read from the locale as at start, turns the window's words into that
// language, Qt's own buttons included; the texts written in English stay for English users.
TEST(TranslationsTest, TheWindowSpeaksTheUsersLanguage) {
  const test::TempDir dir;
  QtSettingsStore store(dir.File("Velmora.conf"));
  DesktopFileManager files;
  struct Case {
    QLocale locale;
    QLocale::Language installed;
    const char* addFolder;
    const char* duration;
    const char* cancel;
    const char* heldLoudness;  // a file's Status, with the user's words and decimal sign
  } const cases[] = {
      {QLocale(QLocale::German, QLocale::Germany), QLocale::German, "&Ordner einlesen", "Dauer", "Abbrechen",
       "a.wav (-17,2 LUFS, begrenzt durch die Obergrenze von -0,5 dBTP)"},
      {QLocale(QLocale::French, QLocale::France), QLocale::French, "Ajouter &dossier", "Durée", "Annuler",
       "a.wav (-17,2 LUFS, limité par le plafond de -0,5 dBTP)"},
      {QLocale(QLocale::English, QLocale::UnitedKingdom), QLocale::English, "Add &Folder", "Duration", "Cancel",
       "a.wav (-17.2 LUFS, held by the -0.5 dBTP ceiling)"},
  };
  const QLocale before;
  FileOutcome held;
  held.result = FileResult::Converted;
  held.loudness = {LoudnessNote::Kind::HeldByCeiling, -17.24, -0.5};
  for (const Case& c : cases) {
    SCOPED_TRACE(qPrintable(c.locale.name()));
    const UiTranslations translations(c.locale);
    QLocale::setDefault(c.locale);
    EXPECT_EQ(StatusText(held, "/out/a.wav"), QString::fromUtf8(c.heldLoudness));
    EXPECT_EQ(translations.Language(), c.installed);
    CMainDlg window(store, files);
    EXPECT_EQ(Child<CSkinButton>(window, "addFolderButton")->text(), QString::fromUtf8(c.addFolder));
    const auto* list = Child<QTableView>(window, "fileList");
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8(c.duration));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.cancel));
    ExpectButtonsFit(window);
    ExpectProgressLinesFit(&window);
  }
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QLatin1String("Cancel"));
  QLocale::setDefault(before);
}

}  // namespace
}  // namespace velmora::ui
