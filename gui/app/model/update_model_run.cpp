// The model's side of one update: starting it from Ready, taking its end
// (back to Ready after a refused password, otherwise Done), and what
// comes after: whether a restart is due.
#include <unistd.h>

#include "check_text.hpp"
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
  if (needs_password()) {
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
  const bool changed_since = look_.managers_changed(setup_.check.places.path_dirs);
  if (changed_since || running_update_log(setup_.logs(), ::geteuid())) {
    said_again_ = changed_since
                      ? tr("The package managers changed since the check. Here is what the "
                           "update would do now.")
                      : tr("Another window has started an update meanwhile.");
    look();
    return;
  }
  auto started =
      UpdateRun::start(setup_, steps(), look_.script(), checks(),
                       needs_password() ? std::optional(std::move(password)) : std::nullopt);
  if (!started) {
    message_ = started.error();
    set_state(State::Stopped);
    announce(message_);
    return;
  }
  begin(std::move(started.value()));
  look_.started();
  last_run_.reset();
  restart_->forget();
  message_.clear();
  set_state(State::Updating);
}

// Every update, started here, followed or fed by hand, is a run of its
// own; the one before is let go once control is back in the event loop
// (its own timer may be what told of its end).
void UpdateModel::begin(std::unique_ptr<UpdateRun> run) {
  let_go_of_run();
  restart_answer_.clear();
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
    begin(std::make_unique<UpdateRun>(setup_, steps(), std::vector<ManagerCheck>{}));
  if (state_ != State::Updating) state_ = State::Updating;
  run_->take_output(bytes);
}

void UpdateModel::take_end(std::optional<int> wait_status) {
  if (!run_) begin(std::make_unique<UpdateRun>(setup_, steps(), std::vector<ManagerCheck>{}));
  run_->take_end(wait_status);
}

void UpdateModel::run_ended() {
  const Finish& finish = *run_->finish();
  if (finish.outcome == Outcome::PasswordRefused) {
    // Back to Ready, with sudo's own words as they are: they are translated.
    const QString unread = message_;
    message_ = from_bytes(finish.message);
    // Refused with no admin group: likely "not in the sudoers file". The
    // field is not offered again, only on request, with what to do.
    look_.refused();
    if (!unread.isEmpty()) message_ += (message_.isEmpty() ? "" : "\n") + unread;
    // Nothing ran: this attempt's log has nothing worth keeping.
    run_->discard();
    let_go_of_run();
    set_state(State::Ready);
    announce(message_);
    return;
  }
  set_state(State::Done);
  restart_->find_out(*run_, [this] { return state_ == State::Done; });
  // Not for this window to tell any more; the log stays.
  run_->stop_watching();
  emit update_ended();
  announce(outcome_text());
}

}  // namespace sorvane::gui
