// One started update, as the model runs it: the start with its own run
// directory and log, the password's handover, the log followed as the
// script writes it (its end seen through the monitor's recorded status),
// the outcome, and what comes after: a restart, the config files kept.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "check_text.hpp"
#include "manager_facts.hpp"
#include "script_programs.hpp"
#include "secret.hpp"
#include "update_model.hpp"

namespace sorvane::gui {
namespace {

constexpr size_t READ_CHUNK = size_t{64} * 1024;
// How long one read of the log may hold up the window.
constexpr std::chrono::milliseconds READ_SLICE{10};

std::string home_of(const std::vector<std::string>& environment) {
  for (const std::string& variable : environment) {
    if (variable.starts_with("HOME=")) return variable.substr(5);
  }
  return {};
}

}  // namespace

void UpdateModel::update(QString password) {
  SecretBytes secret;
  append_text(secret, password);
  // Best effort: a copy the caller shares is not this one's to wipe.
  if (!password.isDetached()) password = QString();
  password.fill(QChar(0));
  update_typed(std::move(secret));
}

// The password is this call's own: every way out of it wipes it, and the
// way on hands it to the delivery, which lets it go once written.
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
  const auto stop = [&](const QString& why, const OsError& error) {
    message_ = why.arg(from_bytes(error.text()));
    set_state(State::Stopped);
    announce(message_);
  };
  // A fresh directory and log for every attempt: nothing of an earlier
  // one is read again, and no name is ever used twice.
  auto attempt = RunDir::make(setup_.logs());
  if (!attempt)
    return stop(tr("No private folder could be made for the update: %1"), attempt.error());
  auto log = attempt.value().create_log();
  if (!log) return stop(tr("The update could not start: %1"), log.error());
  // The window reads the log through a file of its own and hands the
  // monitor its run through another: their claims are the monitor's alone.
  UniqueFd reading(::openat(attempt.value().fd(), LOG_NAME.data(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  const UniqueFd run(::openat(attempt.value().fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!reading.valid() || !run.valid()) {
    return stop(tr("The update could not start: %1"), OsError::last());
  }
  // What the logs and deployments hold before the script starts.
  updating_ = checks();
  progress_ = std::make_unique<UpdateProgress>(
      updating_, ProgressPlaces{setup_.check.places.root, home_of(setup_.environment)});
  const QDBusUnixFileDescriptor inhibitor = inhibit_shutdown();
  auto started = start_update(setup_.monitor, setup_.bash, script_, log.value().get(), run.get(),
                              setup_.environment, monitor_extras(environ),
                              inhibitor.isValid() ? inhibitor.fileDescriptor() : -1);
  if (!started) return stop(tr("The update could not start: %1"), started.error());
  log.value().reset();
  attempt.value().keep();
  // Shared from now on, as every window that watches this run holds it.
  ::flock(attempt.value().fd(), LOCK_SH);
  attempt_ = std::move(attempt.value());
  log_file_.emplace(std::move(reading));
  delivery_.reset();
  started_ = std::move(started.value());
  if (needs_password_) {
    // Written only once sudo waits to read it: until then it stays here.
    delivery_.emplace(*started_, std::move(password), setup_.handover);
  } else {
    // Always: with no password written, a question must still see the end.
    (void)end_input(*started_);
  }
  begin_run();
  refused_ = false;
  last_run_.reset();
  restart_.reset();
  message_.clear();
  password_checked_ = false;
  set_state(State::Updating);
  follow_timer_.start();
}

void UpdateModel::take_output(std::string_view bytes) {
  QStringList batch;
  absorb(bytes, batch);
  publish(batch);
}

void UpdateModel::absorb(std::string_view bytes, QStringList& batch) {
  if (!output_) output_ = std::make_unique<ScriptOutput>(steps_);
  const size_t started_before = output_->started();
  const size_t first = output_->line_count();
  const std::vector<std::string> lines = output_->feed(bytes);
  // dnf counts in its own output: each line in the step it was printed in.
  for (size_t i = 0; progress_ && i < lines.size(); ++i) {
    if (const auto step = output_->step_at(first + i)) progress_->line(*step, lines[i]);
  }
  keep_lines(lines, batch);
  if (output_->started() > 0 && started_before == 0) check_unread_password();
  // Output fed to a model that did not start it (tests) is an update too.
  if (state_ != State::Updating) set_state(State::Updating);
}

void UpdateModel::keep_lines(const std::vector<std::string>& lines, QStringList& batch) {
  for (const std::string& line : lines) {
    QString shown = from_bytes(line);
    if (shown.size() > MAX_SHOWN_LINE) shown = shown.left(MAX_SHOWN_LINE) + QStringLiteral("…");
    batch << shown;
    log_ << std::move(shown);
  }
  // Only the last lines are kept, in memory and in what the window is told.
  if (log_.size() > MAX_LOG_LINES) {
    const qsizetype excess = log_.size() - MAX_LOG_LINES;
    log_.erase(log_.begin(), log_.begin() + excess);
    dropped_lines_ += static_cast<size_t>(excess);
  }
  if (batch.size() > MAX_LOG_LINES) batch.erase(batch.begin(), batch.end() - MAX_LOG_LINES);
}

void UpdateModel::publish(const QStringList& batch) {
  if (!batch.isEmpty()) emit lines_added(batch);
  emit changed();
}

void UpdateModel::take_end(std::optional<int> wait_status) {
  if (!output_) output_ = std::make_unique<ScriptOutput>(steps_);
  QStringList batch;
  keep_lines(output_->flush(), batch);
  if (!batch.isEmpty()) emit lines_added(batch);
  check_unread_password();
  if (started_) {
    // It ends right after recording; one that does not is left to end.
    constexpr std::chrono::seconds MONITOR_END{2};
    auto ended = started_->monitor.wait_until(std::chrono::steady_clock::now() + MONITOR_END);
    if (!ended || !ended.value()) (void)started_->monitor.release();
  }
  delivery_.reset();  // a password never written goes with it
  started_.reset();   // reaped: its input is of no more use
  end_unseen_ = !wait_status;
  Finish finish = output_->finish(wait_status.value_or(W_EXITCODE(1, 0)));
  // Not seen to end: whatever its output says, it did not finish.
  if (end_unseen_) finish = Finish{Outcome::Failed, {}, 0, false, finish.failed_line, {}};
  if (finish.outcome == Outcome::PasswordRefused) {
    // Back to Ready, with sudo's own words as they are: they are translated.
    const QString unread = message_;
    message_ = from_bytes(finish.message);
    refused_ = true;
    // Refused with no admin group: likely "not in the sudoers file". The
    // field is not offered again, only on request, with what to do.
    password_requested_ = false;
    if (!unread.isEmpty()) message_ += (message_.isEmpty() ? "" : "\n") + unread;
    output_.reset();
    // Nothing ran: this attempt's log has nothing worth keeping.
    log_file_.reset();
    if (attempt_) attempt_->discard();
    attempt_.reset();
    set_state(State::Ready);
    announce(message_);
    return;
  }
  finish_ = finish;
  cause_ = failure_cause(finish, setup_.check.places);
  note_what_was_left_alone();
  if (log_file_) mark_shown(log_file_->fd());
  set_state(State::Done);
  find_out_about_restart();
  // Not for this window to tell any more; the log stays.
  followed_run_.reset();
  announce(outcome_text());
}

// flatpak exits 0 when a remote cannot be reached ("non-fatal"), having
// updated nothing: what its deployments say is the truth of it.
void UpdateModel::note_what_was_left_alone() {
  if (!progress_ || finish_->outcome != Outcome::Success) return;
  progress_->poll();
  const auto& steps = output_->steps();
  const auto flatpak = std::find_if(steps.begin(), steps.end(), [](Step step) {
    return facts(step).progress.success_may_leave_all;
  });
  if (flatpak == steps.end()) return;
  const auto left = progress_->not_updated(*flatpak);
  if (!left || left->empty()) return;
  finish_->outcome = Outcome::SuccessWithWarnings;
  finish_->failed_step = *flatpak;
  finish_->failed_line =
      output_->step_began_at(static_cast<size_t>(flatpak - steps.begin())).value_or(0);
  std::string names;
  for (const std::string& name : *left) names += (names.empty() ? "" : ", ") + name;
  finish_->message = names;
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
  if (following_) return find_out_what_the_followed_update_did();
  if (progress_) question.updated_by_apt = progress_->updated(Step::Apt);
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
  const std::optional<RunStatus> end = recorded_status(followed_run_.get(), ::geteuid());
  auto log =
      std::make_shared<UniqueFd>(log_file_ ? ::fcntl(log_file_->fd(), F_DUPFD_CLOEXEC, 0) : -1);
  if (!end || !log->valid()) {
    restart_ = RestartNeed{};
    return;
  }
  using Found = std::pair<PastUpdate, RestartNeed>;
  auto* watcher = new QFutureWatcher<Found>(this);
  connect(watcher, &QFutureWatcher<Found>::finished, this, [this, watcher] {
    if (state_ == State::Done) {
      followed_past_ = watcher->result().first;
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

void UpdateModel::check_unread_password() {
  if (password_checked_ || !started_) return;
  password_checked_ = true;
  if (!needs_password_ || unread_input(*started_) == 0) return;
  drain_unread_input(*started_);
  message_ = tr("sudo did not ask for the password, so it was not used and has been discarded.");
}

// Reads for a bounded time, so that no flood of output can hold up the
// window; true when there is more to read.
bool UpdateModel::read_new_output() {
  if (!log_file_) return false;
  const auto deadline = std::chrono::steady_clock::now() + READ_SLICE;
  QStringList batch;
  std::string chunk;
  bool more = true;
  while (more && std::chrono::steady_clock::now() < deadline) {
    if (log_file_->read_some(chunk, READ_CHUNK)) break;
    absorb(chunk, batch);
    more = chunk.size() == READ_CHUNK;
  }
  publish(batch);
  return more;
}

int UpdateModel::run_fd() const {
  return attempt_ ? attempt_->fd() : followed_run_.get();
}

// The script's end once its monitor recorded it, or once the monitor is
// gone without recording it (none then); nothing while it runs.
std::optional<std::optional<int>> UpdateModel::seen_end() {
  const auto recorded = [this]() -> std::optional<int> {
    const auto status = recorded_status(run_fd(), ::geteuid());
    if (!status) return std::nullopt;
    return status->wait_status;
  };
  if (auto status = recorded()) return status;
  // The monitor records the status before it goes: asked again after.
  bool gone = false;
  if (started_) {
    auto reaped = started_->monitor.try_reap();
    gone = !reaped || reaped.value().has_value();
  } else if (following_ && log_file_) {
    gone = !still_claimed(log_file_->fd());
  }
  if (!gone) return std::nullopt;
  return recorded();
}

void UpdateModel::follow() {
  // Recorded first, then read: all the script wrote is in the log by then.
  if (!end_status_ && (started_ || following_)) {
    if (auto end = seen_end()) {
      end_status_ = *end;
      end_offset_ = log_file_ ? log_file_->size() : 0;
    }
  }
  // The managers' logs first, so what is shown next counts them.
  if (progress_) progress_->poll();
  const bool more = read_new_output();
  // Behind a flood, the next slice comes as soon as the window has drawn.
  follow_timer_.setInterval(more ? 0 : FOLLOW_INTERVAL_MS);
  if (!end_status_ || (more && log_file_ && log_file_->offset() < end_offset_)) return;
  follow_timer_.stop();
  take_end(*end_status_);
}

}  // namespace sorvane::gui
