#include "update_run.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusUnixFileDescriptor>
#include <QLocale>
#include <algorithm>

#include "check_text.hpp"
#include "logind.hpp"
#include "manager_facts.hpp"

namespace sorvane::gui {
namespace {

constexpr size_t READ_CHUNK = size_t{64} * 1024;
// How long one read of the log may hold up the window.
constexpr std::chrono::milliseconds READ_SLICE{10};
constexpr int FOLLOW_INTERVAL_MS = 100;

std::string home_of(const std::vector<std::string>& environment) {
  for (const std::string& variable : environment) {
    if (variable.starts_with("HOME=")) return variable.substr(5);
  }
  return {};
}

}  // namespace

UpdateRun::UpdateRun(const UpdateSetup& setup, std::vector<Step> steps,
                     std::vector<ManagerCheck> from)
    : places_(setup.check.places),
      steps_(std::move(steps)),
      from_(std::move(from)),
      output_(steps_) {
  follow_timer_.setInterval(FOLLOW_INTERVAL_MS);
  connect(&follow_timer_, &QTimer::timeout, this, &UpdateRun::follow_log);
}

UpdateRun::~UpdateRun() {
  if (started_) (void)started_->monitor.release();
}

Result<std::unique_ptr<UpdateRun>, QString> UpdateRun::start(const UpdateSetup& setup,
                                                             std::vector<Step> steps,
                                                             std::string_view script,
                                                             std::vector<ManagerCheck> from,
                                                             std::optional<SecretBytes> password) {
  const auto why = [](const QString& text, const OsError& error) {
    return text.arg(from_bytes(error.text()));
  };
  // A fresh directory and log for every attempt: nothing of an earlier
  // one is read again, and no name is ever used twice.
  auto attempt = RunDir::make(setup.logs());
  if (!attempt)
    return why(tr("No private folder could be made for the update: %1"), attempt.error());
  auto log = attempt.value().create_log();
  if (!log) return why(tr("The update could not start: %1"), log.error());
  // The window reads the log through a file of its own and hands the
  // monitor its run through another: their claims are the monitor's alone.
  UniqueFd reading(::openat(attempt.value().fd(), LOG_NAME.data(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  const UniqueFd run(::openat(attempt.value().fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!reading.valid() || !run.valid()) {
    return why(tr("The update could not start: %1"), OsError::last());
  }
  auto update = std::make_unique<UpdateRun>(setup, std::move(steps), std::move(from));
  // What the logs and deployments hold before the script starts: only an
  // update started here is counted package by package.
  update->progress_ = std::make_unique<UpdateProgress>(
      update->from_, ProgressPlaces{setup.check.places.root, home_of(setup.environment)});
  const QDBusUnixFileDescriptor inhibitor = inhibit_shutdown();
  auto started = start_update(setup.monitor, setup.bash, script, log.value().get(), run.get(),
                              setup.environment, monitor_extras(environ),
                              inhibitor.isValid() ? inhibitor.fileDescriptor() : -1);
  if (!started) return why(tr("The update could not start: %1"), started.error());
  log.value().reset();
  attempt.value().keep();
  // Shared from now on, as every window that watches this run holds it.
  ::flock(attempt.value().fd(), LOCK_SH);
  update->attempt_ = std::move(attempt.value());
  update->log_file_.emplace(std::move(reading));
  update->started_ = std::move(started.value());
  update->needs_password_ = password.has_value();
  if (password) {
    // Written only once sudo waits to read it: until then it stays here.
    update->delivery_.emplace(*update->started_, std::move(*password), setup.handover);
  } else {
    // Always: with no password written, a question must still see the end.
    (void)end_input(*update->started_);
  }
  update->follow_timer_.start();
  return update;
}

std::unique_ptr<UpdateRun> UpdateRun::follow(const UpdateSetup& setup, std::vector<Step> steps,
                                             RunningUpdate& running) {
  auto update = std::make_unique<UpdateRun>(setup, std::move(steps), std::vector<ManagerCheck>{});
  update->followed_ = true;
  update->log_file_.emplace(std::move(running.log));
  update->followed_run_ = std::move(running.run);
  // Watched: its monitor leaves telling the end to this window.
  if (update->followed_run_.valid()) ::flock(update->followed_run_.get(), LOCK_SH | LOCK_NB);
  update->follow_timer_.start();
  return update;
}

void UpdateRun::discard() {
  follow_timer_.stop();
  log_file_.reset();
  if (attempt_) attempt_->discard();
  attempt_.reset();
}

StepState UpdateRun::step_state(size_t index) const {
  if (index >= output_.started()) return finish_ ? StepState::NotRun : StepState::Waiting;
  const bool last_started = index + 1 == output_.started();
  if (!last_started) return StepState::Finished;
  if (!finish_) return StepState::Running;
  const bool ok =
      finish_->outcome == Outcome::Success || finish_->outcome == Outcome::SuccessWithWarnings;
  return ok ? StepState::Finished : StepState::Failed;
}

QString UpdateRun::latest_line() const {
  return from_bytes(output_.latest());
}

const ManagerCheck* UpdateRun::started_with(Step step) const {
  const auto found = std::find_if(from_.begin(), from_.end(),
                                  [step](const ManagerCheck& check) { return check.step == step; });
  return found == from_.end() ? nullptr : &*found;
}

std::optional<int> UpdateRun::progress() const {
  // Full only for an update that ended well; a failed one keeps where it
  // stopped.
  if (finish_ && !failed()) return PROGRESS_SCALE;
  const std::optional<int> stopped = failed() ? std::optional(0) : std::nullopt;
  if (!progress_ || output_.started() == 0) return stopped;
  // Each step weighs as many packages as it has pending (at least one), so
  // a step with three updates does not count like one with three hundred.
  const auto weight = [this](Step step) {
    const ManagerCheck* check = started_with(step);
    return std::max<size_t>(check == nullptr ? 0 : check->updates.size(), 1);
  };
  size_t whole = 0;
  for (const Step step : steps_) whole += weight(step);
  size_t done = 0;
  for (size_t i = 0; i + 1 < output_.started(); ++i) done += weight(steps_[i]);
  const Step running = steps_[output_.started() - 1];
  const StepProgress step = progress_->step(running);
  double fraction = static_cast<double>(done);
  if (step.total != 0 && step.done != 0) {
    fraction += static_cast<double>(weight(running)) * static_cast<double>(step.done) /
                static_cast<double>(step.total);
  } else if (!failed()) {
    // Refreshing lists, or nothing countable: busy, never a frozen bar.
    return std::nullopt;
  }
  // The last package in place is not the end (triggers, later steps): full
  // is kept for the end itself.
  constexpr int MOST_BEFORE_THE_END = PROGRESS_SCALE * 99 / 100;
  return std::min(static_cast<int>(fraction * PROGRESS_SCALE / static_cast<double>(whole)),
                  MOST_BEFORE_THE_END);
}

std::optional<int> UpdateRun::step_progress(size_t index) const {
  switch (step_state(index)) {
    case StepState::Finished: return PROGRESS_SCALE;
    case StepState::Waiting:
    case StepState::NotRun: return 0;
    case StepState::Running:
    case StepState::Failed: break;
  }
  if (!progress_ || index >= steps_.size()) return std::nullopt;
  const StepProgress step = progress_->step(steps_[index]);
  if (step.total == 0) return std::nullopt;
  return static_cast<int>(std::min(step.done, step.total) * PROGRESS_SCALE / step.total);
}

QString UpdateRun::progress_text() const {
  if (finish_ || !progress_ || output_.started() == 0) return {};
  const Step running = steps_[output_.started() - 1];
  return progress_words(running, progress_->step(running));
}

std::vector<StepOutcome> UpdateRun::outcomes() const {
  std::vector<StepOutcome> all;
  for (size_t i = 0; i < steps_.size(); ++i) {
    StepOutcome step;
    step.step = steps_[i];
    step.state = step_state(i);
    step.check = started_with(step.step);
    if (progress_) {
      step.left = progress_->not_updated(step.step);
      step.updated = progress_->updated(step.step);
    }
    if (followed_ && followed_past_) {
      step.followed = true;
      for (const auto& [by, count] : followed_past_->updated) {
        if (by == step.step) step.followed_count = count;
      }
    }
    all.push_back(std::move(step));
  }
  return all;
}

QStringList UpdateRun::updated_lines() const {
  return counted() == nullptr ? QStringList() : updated_words(outcomes());
}

std::optional<std::vector<std::string>> UpdateRun::not_updated(Step step) const {
  return counted() == nullptr ? std::nullopt : counted()->not_updated(step);
}

QString UpdateRun::kept_text() const {
  return counted() == nullptr ? QString() : kept_configs_words(counted()->kept_configs());
}

QString UpdateRun::dropped_text() const {
  const std::uint64_t dropped = dropped_log_bytes();
  if (dropped == 0) return {};
  return UpdateWords::tr(
             "%1 MB of output in the middle were left out of the log file to save space.")
      .arg(QLocale().toString(static_cast<double>(dropped) / 1e6, 'f', 1));
}

std::optional<qsizetype> UpdateRun::line_to_show() const {
  if (!finish_ ||
      (finish_->outcome != Outcome::Failed && finish_->outcome != Outcome::SuccessWithWarnings)) {
    return std::nullopt;
  }
  // The log holds the last lines only.
  const auto line =
      static_cast<qsizetype>(finish_->failed_line) - static_cast<qsizetype>(dropped_lines_);
  if (line < 0 || line >= log_.size()) return std::nullopt;
  return line;
}

void UpdateRun::take_output(std::string_view bytes) {
  QStringList batch;
  absorb(bytes, batch);
  if (!batch.isEmpty()) emit lines_added(batch);
  emit changed();
}

void UpdateRun::absorb(std::string_view bytes, QStringList& batch) {
  const size_t started_before = output_.started();
  const size_t first = output_.line_count();
  const std::vector<std::string> lines = output_.feed(bytes);
  // dnf counts in its own output: each line in the step it was printed in.
  for (size_t i = 0; progress_ && i < lines.size(); ++i) {
    if (const auto step = output_.step_at(first + i)) progress_->line(*step, lines[i]);
  }
  keep_lines(lines, batch);
  if (output_.started() > 0 && started_before == 0) check_unread_password();
}

void UpdateRun::keep_lines(const std::vector<std::string>& lines, QStringList& batch) {
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

void UpdateRun::take_end(std::optional<int> wait_status) {
  follow_timer_.stop();
  QStringList batch;
  keep_lines(output_.flush(), batch);
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
  Finish finish = output_.finish(wait_status.value_or(W_EXITCODE(1, 0)));
  // Not seen to end: whatever its output says, it did not finish.
  if (end_unseen_) finish = Finish{Outcome::Failed, {}, 0, false, finish.failed_line, {}};
  finish_ = finish;
  if (finish.outcome != Outcome::PasswordRefused) {
    cause_ = failure_cause(finish, places_);
    note_what_was_left_alone();
    if (log_file_) mark_shown(log_file_->fd());
  }
  emit ended();
}

// flatpak exits 0 when a remote cannot be reached ("non-fatal"), having
// updated nothing: what its deployments say is the truth of it.
void UpdateRun::note_what_was_left_alone() {
  if (!progress_ || finish_->outcome != Outcome::Success) return;
  progress_->poll();
  const auto flatpak = std::find_if(steps_.begin(), steps_.end(), [](Step step) {
    return facts(step).progress.success_may_leave_all;
  });
  if (flatpak == steps_.end()) return;
  const auto left = progress_->not_updated(*flatpak);
  if (!left || left->empty()) return;
  finish_->outcome = Outcome::SuccessWithWarnings;
  finish_->failed_step = *flatpak;
  finish_->failed_line =
      output_.step_began_at(static_cast<size_t>(flatpak - steps_.begin())).value_or(0);
  std::string names;
  for (const std::string& name : *left) names += (names.empty() ? "" : ", ") + name;
  finish_->message = names;
}

void UpdateRun::check_unread_password() {
  if (password_checked_ || !started_) return;
  password_checked_ = true;
  if (!needs_password_ || unread_input(*started_) == 0) return;
  drain_unread_input(*started_);
  emit password_unused();
}

// Reads for a bounded time, so that no flood of output can hold up the
// window; true when there is more to read.
bool UpdateRun::read_new_output() {
  if (!log_file_) return false;
  const auto deadline = std::chrono::steady_clock::now() + READ_SLICE;
  QStringList batch;
  std::string chunk;
  bool more = true;
  while (more && std::chrono::steady_clock::now() < deadline) {
    if (log_file_->read_some(chunk, READ_CHUNK)) break;
    learn_sudo_end();
    absorb(chunk, batch);
    more = chunk.size() == READ_CHUNK;
  }
  if (!batch.isEmpty()) emit lines_added(batch);
  emit changed();
  return more;
}

// Looked for after each read and before what was read is taken: the
// monitor records sudo's end before the script may print a line after
// sudo, so what was read while there was no record is all of sudo's time,
// and the step lines a package printed then are known before the
// script's own come.
void UpdateRun::learn_sudo_end() {
  if (sudo_end_known_) return;
  if (const auto end = recorded_sudo_end(run_fd(), ::geteuid())) {
    output_.pass_over_sudo_lines(end->step_lines);
    sudo_end_known_ = true;
  }
}

// The script's end once its monitor recorded it, or once the monitor is
// gone without recording it (none then); nothing while it runs.
std::optional<std::optional<int>> UpdateRun::seen_end() {
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
  } else if (followed_ && log_file_) {
    gone = !still_claimed(log_file_->fd());
  }
  if (!gone) return std::nullopt;
  return recorded();
}

void UpdateRun::follow_log() {
  // Recorded first, then read: all the script wrote is in the log by then.
  if (!end_status_ && (started_ || followed_)) {
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
  take_end(*end_status_);
}

}  // namespace sorvane::gui
