#include "repair.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "check_text.hpp"
#include "child_process.hpp"
#include "path.hpp"

namespace sorvane::gui {

std::optional<RepairNeed> repair_needed(const std::vector<ManagerCheck>& checks,
                                        const Foreseen& foreseen) {
  const auto stop = foreseen.stopping;
  for (const ManagerCheck& check : checks) {
    if (stop && check.step == *stop && check.problem &&
        check.problem->why == Problem::DpkgInterrupted && check.repair) {
      return RepairNeed{check.step, *check.repair};
    }
  }
  return std::nullopt;
}

// The terminal, watched through its pidfd: readable once it has ended.
struct Repair::Terminal {
  ChildProcess child;
  QSocketNotifier* ended;  // the repair's child
  Terminal(ChildProcess started, QObject* owner)
      : child(std::move(started)),
        ended(new QSocketNotifier(child.pidfd(), QSocketNotifier::Read, owner)) {}
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  Terminal(Terminal&&) = delete;
  Terminal& operator=(Terminal&&) = delete;
  ~Terminal() {
    ended->setEnabled(false);
    ended->deleteLater();
    // Closing the window never kills dpkg in the middle of its work: a
    // terminal still open stays open.
    if (auto reaped = child.try_reap(); !reaped || !reaped.value()) (void)child.release();
  }
};

Repair::Repair(const UpdateSetup& setup, const LookResult& look, std::function<UpdateState()> state,
               QObject* parent)
    : QObject(parent), setup_(&setup), look_(&look), state_(std::move(state)) {}

Repair::~Repair() = default;

std::optional<RepairNeed> Repair::needed() const {
  if (state_() != UpdateState::Ready || look_->checking()) return std::nullopt;
  return repair_needed(look_->checks(), look_->foreseen());
}

QString Repair::commands() const {
  const auto need = needed();
  return need ? from_bytes(repair_commands(need->how)) : QString();
}

QString Repair::remedy() const {
  const auto need = needed();
  if (!need) return {};
  if (running()) {
    return UpdateWords::tr(
        "The repair runs in the terminal. When the terminal is closed, this window checks "
        "again.");
  }
  if (by_hand_) {
    return UpdateWords::tr(
        "No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a "
        "terminal, run the command below and answer its questions there; a failing package's "
        "own message is shown there too.");
  }
  return UpdateWords::tr(
             "Repair… opens a terminal that runs %1. Type your password there and answer any "
             "question it asks. If a package's setup fails again, its own message is shown in the "
             "terminal. When the terminal is closed, this window checks again.")
      .arg(from_bytes(repair_commands(need->how)));
}

void Repair::start() {
  const auto need = needed();
  if (!need || running()) return;
  const auto terminal = find_terminal(setup_->check.places);
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC | O_NOCTTY));
  if (!terminal || !null.valid()) {
    by_hand_ = true;
    emit changed();
    return;
  }
  ChildSetup child;
  child.argv = terminal_command(*terminal, setup_->bash, need->how,
                                UpdateWords::tr("Press Enter to close this window.").toStdString());
  child.environment = terminal_environment(environ);
  child.fds = {
      {STDIN_FILENO, null.get()}, {STDOUT_FILENO, null.get()}, {STDERR_FILENO, null.get()}};
  // Its own session: the terminal outlives this window.
  child.group = ChildGroup::NewSession;
  auto started = ChildProcess::spawn(child);
  if (!started) {
    by_hand_ = true;
    emit changed();
    return;
  }
  terminal_ = std::make_shared<Terminal>(std::move(started.value()), this);
  connect(terminal_->ended, &QSocketNotifier::activated, this, &Repair::ended);
  watch(need->step);
  emit changed();
}

void Repair::watch(Step step) {
  repaired_ = step;
  if (watch_ != nullptr) return;
  // dpkg writes its database anew and renames it into place, and keeps a
  // journal beside it: the directory changes with every step it takes.
  constexpr int QUIET_MS = 1000;
  watch_ = new QFileSystemWatcher(this);
  watch_->addPath(QString::fromStdString(join(setup_->check.places.root, DPKG_DATABASE)));
  quiet_.setSingleShot(true);
  quiet_.setInterval(QUIET_MS);
  connect(watch_, &QFileSystemWatcher::directoryChanged, &quiet_, qOverload<>(&QTimer::start));
  connect(&quiet_, &QTimer::timeout, this, &Repair::settled);
}

void Repair::settled() {
  const UpdateState state = state_();
  // Looking already: its answers may be from before this change.
  if (state == UpdateState::Looking || (state == UpdateState::Ready && look_->checking())) {
    quiet_.start();
    return;
  }
  if (state != UpdateState::Ready) return;
  bool left = false;
  for (const ManagerCheck& check : look_->checks()) {
    left = left || (check.step == repaired_ && check.problem &&
                    (check.problem->why == Problem::DpkgInterrupted ||
                     check.problem->why == Problem::LockHeld));
  }
  if (!left && !running()) {
    // Finished: the screen already says what is left to do.
    watch_->deleteLater();
    watch_ = nullptr;
    return;
  }
  emit check_again();
}

void Repair::ended() {
  terminal_.reset();
  // Whatever happened in the terminal, dpkg's database tells what is left.
  emit check_again();
}

}  // namespace sorvane::gui
