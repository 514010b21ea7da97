#pragma once

#include <QDialog>

#include <string>

#include "settings/converter_settings.h"

class QTabWidget;

namespace velmora {
class SettingsStore;
}

namespace velmora::ui {

class COptPage;
class COptMp3Page;
class COptWavPage;
class COptFlacPage;
class COptOpusPage;
class COptOutputPage;
class COptLoudnessPage;

// The "Options" dialog: the MP3, WAV, FLAC, Opus, Output and Loudness pages as tabs, with OK and Cancel. A page is
// left (for another tab, or by OK) only when it accepts its input; OK then lets every page that
// was shown take its final values. Whichever way the sheet closes, it remembers its tab.
class COptSheet : public QDialog {
  Q_OBJECT

 public:
  enum Page { kMp3Page = 0, kWavPage, kFlacPage, kOpusPage, kOutputPage, kLoudnessPage, kPageCount };

  explicit COptSheet(QWidget* parent = nullptr);

  COptMp3Page& Mp3Page() const { return *m_mp3; }
  COptWavPage& WavPage() const { return *m_wav; }
  COptFlacPage& FlacPage() const { return *m_flac; }
  COptOpusPage& OpusPage() const { return *m_opus; }
  COptOutputPage& OutputPage() const { return *m_output; }
  COptLoudnessPage& LoudnessPage() const { return *m_loudness; }

  // The help page about the tab at `index` (a Page).
  static QString HelpPage(int index);

  // The tab shown first; set before the sheet is shown.
  void SetStartPage(int index) { m_startPage = index; }
  // The tab that was active when the sheet closed.
  int LastActivePage() const { return m_lastActivePage; }

  void accept() override;
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  COptPage* PageAt(int index) const;
  void OnTabChanged(int index);
  // Asks the active page whether it may be left; tells the user why not.
  bool LeaveActivePage();

  QTabWidget* m_tabs = nullptr;
  COptMp3Page* m_mp3 = nullptr;
  COptWavPage* m_wav = nullptr;
  COptFlacPage* m_flac = nullptr;
  COptOpusPage* m_opus = nullptr;
  COptOutputPage* m_output = nullptr;
  COptLoudnessPage* m_loudness = nullptr;
  int m_startPage = kMp3Page;
  int m_activePage = -1;
  int m_lastActivePage = kMp3Page;
};

// Copies the settings into the pages, before the sheet is shown.
void TransferIn(const ConverterSettings& settings, COptSheet& sheet);
// Copies the pages back into the settings, after the sheet closed with OK. Explicit MP3 or WAV
// parameters are kept as they were while their page is on "Auto", so they return when the
// user leaves "Auto" later.
void TransferOut(const COptSheet& sheet, ConverterSettings& settings);

// The window's Options command: runs the sheet modally on `settings`, opening on
// `rememberedPage`; on OK stores the options in `settings` and saves them to `store`. Updates
// `rememberedPage` whichever way the sheet closed. True when the user pressed OK. The Output
// page's name example shows `exampleSource`, a row of the list found under `exampleRoot`, or a
// made-up file when empty.
bool RunOptionsSheet(QWidget* parent, ConverterSettings& settings, SettingsStore& store, int& rememberedPage,
                     const std::string& exampleSource = {}, const std::string& exampleRoot = {});

}  // namespace velmora::ui
