// Looking for the update, before anything runs: sorvane writes the script,
// it is checked with everything it will run, and sudo is asked whether it
// wants a password. The blocking part runs on a worker thread; its result
// is a Looked.
#pragma once

#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installation.hpp"
#include "password_handover.hpp"
#include "past_update.hpp"
#include "pending_check.hpp"
#include "restart_needed.hpp"
#include "result.hpp"
#include "run_dir.hpp"
#include "sorvane_report.hpp"
#include "system_support.hpp"

namespace sorvane::gui {

enum class UpdateState { Looking, Ready, NothingFound, Stopped, Updating, Done };

// What sudo will do with this user, as far as can be told without a
// password.
enum class SudoAccess { NoPassword, Password, Unlikely };

// This executable, which is also the update's monitor; empty if unknown.
std::string this_program();

struct UpdateSetup {
  Installation installation;  // sorvane and its detector
  std::string bash;           // the trusted bash that runs the script
  std::string run_base;       // where run directories are made
  std::vector<std::string> environment;
  std::chrono::milliseconds sudo_probe_limit = SUDO_PROBE_LIMIT;
  // How the package managers are asked what is pending.
  CheckSetup check = {};
  // Where "Tell me when updates are waiting" is kept; none: not kept.
  QString notice_settings = {};
  // Where updates' logs are kept; none: in run_base, with the script.
  std::string log_base = {};
  [[nodiscard]] const std::string& logs() const { return log_base.empty() ? run_base : log_base; }
  // The program that runs the update as its monitor (`--run-update`):
  // this very executable.
  std::string monitor = this_program();
  // How often a manager whose database another program holds is asked
  // again, so that the screen changes by itself when the lock goes.
  std::chrono::milliseconds lock_recheck = std::chrono::seconds(3);
  // How long the password waits for sudo to read it.
  PasswordHandOver::Limits handover = {};
  // Where the daily notice notes that it skipped its check on a metered
  // connection; none: not kept.
  QString notice_skipped = {};
};

// The last update, when it ended after its window was closed.
struct LastRun {
  FinishedRun run;
  PastUpdate past;
  RestartNeed restart;
};

struct Looked {
  UpdateState state = UpdateState::Stopped;
  std::vector<Step> steps;
  bool needs_password = false;
  SudoAccess access = SudoAccess::Password;
  QString message;
  std::string script;  // the checked bytes
  bool online = true;
  // The managers the script would find now, to see at Update whether that
  // changed; unset when not looked at (tests).
  std::optional<std::vector<Step>> found;
  // Answers already had (tests); otherwise the managers are asked.
  std::optional<std::vector<ManagerCheck>> checks;
  // An update already running, started by another window.
  std::shared_ptr<RunningUpdate> running;
  std::shared_ptr<const LastRun> last_run;
  // How long this release gets security updates, when it says.
  std::optional<SupportFacts> support;
};

// The setup of this user's desktop: Sorvane beside this executable, the
// trusted system bash, the user's runtime directory and environment. The
// error says, translated, what is missing.
Result<UpdateSetup, QString> desktop_setup();

// The blocking part of looking, for a worker thread. `ask_sudo` false
// leaves sudo alone (the headless check never needs it).
Looked look_for_update(const UpdateSetup& setup, bool ask_sudo = true);

}  // namespace sorvane::gui
