// The run of one update, without widgets: what the window shows is read
// from here, and tests drive it directly. It looks first (runs sorvane,
// checks what it wrote and everything the script will run, asks sudo
// whether it wants a password), then updates: it starts the checked script,
// hands the password over, and follows the log the script writes.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installation.hpp"
#include "run_dir.hpp"
#include "script_output.hpp"
#include "sorvane_report.hpp"
#include "update_log.hpp"
#include "update_process.hpp"

namespace sorvane::gui {

class UpdateModel : public QObject {
  Q_OBJECT

 public:
  enum class State { Looking, Ready, NothingFound, Stopped, Updating, Done };
  enum class StepState { Waiting, Running, Finished, Failed };

  struct Setup {
    Installation installation;  // sorvane and its detector
    std::string bash;           // the trusted bash that runs the script
    std::string run_base;       // where run directories are made
    std::vector<std::string> environment;
    std::chrono::milliseconds sudo_probe_limit = SUDO_PROBE_LIMIT;
  };

  explicit UpdateModel(Setup setup, QObject* parent = nullptr);
  ~UpdateModel() override;
  UpdateModel(const UpdateModel&) = delete;
  UpdateModel& operator=(const UpdateModel&) = delete;
  UpdateModel(UpdateModel&&) = delete;
  UpdateModel& operator=(UpdateModel&&) = delete;

  [[nodiscard]] State state() const { return state_; }
  [[nodiscard]] const std::vector<Step>& steps() const { return steps_; }
  [[nodiscard]] StepState step_state(size_t index) const;
  [[nodiscard]] bool needs_password() const { return needs_password_; }
  // What the current screen has to say: an error, a refusal, sudo's own
  // words, or how the update ended. Always plain text.
  [[nodiscard]] const QString& message() const { return message_; }
  [[nodiscard]] QString latest_line() const;
  // The last MAX_LOG_LINES lines of output; the ones before were dropped.
  [[nodiscard]] const QStringList& log() const { return log_; }
  [[nodiscard]] size_t dropped_lines() const { return dropped_lines_; }
  // Bytes of output left out of the log file to save space.
  [[nodiscard]] std::uint64_t dropped_log_bytes() const {
    return log_file_ ? log_file_->dropped() : 0;
  }
  [[nodiscard]] std::optional<Finish> finish() const { return finish_; }

  // What the window keeps of a long output, in memory and on screen.
  static constexpr qsizetype MAX_LOG_LINES = 1000;
  static constexpr qsizetype MAX_SHOWN_LINE = 2000;  // characters, then "…"

  // Starts looking; the result arrives as a change of state.
  void look();
  // Starts the update. With a password that sudo could not read as one
  // line, nothing starts and the model stays Ready with a message.
  void update(QString password);

  // The script's output and its end, as they come (the run feeds these;
  // tests may too).
  void take_output(std::string_view bytes);
  void take_end(int wait_status);

  // The state after looking, for the run and for tests.
  struct Looked;
  void take_looked(const Looked& looked);

 signals:
  void changed();
  void lines_added(const QStringList&);

 private:
  void follow();
  bool read_new_output();
  void absorb(std::string_view bytes, QStringList& batch);
  void keep_lines(const std::vector<std::string>& lines, QStringList& batch);
  void publish(const QStringList& batch);
  void check_unread_password();
  void set_state(State state);

  Setup setup_;
  State state_ = State::Looking;
  std::vector<Step> steps_;
  bool needs_password_ = false;
  QString message_;
  QStringList log_;
  size_t dropped_lines_ = 0;
  std::string script_;
  std::unique_ptr<ScriptOutput> output_;
  std::optional<Finish> finish_;
  std::optional<StartedUpdate> started_;
  // Each attempt has a directory and a log of its own.
  std::optional<RunDir> attempt_;
  std::optional<UpdateLog> log_file_;
  // Set once the script has been reaped: its status, and how long the log
  // was then (a daemon a package started may write on, but the update is
  // over).
  std::optional<int> end_status_;
  std::uint64_t end_offset_ = 0;
  bool password_checked_ = false;
  QTimer follow_timer_;
};

struct UpdateModel::Looked {
  State state = State::Stopped;
  std::vector<Step> steps;
  bool needs_password = false;
  QString message;
  std::string script;  // the checked bytes
};

// The blocking part of looking, for a worker thread.
UpdateModel::Looked look_for_update(const UpdateModel::Setup& setup);

}  // namespace sorvane::gui
