#pragma once

#include <QLocale>
#include <QTranslator>

namespace velmora::ui {

// The window's texts in the user's language, with Qt's own translations for the standard dialogs
// (OK, Cancel, the file dialog). Installed for as long as the object lives. The user's first
// language that Velmora speaks wins; English, the language the texts are written in, needs no
// file, so a user who puts English before German (LANGUAGE=en_GB:de) keeps English.
//
// The .qm files live in share/velmora/translations beside the folder of the executable: where
// `cmake --install` puts them, and where the build tree has them for a program run uninstalled.
class UiTranslations {
 public:
  explicit UiTranslations(const QLocale& locale = QLocale::system());
  ~UiTranslations();
  UiTranslations(const UiTranslations&) = delete;
  UiTranslations& operator=(const UiTranslations&) = delete;

  // The language whose translation was installed; QLocale::English when none was.
  QLocale::Language Language() const { return m_language; }

 private:
  QTranslator m_own;
  QTranslator m_qt;
  QLocale::Language m_language = QLocale::English;
};

}  // namespace velmora::ui
