#include "translations.hpp"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace sorvane::gui {

Translations::Translations(const QLocale& locale) {
  // In the user's order: with LANGUAGE=en:de English comes first, and is
  // the source text, so nothing later is loaded in its place.
  for (const QString& name : locale.uiLanguages()) {
    const QLocale wanted(name);
    if (wanted.language() == QLocale::English || wanted.language() == QLocale::C) break;
    if (!own_.load(wanted, QStringLiteral("sorvane-gui"), QStringLiteral("_"),
                   QString::fromLatin1(TRANSLATIONS_RESOURCE))) {
      continue;
    }
    language_ = own_.language();
    QCoreApplication::installTranslator(&own_);
    // Qt's own words in the same language, where Debian has them.
    if (qt_.load(wanted, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QCoreApplication::installTranslator(&qt_);
    }
    return;
  }
}

Translations::~Translations() {
  QCoreApplication::removeTranslator(&qt_);
  QCoreApplication::removeTranslator(&own_);
}

}  // namespace sorvane::gui
