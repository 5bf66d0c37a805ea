#include "settings.hpp"

#include <QSettings>
#include <cstdlib>

namespace sorvane::gui {
namespace {

const QString SETTING = QStringLiteral("notice/updates_waiting");
const QString HIDDEN_SUPPORT = QStringLiteral("support/hidden_note");

QString xdg_dir(const char* set, const char* home, const char* below_home) {
  if (set != nullptr && set[0] == '/') return QString::fromLocal8Bit(set);
  if (home != nullptr && home[0] == '/') {
    return QString::fromLocal8Bit(home) + QLatin1Char('/') + QLatin1String(below_home);
  }
  return {};
}

QString below(const QString& dir, const char* file) {
  return dir.isEmpty() ? QString() : dir + QStringLiteral("/sorvane/") + QLatin1String(file);
}

}  // namespace

NoticePlaces notice_places(const char* home, const char* config_home, const char* state_home) {
  return {below(xdg_dir(config_home, home, ".config"), "sorvane-gui.conf"),
          below(xdg_dir(state_home, home, ".local/state"), "announced")};
}

NoticePlaces desktop_notice_places() {
  // NOLINTBEGIN(concurrency-mt-unsafe): read before any thread starts
  return notice_places(std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME"),
                       std::getenv("XDG_STATE_HOME"));
  // NOLINTEND(concurrency-mt-unsafe)
}

bool notice_wanted(const QString& settings) {
  if (settings.isEmpty()) return true;
  return QSettings(settings, QSettings::IniFormat).value(SETTING, true).toBool();
}

bool save_notice_wanted(const QString& settings, bool wanted) {
  if (settings.isEmpty()) return false;
  QSettings file(settings, QSettings::IniFormat);
  file.setValue(SETTING, wanted);
  file.sync();
  return file.status() == QSettings::NoError;
}

QString hidden_support_note(const QString& settings) {
  if (settings.isEmpty()) return {};
  return QSettings(settings, QSettings::IniFormat).value(HIDDEN_SUPPORT).toString();
}

bool save_hidden_support_note(const QString& settings, const QString& phase) {
  if (settings.isEmpty()) return false;
  QSettings file(settings, QSettings::IniFormat);
  file.setValue(HIDDEN_SUPPORT, phase);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace sorvane::gui
