// The run of one update, without widgets: what the window shows is read
// from here, and tests drive it directly. It looks first (runs sorvane,
// checks what it wrote and everything the script will run, asks sudo
// whether it wants a password), then updates: it starts the checked script,
// hands the password over, and follows the log the script writes.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "failure_cause.hpp"
#include "foreseen.hpp"
#include "logind.hpp"
#include "look.hpp"
#include "look_result.hpp"
#include "manager_checks.hpp"
#include "password_delivery.hpp"
#include "past_update.hpp"
#include "pending_check.hpp"
#include "power_and_network.hpp"
#include "repair.hpp"
#include "restart_needed.hpp"
#include "restart_offer.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "script_output.hpp"
#include "secret.hpp"
#include "settings.hpp"
#include "sorvane_report.hpp"
#include "system_words.hpp"
#include "update_log.hpp"
#include "update_process.hpp"
#include "update_progress.hpp"
#include "update_run.hpp"
#include "update_words.hpp"

namespace sorvane::gui {

class UpdateModel : public QObject {
  Q_OBJECT

 public:
  using State = UpdateState;
  using StepState = gui::StepState;

  using Setup = UpdateSetup;
  using Access = SudoAccess;
  using Looked = gui::Looked;
  using LastRun = gui::LastRun;

  explicit UpdateModel(Setup setup, QObject* parent = nullptr);
  [[nodiscard]] const Setup& setup() const { return setup_; }
  ~UpdateModel() override;
  UpdateModel(const UpdateModel&) = delete;
  UpdateModel& operator=(const UpdateModel&) = delete;
  UpdateModel(UpdateModel&&) = delete;
  UpdateModel& operator=(UpdateModel&&) = delete;

  [[nodiscard]] State state() const { return state_; }
  [[nodiscard]] const std::vector<Step>& steps() const { return look_.steps(); }
  [[nodiscard]] StepState step_state(size_t index) const {
    return run_ ? run_->step_state(index) : StepState::Waiting;
  }
  [[nodiscard]] bool needs_password() const { return look_.needs_password(); }
  [[nodiscard]] Access access() const { return look_.access(); }

  // The check before the update: one row per manager the script will run,
  // in the order sorvane reports them, each filled in as its query ends.
  [[nodiscard]] size_t row_count() const { return checks_->size(); }
  [[nodiscard]] QString row_text(size_t row) const { return checks_->row_text(row); }
  [[nodiscard]] bool checking() const { return checks_->checking(); }
  // Every row's answer, once all have one, in the script's order.
  [[nodiscard]] std::vector<ManagerCheck> checks() const { return checks_->answers(); }
  // Every pending update, for Details.
  [[nodiscard]] QStringList pending_lines() const { return checks_->pending_lines(); }
  [[nodiscard]] QString ready_title() const { return gui::ready_title(look_.facts()); }
  // What the Ready screen says under the rows: why the update would fail,
  // that there is nothing to do, who may update, and any refusal.
  [[nodiscard]] QString ready_text() const;
  // This release's support, in one line above the rows: none while
  // regular support is far from its end, or while the note of this phase
  // is put away.
  [[nodiscard]] std::optional<SupportNote> support_note() const;
  // "Hide until …": kept for the next window, until another phase begins.
  // False when it could not be saved; it is hidden in this window all the same.
  bool hide_support_note();
  // Update can be pressed; and it is what the screen proposes (not when
  // everything is up to date or the update would fail).
  [[nodiscard]] bool update_possible() const { return look_.update_possible(ready()); }
  [[nodiscard]] bool update_proposed() const { return look_.update_proposed(ready()); }
  // Update is on the screen (perhaps waiting, disabled, while the check
  // runs); once the update is known to fail, only Check again is left.
  [[nodiscard]] bool update_shown() const { return look_.update_shown(ready()); }
  // What the Ready screen proposes: its default button.
  enum class Proposal { Update, CheckAgain, Repair, Nothing };
  [[nodiscard]] Proposal proposal() const;
  // The battery is too low to start: Update says so, and cannot be pressed.
  [[nodiscard]] bool plug_in_needed() const { return look_.plug_in_needed(ready()); }
  // What the Update button says.
  [[nodiscard]] QString update_label() const { return look_.update_label(ready()); }
  // What UPower, power-profiles-daemon and NetworkManager say now.
  void set_power(const PowerAndNetwork& power);
  [[nodiscard]] const PowerAndNetwork& power() const { return look_.power(); }
  // With Access::Unlikely the password field is offered only on request.
  [[nodiscard]] bool password_offered() const { return look_.password_offered(); }
  // The password field is shown: sudo wants one, and the update could run.
  [[nodiscard]] bool password_wanted() const { return look_.password_wanted(); }
  void offer_password();
  // What the password field is called, for a screen reader: whose it is.
  [[nodiscard]] static QString password_label() { return LookResult::password_label(); }
  // What the current screen has to say: an error, a refusal, sudo's own
  // words, or how the update ended. Always plain text.
  [[nodiscard]] const QString& message() const { return message_; }
  [[nodiscard]] QString latest_line() const { return run_ ? run_->latest_line() : QString(); }
  // How much of the update is done, in thousandths, package by package;
  // nothing while no count can be given (the bar is shown busy then).
  [[nodiscard]] std::optional<int> progress() const;
  static constexpr int PROGRESS_SCALE = UpdateRun::PROGRESS_SCALE;
  // What the running step has done so far, and the package it is at.
  [[nodiscard]] QString progress_text() const;
  // The last MAX_LOG_LINES lines of output; the ones before were dropped.
  [[nodiscard]] const QStringList& log() const;
  [[nodiscard]] size_t dropped_lines() const { return run_ ? run_->dropped_lines() : 0; }
  // Bytes of output left out of the log file to save space.
  [[nodiscard]] std::uint64_t dropped_log_bytes() const {
    return run_ ? run_->dropped_log_bytes() : 0;
  }
  [[nodiscard]] std::optional<Finish> finish() const {
    return run_ ? run_->finish() : std::nullopt;
  }
  // At Done, the line of log() Details opens at: the failing step's or
  // the warning's; none when the update ended well or the line was
  // dropped.
  [[nodiscard]] std::optional<qsizetype> line_to_show() const {
    return done() ? run_->line_to_show() : std::nullopt;
  }
  // How the update ended, in one line; then what it did, a line per
  // manager ("apt: 131 packages updated, 6 kept back").
  [[nodiscard]] QString done_text() const;
  // For a failed update: which step failed and why, with what to do
  // (failure_text.cpp).
  [[nodiscard]] QString failure_text() const;
  // The update failed: the bar keeps where it stopped, and says so.
  [[nodiscard]] bool progress_failed() const {
    return state_ == State::Done && run_ && run_->failed();
  }
  // All the Done screen says under its heading's words, for the screen and
  // what is announced: done_text(), then any message.
  [[nodiscard]] QString outcome_text() const;
  // While updating: "Checking the password…" until sudo let the first step
  // begin, then "Updating…".
  [[nodiscard]] QString updating_title() const;
  [[nodiscard]] QStringList changes() const { return done() ? run_->changes() : QStringList(); }
  // For Details after the update: each package updated, then those left
  // as they were, a line each, by manager.
  [[nodiscard]] QStringList updated_lines() const {
    return done() ? run_->updated_lines() : QStringList();
  }
  // After the update: whether the computer should be restarted, and why
  // (empty when not, or while that is still being found out).
  [[nodiscard]] QString restart_text() const { return restart_->text(); }
  // Whether that has been found out: restart_text() is final then.
  [[nodiscard]] bool restart_known() const { return restart_->known(); }
  // At Done, and with the last run while no update runs.
  [[nodiscard]] bool restart_offered() const { return restart_->offered(); }
  // "Restart now": logind asks for authorization itself (no sudo). Its
  // answer can take as long as the user takes to give a password: the
  // window goes on meanwhile, and says what came of it.
  void restart() { restart_->ask(); }
  // Asked, not answered yet: "Restart now" waits for the answer.
  [[nodiscard]] bool restart_asked() const { return restart_->asked(); }
  // What came of "Restart now" on the Done screen, for a line under its
  // heading; empty until logind answers.
  [[nodiscard]] const QString& restart_answer() const { return restart_answer_; }
  // "Later": the offer goes; the update's own text stays.
  void restart_later() { restart_->later(); }

  // The log of the update shown (Done), or of the last one, which ended
  // after its window was closed (until an update starts): where it is
  // kept, and all of it as text to copy.
  [[nodiscard]] QString log_path() const;
  [[nodiscard]] QString log_contents() const;
  // How that last update went: "The update started at 12:03 finished: 131
  // packages updated by apt." Empty once an update starts.
  [[nodiscard]] QString last_run_text() const;
  // The same of any past update (the monitor tells it, too).
  [[nodiscard]] static QString past_text(const PastUpdate& past) { return past_words(past); }
  // "Restart the computer to finish the update…"; empty when none is due.
  [[nodiscard]] static QString restart_sentence(const RestartNeed& restart) {
    return restart_words(restart);
  }

  // Config files the update left as the user had changed them, the
  // package's new versions beside them, in one sentence; empty when none.
  [[nodiscard]] static QString kept_configs_text(const std::vector<KeptConfig>& kept) {
    return kept_configs_words(kept);
  }

  // When a manager left a run unfinished, the update would stop: Repair…
  // (repair.hpp) finishes it in the user's terminal.
  [[nodiscard]] bool repair_offered() const { return repair_->offered(); }
  [[nodiscard]] bool repairing() const { return repair_->running(); }
  // No terminal could be opened: the commands are shown to be copied.
  [[nodiscard]] bool repair_by_hand() const { return repair_->by_hand(); }
  // Those commands, on one line, as a user would type them.
  [[nodiscard]] QString repair_commands() const { return repair_->commands(); }
  void repair() { repair_->start(); }

  // "Tell me when updates are waiting": the daily check's notice. Saved at
  // once; false when it could not be.
  [[nodiscard]] bool notice_wanted() const { return notice_.wanted(); }
  bool set_notice_wanted(bool wanted);
  [[nodiscard]] static QString notice_setting_text();

  // What the window keeps of a long output, in memory and on screen.
  static constexpr qsizetype MAX_LOG_LINES = UpdateRun::MAX_LOG_LINES;
  static constexpr qsizetype MAX_SHOWN_LINE = UpdateRun::MAX_SHOWN_LINE;

  // Starts looking; the result arrives as a change of state.
  void look();
  // Looks again, from the start.
  void check_again() { look(); }
  // Starts the update. With a password that sudo could not read as one
  // line, nothing starts and the model stays Ready with a message.
  void update(QString password);
  // The same from the password field's own locked page, with no copy made.
  void update_typed(SecretBytes password);

  // The script's output and its end, as they come (the run feeds these;
  // tests may too).
  void take_output(std::string_view bytes);
  // The script's wait status as its monitor recorded it; none: its end
  // was not seen (the monitor was killed), which is never a success.
  void take_end(std::optional<int> wait_status);
  // One manager's answer to the check, for the look it belongs to.
  void take_check(unsigned generation, const ManagerCheck& check) {
    checks_->take(generation, check);
  }

  // The state after looking, for the run and for tests.
  void take_looked(const Looked& looked);

 signals:
  void changed();
  // A new update began (started or followed): its log starts empty.
  void run_began();
  // The update ended (Done), once per update: a window not in front
  // tells the desktop.
  void update_ended();
  void lines_added(const QStringList&);
  // Words a screen reader should say as they appear, after `changed`: a
  // refusal, sudo's words after a wrong password, how the update ended.
  void announced(const QString& text);

 private:
  void begin(std::unique_ptr<UpdateRun> run);
  void let_go_of_run();
  void run_ended();
  void set_state(State state);
  void announce(const QString& text);
  [[nodiscard]] bool ready() const { return state_ == State::Ready; }
  [[nodiscard]] bool done() const { return state_ == State::Done && run_; }
  // The log log_path() and log_contents() are about; -1: none.
  [[nodiscard]] int shown_log() const;
  [[nodiscard]] QString last_run_outcome() const;

  Setup setup_;
  State state_ = State::Looking;
  ManagerChecks* checks_;
  LookResult look_;
  QString said_again_;  // after the next look
  QString message_;
  QString restart_answer_;  // at Done, until the next update begins
  // The update started or followed, until the next one begins.
  std::unique_ptr<UpdateRun> run_;
  std::shared_ptr<const LastRun> last_run_;
  RestartOffer* restart_;
  Repair* repair_;
  NoticeSetting notice_;
  QString hidden_support_;  // the phase whose note was put away

  // Each manager's own facts, for the item view (update_items.cpp).
 public:
  // The manager of a row of the check, and its answer once it came.
  [[nodiscard]] std::optional<Step> row_step(size_t row) const { return checks_->step(row); }
  [[nodiscard]] const ManagerCheck* row_check(size_t row) const { return checks_->check(row); }
  // What the check said of `step` when the update began, if it answered.
  [[nodiscard]] const ManagerCheck* started_check(Step step) const {
    return run_ ? run_->started_with(step) : nullptr;
  }
  // How far the step at `index` is, in PROGRESS_SCALE; none when that
  // cannot be told (busy, or not begun).
  [[nodiscard]] std::optional<int> step_progress(size_t index) const {
    return run_ ? run_->step_progress(index) : std::optional(0);
  }
  // At Done: the pending packages of `step` it did not update; none when
  // that cannot be told.
  [[nodiscard]] std::optional<std::vector<std::string>> not_updated(Step step) const {
    return done() ? run_->not_updated(step) : std::nullopt;
  }
};

}  // namespace sorvane::gui
