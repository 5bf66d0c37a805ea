// Where Sorvane Update keeps what the user chose: "Tell me when updates
// are waiting", the daily check's notice, and the support note put away.
#pragma once

#include <QString>

namespace sorvane::gui {

// Where the setting and the memory of what was announced are kept.
struct NoticePlaces {
  QString settings;   // $XDG_CONFIG_HOME/sorvane/sorvane-gui.conf
  QString announced;  // $XDG_STATE_HOME/sorvane/announced
};
// From $HOME, $XDG_CONFIG_HOME and $XDG_STATE_HOME (any may be null; a
// relative XDG directory is ignored, as the XDG rules say). Without a home
// either may be empty: nothing is then read or kept.
NoticePlaces notice_places(const char* home, const char* config_home, const char* state_home);
NoticePlaces desktop_notice_places();

// "Tell me when updates are waiting": on unless the user turned it off.
bool notice_wanted(const QString& settings);
// False when it could not be saved.
bool save_notice_wanted(const QString& settings, bool wanted);

// The phase of the support note the user put away (SupportNote::phase);
// empty when none. False when it could not be saved.
QString hidden_support_note(const QString& settings);
bool save_hidden_support_note(const QString& settings, const QString& phase);

// The setting as the window holds it: read once, saved at every change.
class NoticeSetting {
 public:
  // None: not kept (the setting is on, and changes are not saved).
  explicit NoticeSetting(QString settings)
      : settings_(std::move(settings)), wanted_(notice_wanted(settings_)) {}
  [[nodiscard]] bool wanted() const { return wanted_; }
  // False when it could not be saved; it holds for this window all the same.
  bool set(bool wanted) {
    wanted_ = wanted;
    return save_notice_wanted(settings_, wanted);
  }

 private:
  QString settings_;
  bool wanted_;
};

}  // namespace sorvane::gui
