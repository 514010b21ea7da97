#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace velmora::ui {
namespace {

QString Folder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/velmora/translations"); }

}  // namespace

UiTranslations::UiTranslations(const QLocale& locale) {
  for (const QString& name : locale.uiLanguages()) {
    const QLocale language(name);
    if (language.language() == QLocale::English) break;
    if (!m_own.load(language, QStringLiteral("velmora"), QStringLiteral("_"), Folder())) continue;
    QCoreApplication::installTranslator(&m_own);
    if (m_qt.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QCoreApplication::installTranslator(&m_qt);
    }
    m_language = language.language();
    break;
  }
}

UiTranslations::~UiTranslations() {
  QCoreApplication::removeTranslator(&m_qt);
  QCoreApplication::removeTranslator(&m_own);
}

}  // namespace velmora::ui
