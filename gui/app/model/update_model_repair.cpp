// The way out of a run dpkg left unfinished, and what the update did to
// config files: parts of the model that the Ready and Done screens say.
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>

#include "check_text.hpp"
#include "child_process.hpp"
#include "dpkg_repair.hpp"
#include "path.hpp"
#include "update_model.hpp"

namespace sorvane::gui {
namespace {}  // namespace

// The terminal, watched through its pidfd: readable once it has ended.
struct UpdateModel::RepairTerminal {
  ChildProcess child;
  QSocketNotifier* ended;  // the model's child
  RepairTerminal(ChildProcess started, QObject* owner)
      : child(std::move(started)),
        ended(new QSocketNotifier(child.pidfd(), QSocketNotifier::Read, owner)) {}
  RepairTerminal(const RepairTerminal&) = delete;
  RepairTerminal& operator=(const RepairTerminal&) = delete;
  RepairTerminal(RepairTerminal&&) = delete;
  RepairTerminal& operator=(RepairTerminal&&) = delete;
  ~RepairTerminal() {
    ended->setEnabled(false);
    ended->deleteLater();
    // Closing the window never kills dpkg in the middle of its work: a
    // terminal still open stays open.
    if (auto reaped = child.try_reap(); !reaped || !reaped.value()) (void)child.release();
  }
};

QString UpdateModel::kept_configs_text(const std::vector<KeptConfig>& kept) {
  return kept_configs_words(kept);
}

std::optional<DpkgRepair> UpdateModel::repair_needed() const {
  if (state_ != State::Ready || checking()) return std::nullopt;
  const auto stop = foreseen().stopping;
  for (const ManagerCheck& check : checks()) {
    if (stop && check.step == *stop && check.problem &&
        check.problem->why == Problem::DpkgInterrupted && check.repair) {
      return check.repair;
    }
  }
  return std::nullopt;
}

bool UpdateModel::repair_offered() const {
  return repair_needed() && !repairing() && !repair_by_hand_;
}

bool UpdateModel::repair_by_hand() const {
  return repair_by_hand_ && repair_needed() && !repairing();
}

QString UpdateModel::repair_commands() const {
  const auto needed = repair_needed();
  return needed ? from_bytes(gui::repair_commands(*needed)) : QString();
}

QString UpdateModel::repair_text(DpkgRepair repair) const {
  const QString commands = from_bytes(gui::repair_commands(repair));
  if (repairing()) {
    return tr(
        "The repair runs in the terminal. When the terminal is closed, this window checks "
        "again.");
  }
  if (repair_by_hand_) {
    return tr(
        "No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a "
        "terminal, run the command below and answer its questions there; a failing package's "
        "own message is shown there too.");
  }
  return tr("Repair… opens a terminal that runs %1. Type your password there and answer any "
            "question it asks. If a package's setup fails again, its own message is shown in the "
            "terminal. When the terminal is closed, this window checks again.")
      .arg(commands);
}

void UpdateModel::repair() {
  const auto needed = repair_needed();
  if (!needed || repairing()) return;
  const auto terminal = find_terminal(setup_.check.places);
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC | O_NOCTTY));
  if (!terminal || !null.valid()) {
    repair_by_hand_ = true;
    emit changed();
    return;
  }
  ChildSetup child;
  child.argv = terminal_command(*terminal, setup_.bash, *needed,
                                tr("Press Enter to close this window.").toStdString());
  child.environment = terminal_environment(environ);
  child.fds = {
      {STDIN_FILENO, null.get()}, {STDOUT_FILENO, null.get()}, {STDERR_FILENO, null.get()}};
  // Its own session: the terminal outlives this window.
  child.group = ChildGroup::NewSession;
  auto started = ChildProcess::spawn(child);
  if (!started) {
    repair_by_hand_ = true;
    emit changed();
    return;
  }
  repair_terminal_ = std::make_shared<RepairTerminal>(std::move(started.value()), this);
  connect(repair_terminal_->ended, &QSocketNotifier::activated, this, &UpdateModel::repair_ended);
  watch_dpkg();
  emit changed();
}

void UpdateModel::watch_dpkg() {
  if (dpkg_watch_ != nullptr) return;
  // dpkg writes its database anew and renames it into place, and keeps a
  // journal beside it: the directory changes with every step it takes.
  constexpr int QUIET_MS = 1000;
  dpkg_watch_ = new QFileSystemWatcher(this);
  dpkg_watch_->addPath(QString::fromStdString(join(setup_.check.places.root, "var/lib/dpkg")));
  dpkg_quiet_.setSingleShot(true);
  dpkg_quiet_.setInterval(QUIET_MS);
  connect(dpkg_watch_, &QFileSystemWatcher::directoryChanged, &dpkg_quiet_,
          qOverload<>(&QTimer::start));
  connect(&dpkg_quiet_, &QTimer::timeout, this, &UpdateModel::dpkg_changed);
}

void UpdateModel::dpkg_changed() {
  // Looking already: its answers may be from before this change.
  if (state_ == State::Looking || (state_ == State::Ready && checking())) {
    dpkg_quiet_.start();
    return;
  }
  if (state_ != State::Ready) return;
  const ManagerCheck* apt = checks_->answer(Step::Apt);
  const bool left =
      apt != nullptr && apt->problem &&
      (apt->problem->why == Problem::DpkgInterrupted || apt->problem->why == Problem::LockHeld);
  if (!left && !repairing()) {
    // Finished: the screen already says what is left to do.
    dpkg_watch_->deleteLater();
    dpkg_watch_ = nullptr;
    return;
  }
  check_again();
}

void UpdateModel::repair_ended() {
  repair_terminal_.reset();
  // Whatever happened in the terminal, dpkg's database tells what is left.
  check_again();
}

}  // namespace sorvane::gui
