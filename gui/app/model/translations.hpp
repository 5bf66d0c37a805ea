// The window's own words and Qt's (standard buttons, dialogs) in the
// user's language, for as long as this lives: the first of the user's
// languages that Sorvane Update speaks, or English, its own.
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace sorvane::gui {

class Translations {
 public:
  // Installs them on the running QCoreApplication; LANGUAGE, LC_ALL,
  // LC_MESSAGES and LANG choose, through QLocale::system().
  explicit Translations(const QLocale& locale = QLocale::system());
  ~Translations();
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;
  Translations(Translations&&) = delete;
  Translations& operator=(Translations&&) = delete;

  // The language chosen ("de", "pt_BR"), or empty for English.
  [[nodiscard]] const QString& language() const { return language_; }

 private:
  QTranslator own_;
  QTranslator qt_;
  QString language_;
};

// Where the built translations are embedded.
inline constexpr const char* TRANSLATIONS_RESOURCE = ":/i18n";

}  // namespace sorvane::gui
