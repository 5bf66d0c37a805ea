// The model's side of one update: starting it from Ready, taking its end
// (back to Ready after a refused password, otherwise Done), and what
// comes after: whether a restart is due.
#include <fcntl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "check_text.hpp"
#include "script_programs.hpp"
#include "secret.hpp"
#include "update_model.hpp"

namespace sorvane::gui {

void UpdateModel::update(QString password) {
  SecretBytes secret;
  append_text(secret, password);
  // Best effort: a copy the caller shares is not this one's to wipe.
  if (!password.isDetached()) password = QString();
  password.fill(QChar(0));
  update_typed(std::move(secret));
}

// The password is this call's own: every way out of it wipes it, and the
// way on hands it to the run, which lets it go once written.
void UpdateModel::update_typed(SecretBytes password) {
  const std::string_view secret = password.view();
  if (needs_password_) {
    if (auto refusal =
            password.overflowed() ? PasswordRefusal::TooLong : password_refusal(secret)) {
      message_ = *refusal == PasswordRefusal::TooLong
                     ? tr("The password is longer than sudo accepts.")
                     : tr("The password cannot hold a line break or a NUL character.");
      emit changed();
      announce(message_);
      return;
    }
  }
  if (!update_possible()) return;
  // What was shown must still be what runs: a manager installed or removed
  // since, or an update started meanwhile, means looking again.
  const bool changed_since = found_ && managers_found(setup_.check.places.path_dirs) != *found_;
  if (changed_since || running_update_log(setup_.logs(), ::geteuid())) {
    said_again_ = changed_since
                      ? tr("The package managers changed since the check. Here is what the "
                           "update would do now.")
                      : tr("Another window has started an update meanwhile.");
    look();
    return;
  }
  auto started =
      UpdateRun::start(setup_, steps_, script_, checks(),
                       needs_password_ ? std::optional(std::move(password)) : std::nullopt);
  if (!started) {
    message_ = started.error();
    set_state(State::Stopped);
    announce(message_);
    return;
  }
  begin(std::move(started.value()));
  refused_ = false;
  last_run_.reset();
  restart_.reset();
  message_.clear();
  set_state(State::Updating);
}

// Every update, started here, followed or fed by hand, is a run of its
// own; the one before is let go once control is back in the event loop
// (its own timer may be what told of its end).
void UpdateModel::begin(std::unique_ptr<UpdateRun> run) {
  let_go_of_run();
  run_ = std::move(run);
  connect(run_.get(), &UpdateRun::lines_added, this, &UpdateModel::lines_added);
  connect(run_.get(), &UpdateRun::changed, this, &UpdateModel::changed);
  connect(run_.get(), &UpdateRun::password_unused, this, [this] {
    message_ = tr("sudo did not ask for the password, so it was not used and has been discarded.");
  });
  connect(run_.get(), &UpdateRun::ended, this, &UpdateModel::run_ended);
  emit run_began();
}

void UpdateModel::let_go_of_run() {
  if (run_) {
    run_->disconnect(this);
    run_.release()->deleteLater();
  }
}

void UpdateModel::take_output(std::string_view bytes) {
  // Output fed to a model that did not start it (tests) is an update too.
  if (!run_ || run_->finish())
    begin(std::make_unique<UpdateRun>(setup_, steps_, std::vector<ManagerCheck>{}));
  if (state_ != State::Updating) state_ = State::Updating;
  run_->take_output(bytes);
}

void UpdateModel::take_end(std::optional<int> wait_status) {
  if (!run_) begin(std::make_unique<UpdateRun>(setup_, steps_, std::vector<ManagerCheck>{}));
  run_->take_end(wait_status);
}

void UpdateModel::run_ended() {
  const Finish& finish = *run_->finish();
  if (finish.outcome == Outcome::PasswordRefused) {
    // Back to Ready, with sudo's own words as they are: they are translated.
    const QString unread = message_;
    message_ = from_bytes(finish.message);
    refused_ = true;
    // Refused with no admin group: likely "not in the sudoers file". The
    // field is not offered again, only on request, with what to do.
    password_requested_ = false;
    if (!unread.isEmpty()) message_ += (message_.isEmpty() ? "" : "\n") + unread;
    // Nothing ran: this attempt's log has nothing worth keeping.
    run_->discard();
    let_go_of_run();
    set_state(State::Ready);
    announce(message_);
    return;
  }
  set_state(State::Done);
  find_out_about_restart();
  // Not for this window to tell any more; the log stays.
  run_->stop_watching();
  emit update_ended();
  announce(outcome_text());
}

void UpdateModel::restart_later() {
  restart_later_ = true;
  emit changed();
}

void UpdateModel::find_out_about_restart() {
  restart_.reset();
  restart_later_ = false;
  restart_call_->forget();
  RestartQuestion question;
  for (size_t i = 0; i < steps_.size(); ++i) {
    const StepState state = step_state(i);
    if (state == StepState::Finished || state == StepState::Failed) {
      question.steps.push_back(steps_[i]);
    }
  }
  if (question.steps.empty()) {
    restart_ = RestartNeed{};  // nothing ran that could need one
    return;
  }
  if (run_->followed()) return find_out_what_the_followed_update_did();
  if (const UpdateProgress* counted = run_->counted()) {
    question.updated_by_apt = counted->updated(Step::Apt);
  }
  struct utsname system {};
  if (::uname(&system) == 0) question.kernel_release = system.release;
  // dnf's answer takes a moment: the Done screen does not wait for it.
  auto* watcher = new QFutureWatcher<RestartNeed>(this);
  connect(watcher, &QFutureWatcher<RestartNeed>::finished, this, [this, watcher] {
    if (state_ == State::Done) {
      restart_ = watcher->result();
      emit changed();
    }
    watcher->deleteLater();
  });
  watcher->setFuture(QtConcurrent::run(
      [question, check = setup_.check] { return restart_needed(question, check); }));
}

// A followed update: what it did is read as the next start would read it,
// from the managers' logs for the time it ran and the status its monitor
// recorded; then the Done screen says what the starting window's says.
void UpdateModel::find_out_what_the_followed_update_did() {
  const std::optional<RunStatus> end = recorded_status(run_->run_fd(), ::geteuid());
  const int log_fd = run_->log_fd();
  auto log = std::make_shared<UniqueFd>(log_fd >= 0 ? ::fcntl(log_fd, F_DUPFD_CLOEXEC, 0) : -1);
  if (!end || !log->valid()) {
    restart_ = RestartNeed{};
    return;
  }
  using Found = std::pair<PastUpdate, RestartNeed>;
  auto* watcher = new QFutureWatcher<Found>(this);
  connect(watcher, &QFutureWatcher<Found>::finished, this, [this, watcher] {
    if (state_ == State::Done && run_) {
      run_->set_followed_past(watcher->result().first);
      restart_ = watcher->result().second;
      emit changed();
    }
    watcher->deleteLater();
  });
  watcher->setFuture(QtConcurrent::run([log, end = *end, check = setup_.check] {
    PastUpdate past =
        read_past_update(log->get(), end.wait_status, end.started, end.ended, check.places.root);
    RestartNeed need = past_restart(past, check);
    return Found{std::move(past), std::move(need)};
  }));
}

}  // namespace sorvane::gui
