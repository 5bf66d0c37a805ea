// What the last look found, and what the Ready screen made of it since:
// the steps and the script, sudo's access, the password asked for or
// refused, the power and the network. Every question the Ready screen asks
// is answered from one snapshot of it (ReadyFacts), weighed once.
#pragma once

#include <QString>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foreseen.hpp"
#include "look.hpp"
#include "manager_checks.hpp"
#include "power_and_network.hpp"
#include "update_words.hpp"

namespace sorvane::gui {

class LookResult {
 public:
  // `checks`: the rows the look asks, the model's.
  explicit LookResult(const ManagerChecks& checks) : checks_(&checks) {}

  // A new look: what it found, with nothing asked for or refused yet.
  void take(const Looked& looked);
  [[nodiscard]] const std::vector<Step>& steps() const { return steps_; }
  [[nodiscard]] const std::string& script() const { return script_; }
  [[nodiscard]] bool needs_password() const { return needs_password_; }
  [[nodiscard]] SudoAccess access() const { return access_; }
  // The managers the script would find in `path_dirs` now are not those
  // the look found.
  [[nodiscard]] bool managers_changed(std::span<const std::string> path_dirs) const;

  // sudo refused the password: the field is offered again only on request
  // (with no admin group this is likely "not in the sudoers file").
  void refused() {
    refused_ = true;
    password_requested_ = false;
  }
  void started() { refused_ = false; }
  void request_password() { password_requested_ = true; }
  // The daily notice skipped its check on a metered connection.
  void notice_skipped() { notice_skipped_ = true; }
  // False when nothing changed.
  bool set_power(const PowerAndNetwork& power);
  [[nodiscard]] const PowerAndNetwork& power() const { return power_; }
  [[nodiscard]] const std::optional<SupportFacts>& support() const { return support_; }

  [[nodiscard]] bool checking() const { return checks_->checking(); }
  [[nodiscard]] std::vector<ManagerCheck> checks() const { return checks_->answers(); }
  [[nodiscard]] ReadyFacts facts() const;
  // What would stop the update, as the headless check decides it too.
  [[nodiscard]] Foreseen foreseen() const;

  // With SudoAccess::Unlikely the password field is offered only on request.
  [[nodiscard]] bool password_offered() const;
  [[nodiscard]] bool password_wanted() const;
  // `ready`: the model is Ready. The battery too low to start.
  [[nodiscard]] bool plug_in_needed(bool ready) const { return ready && power_.plug_in(); }
  [[nodiscard]] bool update_possible(bool ready) const;
  [[nodiscard]] bool update_proposed(bool ready) const;
  [[nodiscard]] bool update_shown(bool ready) const;
  [[nodiscard]] QString update_label(bool ready) const;
  // Whose password the field wants, for a screen reader.
  [[nodiscard]] static QString password_label();

 private:
  const ManagerChecks* checks_;
  std::vector<Step> steps_;
  std::string script_;  // the checked bytes
  bool needs_password_ = false;
  SudoAccess access_ = SudoAccess::Password;
  bool password_requested_ = false;
  bool refused_ = false;  // sudo refused the last attempt
  bool online_ = true;
  std::optional<std::vector<Step>> found_;
  std::optional<SupportFacts> support_;
  bool notice_skipped_ = false;
  PowerAndNetwork power_;
};

}  // namespace sorvane::gui
