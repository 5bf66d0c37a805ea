#include "look.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "check_text.hpp"
#include "metered_skip.hpp"
#include "path.hpp"
#include "payload.hpp"
#include "script_programs.hpp"
#include "settings.hpp"
#include "trust.hpp"
#include "update_log.hpp"
#include "update_process.hpp"
#include "update_words.hpp"
#include "written_script.hpp"

namespace sorvane::gui {
namespace {

QString untrusted_text(const Untrusted& fault) {
  QString path = from_bytes(fault.path);
  switch (fault.why) {
    case Untrusted::Why::Missing: return UpdateWords::tr("%1 cannot be checked.").arg(path);
    case Untrusted::Why::OwnedBySomeoneElse:
      return UpdateWords::tr("%1 belongs to another user, who could change what runs as root.")
          .arg(path);
    case Untrusted::Why::WritableByOthers:
      return UpdateWords::tr(
                 "%1 can be changed by other users, who could change what runs as root.")
          .arg(path);
    case Untrusted::Why::TooManyLinks:
      return UpdateWords::tr("%1 leads through too many links.").arg(path);
  }
  return path;
}

QString refusal_text(const ScriptRefusal& refusal) {
  using Why = ScriptRefusal::Why;
  switch (refusal.why) {
    case Why::Unreadable:
      return UpdateWords::tr("The update script cannot be read: %1")
          .arg(from_bytes(refusal.error.text()));
    case Why::DirectoryNotTheUsers:
      return UpdateWords::tr("The update script's folder is not yours.");
    case Why::DirectoryWritableByOthers:
      return UpdateWords::tr("Other users can change the update script's folder.");
    case Why::NotARegularFile: return UpdateWords::tr("The update script is not a plain file.");
    case Why::FileNotTheUsers: return UpdateWords::tr("The update script is not yours.");
    case Why::WrongMode:
      return UpdateWords::tr("Other users can read or change the update script.");
    case Why::Changed: return UpdateWords::tr("The update script is not the one Sorvane writes.");
  }
  return {};
}

Looked stopped(QString message) {
  Looked looked;
  looked.message = std::move(message);
  return looked;
}

}  // namespace

std::string this_program() {
  auto self = own_executable();
  return self ? self.value() : std::string();
}

Result<UpdateSetup, QString> desktop_setup() {
  const auto self = own_executable();
  if (!self) return UpdateWords::tr("Sorvane Update cannot tell where it is installed.");
  const auto bash = trusted_system_program("bash");
  if (!bash) return UpdateWords::tr("No trusted system bash was found.");
  // NOLINTBEGIN(concurrency-mt-unsafe): read on the main thread; nothing here sets them
  const uid_t user = ::geteuid();
  std::string run_base = run_dir_base(std::getenv("XDG_RUNTIME_DIR"), user);
  std::string logs = log_base(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), user, run_base);
  // NOLINTEND(concurrency-mt-unsafe)
  UpdateSetup setup{installation_beside(self.value()),
                    *bash,
                    std::move(run_base),
                    kept_environment(environ),
                    SUDO_PROBE_LIMIT,
                    CheckSetup{},
                    desktop_notice_places().settings,
                    std::move(logs),
                    self.value()};
  setup.notice_skipped = metered_skip_path(desktop_notice_places());
  return setup;
}

Looked look_for_update(const UpdateSetup& setup, bool ask_sudo) {
  using State = UpdateState;
  const uid_t user = ::geteuid();
  if (auto fault = untrusted_installation(setup.installation, user)) {
    return stopped(untrusted_text(*fault));
  }
  // Finished runs keep their logs a while, wherever those are kept.
  if (setup.logs() != setup.run_base) clear_stale_run_dirs(setup.run_base, user);
  clear_old_runs(setup.logs(), user, ::time(nullptr));
  // Only for the script sorvane writes: once checked, its bytes are kept
  // in memory, and the directory goes when this returns.
  auto run_dir = RunDir::make(setup.run_base);
  if (!run_dir) {
    return stopped(UpdateWords::tr("No private folder could be made for the update: %1")
                       .arg(from_bytes(run_dir.error().text())));
  }

  const SorvaneReport report = run_sorvane(
      setup.installation.sorvane, join(run_dir.value().path(), SCRIPT_NAME), setup.environment);
  Looked looked;
  switch (report.kind) {
    case SorvaneReport::Kind::NoneFound: looked.state = State::NothingFound; return looked;
    case SorvaneReport::Kind::Failed: looked.message = from_bytes(report.message); return looked;
    case SorvaneReport::Kind::TimedOut:
      looked.message =
          UpdateWords::tr("Looking for package managers took too long and was stopped.");
      return looked;
    case SorvaneReport::Kind::Unexpected:
      looked.message =
          UpdateWords::tr("Sorvane answered in a way this window does not understand.");
      return looked;
    case SorvaneReport::Kind::Found: break;
  }

  auto script =
      read_checked_script(run_dir.value().fd(), std::string(SCRIPT_NAME), user, UPDATE_SCRIPT);
  if (!script) {
    looked.message = refusal_text(script.error());
    return looked;
  }
  if (auto fault = untrusted_script_program()) {
    looked.message = untrusted_text(*fault);
    return looked;
  }
  const bool privileged = std::any_of(report.steps.begin(), report.steps.end(), runs_under_sudo);
  if (privileged && ask_sudo) {
    const auto sudo = find_like_the_script("sudo");
    if (!sudo) {
      looked.message = UpdateWords::tr(
          "sudo is not installed, and system packages can only be updated with it.");
      return looked;
    }
    const bool unasked = probe_sudo(*sudo, setup.bash, setup.environment, setup.sudo_probe_limit) ==
                         SudoNeeds::NoPassword;
    using Access = SudoAccess;
    looked.access =
        unasked ? Access::NoPassword : (in_an_admin_group() ? Access::Password : Access::Unlikely);
    looked.needs_password = !unasked;
  }
  looked.found = managers_found(setup.check.places.path_dirs);
  looked.online = online(setup.check.places);
  looked.support = system_support(setup.check.places.root);
  // Only one update at a time: one already running is followed instead.
  if (auto running = running_update_log(setup.logs(), user)) {
    looked.running = std::make_shared<RunningUpdate>(std::move(*running));
  } else if (auto last = unshown_run(setup.logs(), user)) {
    PastUpdate past = read_past_update(last->log.get(), last->wait_status, last->started,
                                       last->ended, setup.check.places.root, last->sudo_end);
    RestartNeed restart = past_restart(past, setup.check);
    looked.last_run = std::make_shared<const LastRun>(
        LastRun{std::move(*last), std::move(past), std::move(restart)});
  }
  looked.state = State::Ready;
  looked.steps = report.steps;
  looked.script = std::move(script.value());
  return looked;
}

}  // namespace sorvane::gui
