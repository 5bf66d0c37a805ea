// One update as this window sees it, from its start (or from the moment
// this window began to follow one another window started) to its end: the
// run directory and log it writes in, the password on its way to sudo,
// its output read as the script writes it, how far each manager is, and
// how it ended. Every attempt is a new UpdateRun, so that nothing of an
// earlier one is ever read again.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "failure_cause.hpp"
#include "look.hpp"
#include "password_delivery.hpp"
#include "past_update.hpp"
#include "pending_check.hpp"
#include "result.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "script_output.hpp"
#include "secret.hpp"
#include "update_log.hpp"
#include "update_process.hpp"
#include "update_progress.hpp"
#include "update_words.hpp"

namespace sorvane::gui {

class UpdateRun : public QObject {
  Q_OBJECT

 public:
  // What the window keeps of a long output, in memory and on screen.
  static constexpr qsizetype MAX_LOG_LINES = 1000;
  static constexpr qsizetype MAX_SHOWN_LINE = 2000;  // characters, then "…"
  static constexpr int PROGRESS_SCALE = 1000;

  // An update of `steps` whose output is fed by hand (tests), and the
  // base of the two below. `from`: what the check said as it began.
  UpdateRun(const UpdateSetup& setup, std::vector<Step> steps, std::vector<ManagerCheck> from);
  // The monitor is left to end by itself: the update goes on without
  // this window.
  ~UpdateRun() override;
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;
  UpdateRun(UpdateRun&&) = delete;
  UpdateRun& operator=(UpdateRun&&) = delete;

  // Starts the checked script in a fresh run directory with its own log;
  // with a password, it is handed to sudo once sudo waits for it. The
  // error says, translated, why nothing started.
  static Result<std::unique_ptr<UpdateRun>, QString> start(const UpdateSetup& setup,
                                                           std::vector<Step> steps,
                                                           std::string_view script,
                                                           std::vector<ManagerCheck> from,
                                                           std::optional<SecretBytes> password);
  // Follows an update another window started, through its log.
  static std::unique_ptr<UpdateRun> follow(const UpdateSetup& setup, std::vector<Step> steps,
                                           RunningUpdate& running);

  // The script's output and its end, as they come (the run feeds these
  // itself; tests may too). At the end, `ended` is emitted.
  void take_output(std::string_view bytes);
  // The wait status as the monitor recorded it; none: its end was not
  // seen (the monitor was killed), which is never a success.
  void take_end(std::optional<int> wait_status);
  // sudo refused the password: nothing ran, and nothing is kept of it.
  void discard();
  // Once its end is told, a followed update is no more this window's.
  void stop_watching() { followed_run_.reset(); }

  [[nodiscard]] const std::vector<Step>& steps() const { return steps_; }
  [[nodiscard]] bool followed() const { return followed_; }
  [[nodiscard]] size_t started() const { return output_.started(); }
  [[nodiscard]] StepState step_state(size_t index) const;
  [[nodiscard]] QString latest_line() const;
  [[nodiscard]] const std::optional<Finish>& finish() const { return finish_; }
  // It ended without a recorded status.
  [[nodiscard]] bool end_unseen() const { return end_unseen_; }
  [[nodiscard]] const std::optional<FailureCause>& cause() const { return cause_; }
  [[nodiscard]] bool failed() const { return finish_ && finish_->outcome == Outcome::Failed; }
  // What the check said of `step` as the update began, if it answered.
  [[nodiscard]] const ManagerCheck* started_with(Step step) const;
  // How much is done, in PROGRESS_SCALE, package by package; nothing while
  // no count can be given (busy).
  [[nodiscard]] std::optional<int> progress() const;
  [[nodiscard]] std::optional<int> step_progress(size_t index) const;
  // What the running step has done so far, and the package it is at.
  [[nodiscard]] QString progress_text() const;
  [[nodiscard]] const UpdateProgress* counted() const { return progress_.get(); }
  // Each step as it went, for the Done screen's words.
  [[nodiscard]] std::vector<StepOutcome> outcomes() const;
  // Once ended, what the Done screen says of it: a line per manager; each
  // package updated and left; the pending packages of `step` it did not
  // update (none when that cannot be told); the config files kept; the
  // output left out of the log file; the line of log() Details opens at
  // (the failing step's or the warning's, if not dropped).
  [[nodiscard]] QStringList changes() const { return changes_words(outcomes()); }
  [[nodiscard]] QStringList updated_lines() const;
  [[nodiscard]] std::optional<std::vector<std::string>> not_updated(Step step) const;
  [[nodiscard]] QString kept_text() const;
  [[nodiscard]] QString dropped_text() const;
  [[nodiscard]] std::optional<qsizetype> line_to_show() const;
  // The last MAX_LOG_LINES lines of output; the ones before were dropped.
  [[nodiscard]] const QStringList& log() const { return log_; }
  [[nodiscard]] size_t dropped_lines() const { return dropped_lines_; }
  // Bytes of output left out of the log file to save space.
  [[nodiscard]] std::uint64_t dropped_log_bytes() const {
    return log_file_ ? dropped_bytes(log_file_->fd()) : 0;
  }
  // The log it writes in, and its run directory; -1: none.
  [[nodiscard]] int log_fd() const { return log_file_ ? log_file_->fd() : -1; }
  [[nodiscard]] int run_fd() const { return attempt_ ? attempt_->fd() : followed_run_.get(); }
  // What a followed update did, once read from the managers' logs.
  void set_followed_past(PastUpdate past) { followed_past_ = std::move(past); }

 signals:
  void lines_added(const QStringList&);
  void changed();
  // The first step began, and sudo never read the password: discarded.
  void password_unused();
  void ended();

 private:
  void follow_log();
  [[nodiscard]] std::optional<std::optional<int>> seen_end();
  bool read_new_output();
  void learn_sudo_end();
  void absorb(std::string_view bytes, QStringList& batch);
  void keep_lines(const std::vector<std::string>& lines, QStringList& batch);
  void check_unread_password();
  void note_what_was_left_alone();

  CheckPlaces places_;
  std::vector<Step> steps_;
  std::vector<ManagerCheck> from_;
  ScriptOutput output_;
  std::unique_ptr<UpdateProgress> progress_;
  bool followed_ = false;
  bool needs_password_ = false;
  bool password_checked_ = false;
  bool sudo_end_known_ = false;
  QStringList log_;
  size_t dropped_lines_ = 0;
  std::optional<Finish> finish_;
  bool end_unseen_ = false;
  std::optional<FailureCause> cause_;
  std::optional<PastUpdate> followed_past_;
  // Started here: its monitor, and the password until sudo reads it
  // (declared after it, so gone before it).
  std::optional<StartedUpdate> started_;
  std::optional<PasswordDelivery> delivery_;
  std::optional<RunDir> attempt_;
  // Followed: the run another window started, held (shared) while this
  // window watches it, as the window that started it holds its own.
  UniqueFd followed_run_;
  std::optional<UpdateLog> log_file_;
  // Set once the script has been reaped: its status, and how long the log
  // was then (a daemon a package started may write on, but the update is
  // over).
  std::optional<std::optional<int>> end_status_;
  std::uint64_t end_offset_ = 0;
  QTimer follow_timer_;
};

}  // namespace sorvane::gui
