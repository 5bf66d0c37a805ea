#include "look_result.hpp"

#include <pwd.h>
#include <unistd.h>

#include "script_programs.hpp"
#include "system_words.hpp"

namespace sorvane::gui {

void LookResult::take(const Looked& looked) {
  steps_ = looked.steps;
  script_ = looked.script;
  needs_password_ = looked.needs_password;
  access_ = looked.access;
  password_requested_ = false;
  refused_ = false;  // a new look, a new heading
  online_ = looked.online;
  found_ = looked.found;
  support_ = looked.support;
}

bool LookResult::managers_changed(std::span<const std::string> path_dirs) const {
  return found_ && managers_found(path_dirs) != *found_;
}

bool LookResult::set_power(const PowerAndNetwork& power) {
  if (power == power_) return false;
  power_ = power;
  return true;
}

ReadyFacts LookResult::facts() const {
  ReadyFacts facts{checking(), refused_, access_, password_requested_, {}, checks()};
  facts.foreseen = foresee(facts.checks, online_);
  facts.power = power_;
  facts.notice_skipped = notice_skipped_;
  return facts;
}

Foreseen LookResult::foreseen() const {
  return foresee(checks(), online_);
}

bool LookResult::password_offered() const {
  return access_ != SudoAccess::Unlikely || password_requested_;
}

bool LookResult::password_wanted() const {
  return needs_password_ && password_offered() && !foreseen().stops_update();
}

bool LookResult::update_possible(bool ready) const {
  return ready && !checking() && !foreseen().stops_update() && password_offered() &&
         !power_.plug_in();
}

bool LookResult::update_proposed(bool ready) const {
  return update_possible(ready) && !facts().up_to_date();
}

bool LookResult::update_shown(bool ready) const {
  return password_offered() && (checking() || update_possible(ready) || plug_in_needed(ready));
}

QString LookResult::update_label(bool ready) const {
  return plug_in_needed(ready) ? SystemWords::plug_in() : UpdateWords::tr("Update");
}

QString LookResult::password_label() {
  std::vector<char> buffer(size_t{16} * 1024);
  struct passwd entry {};
  struct passwd* found = nullptr;
  const uid_t user = ::geteuid();
  const bool named = ::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 &&
                     found != nullptr && found->pw_name[0] != '\0';
  return UpdateWords::tr("Password for %1")
      .arg(named ? QString::fromLocal8Bit(found->pw_name) : QString::number(user));
}

}  // namespace sorvane::gui
