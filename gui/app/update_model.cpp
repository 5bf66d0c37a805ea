#include "update_model.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "password.hpp"
#include "path.hpp"
#include "payload.hpp"
#include "run_dir.hpp"
#include "script_programs.hpp"
#include "sorvane_report.hpp"
#include "written_script.hpp"

namespace sorvane::gui {
namespace {

constexpr int FOLLOW_INTERVAL_MS = 100;
constexpr size_t READ_CHUNK = size_t{64} * 1024;
// How long one read of the log may hold up the window.
constexpr std::chrono::milliseconds READ_SLICE{10};

QString tr(const char* text) {
  return QCoreApplication::translate("UpdateModel", text);
}

QString from_bytes(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString untrusted_text(const Untrusted& fault) {
  QString path = from_bytes(fault.path);
  switch (fault.why) {
    case Untrusted::Why::Missing: return tr("%1 cannot be checked.").arg(path);
    case Untrusted::Why::OwnedBySomeoneElse:
      return tr("%1 belongs to another user, who could change what runs as root.").arg(path);
    case Untrusted::Why::WritableByOthers:
      return tr("%1 can be changed by other users, who could change what runs as root.").arg(path);
    case Untrusted::Why::TooManyLinks: return tr("%1 leads through too many links.").arg(path);
  }
  return path;
}

QString refusal_text(const ScriptRefusal& refusal) {
  using Why = ScriptRefusal::Why;
  switch (refusal.why) {
    case Why::Unreadable:
      return tr("The update script cannot be read: %1").arg(from_bytes(refusal.error.text()));
    case Why::DirectoryNotTheUsers: return tr("The update script's folder is not yours.");
    case Why::DirectoryWritableByOthers:
      return tr("Other users can change the update script's folder.");
    case Why::NotARegularFile: return tr("The update script is not a plain file.");
    case Why::FileNotTheUsers: return tr("The update script is not yours.");
    case Why::WrongMode: return tr("Other users can read or change the update script.");
    case Why::Changed: return tr("The update script is not the one Sorvane writes.");
  }
  return {};
}

// While the update runs, logind keeps shutdown and sleep away. The lock is
// a descriptor that the script itself holds, so it lasts exactly as long as
// the update, with or without this window. Without logind (a container,
// another init) there is none, and the update runs all the same.
QDBusUnixFileDescriptor inhibit_shutdown() {
  QDBusInterface logind(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
  if (!logind.isValid()) return {};
  const QDBusReply<QDBusUnixFileDescriptor> reply =
      logind.call(QStringLiteral("Inhibit"), QStringLiteral("shutdown:sleep"), tr("Sorvane Update"),
                  tr("Packages are being updated"), QStringLiteral("block"));
  return reply.isValid() ? reply.value() : QDBusUnixFileDescriptor();
}

UpdateModel::Looked stopped(QString message) {
  UpdateModel::Looked looked;
  looked.message = std::move(message);
  return looked;
}

}  // namespace

UpdateModel::Looked look_for_update(const UpdateModel::Setup& setup) {
  using State = UpdateModel::State;
  const uid_t user = ::geteuid();
  if (auto fault = untrusted_installation(setup.installation, user)) {
    return stopped(untrusted_text(*fault));
  }
  clear_stale_run_dirs(setup.run_base, user);
  // Only for the script sorvane writes: once checked, its bytes are kept
  // in memory, and the directory goes when this returns.
  auto run_dir = RunDir::make(setup.run_base);
  if (!run_dir) {
    return stopped(tr("No private folder could be made for the update: %1")
                       .arg(from_bytes(run_dir.error().text())));
  }

  const SorvaneReport report = run_sorvane(
      setup.installation.sorvane, join(run_dir.value().path(), SCRIPT_NAME), setup.environment);
  UpdateModel::Looked looked;
  switch (report.kind) {
    case SorvaneReport::Kind::NoneFound: looked.state = State::NothingFound; return looked;
    case SorvaneReport::Kind::Failed: looked.message = from_bytes(report.message); return looked;
    case SorvaneReport::Kind::TimedOut:
      looked.message = tr("Looking for package managers took too long and was stopped.");
      return looked;
    case SorvaneReport::Kind::Unexpected:
      looked.message = tr("Sorvane answered in a way this window does not understand.");
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
  if (privileged) {
    const auto sudo = find_like_the_script("sudo");
    if (!sudo) {
      looked.message =
          tr("sudo is not installed, and system packages can only be updated with it.");
      return looked;
    }
    looked.needs_password = probe_sudo(*sudo, setup.bash, setup.environment,
                                       setup.sudo_probe_limit) == SudoNeeds::Password;
  }
  looked.state = State::Ready;
  looked.steps = report.steps;
  looked.script = std::move(script.value());
  return looked;
}

UpdateModel::UpdateModel(Setup setup, QObject* parent) : QObject(parent), setup_(std::move(setup)) {
  follow_timer_.setInterval(FOLLOW_INTERVAL_MS);
  connect(&follow_timer_, &QTimer::timeout, this, &UpdateModel::follow);
}

UpdateModel::~UpdateModel() = default;

UpdateModel::StepState UpdateModel::step_state(size_t index) const {
  if (!output_ || index >= output_->started()) return StepState::Waiting;
  const bool last_started = index + 1 == output_->started();
  if (!last_started) return StepState::Finished;
  if (!finish_) return StepState::Running;
  const bool ok =
      finish_->outcome == Outcome::Success || finish_->outcome == Outcome::SuccessWithWarnings;
  return ok ? StepState::Finished : StepState::Failed;
}

QString UpdateModel::latest_line() const {
  return output_ ? from_bytes(output_->latest()) : QString();
}

void UpdateModel::set_state(State state) {
  state_ = state;
  emit changed();
}

void UpdateModel::look() {
  set_state(State::Looking);
  auto* watcher = new QFutureWatcher<Looked>(this);
  connect(watcher, &QFutureWatcher<Looked>::finished, this, [this, watcher] {
    take_looked(watcher->result());
    watcher->deleteLater();
  });
  watcher->setFuture(QtConcurrent::run([setup = setup_] { return look_for_update(setup); }));
}

void UpdateModel::take_looked(const Looked& looked) {
  steps_ = looked.steps;
  needs_password_ = looked.needs_password;
  message_ = looked.message;
  script_ = looked.script;
  set_state(looked.state);
}

void UpdateModel::update(QString password) {
  QByteArray bytes = password.toUtf8();
  password.fill(QChar(0));
  const auto wipe_bytes = [&bytes] { wipe(bytes.data(), static_cast<size_t>(bytes.size())); };
  const std::string_view secret(bytes.constData(), static_cast<size_t>(bytes.size()));
  if (needs_password_) {
    if (auto refusal = password_refusal(secret)) {
      wipe_bytes();
      message_ = *refusal == PasswordRefusal::TooLong
                     ? tr("The password is longer than sudo accepts.")
                     : tr("The password cannot hold a line break or a NUL character.");
      emit changed();
      return;
    }
  }
  const auto stop = [&](const QString& why, const OsError& error) {
    wipe_bytes();
    message_ = why.arg(from_bytes(error.text()));
    set_state(State::Stopped);
  };
  // A fresh directory and log for every attempt: nothing of an earlier
  // one is read again, and no name is ever used twice.
  auto attempt = RunDir::make(setup_.run_base);
  if (!attempt)
    return stop(tr("No private folder could be made for the update: %1"), attempt.error());
  auto log = attempt.value().create_log();
  if (!log) return stop(tr("The update could not start: %1"), log.error());
  const QDBusUnixFileDescriptor inhibitor = inhibit_shutdown();
  auto started = start_update(setup_.bash, script_, log.value().get(), setup_.environment,
                              inhibitor.isValid() ? inhibitor.fileDescriptor() : -1);
  if (!started) return stop(tr("The update could not start: %1"), started.error());
  attempt.value().keep();
  attempt_ = std::move(attempt.value());
  log_file_.emplace(std::move(log.value()));
  started_ = std::move(started.value());
  if (needs_password_) (void)send_password(*started_, secret);
  wipe_bytes();
  // Always: with no password written, a question must still see the end.
  (void)end_input(*started_);
  output_ = std::make_unique<ScriptOutput>(steps_);
  finish_.reset();
  end_status_.reset();
  log_.clear();
  dropped_lines_ = 0;
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
  state_ = State::Updating;
  const size_t started_before = output_->started();
  keep_lines(output_->feed(bytes), batch);
  if (output_->started() > 0 && started_before == 0) check_unread_password();
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

void UpdateModel::take_end(int wait_status) {
  if (!output_) output_ = std::make_unique<ScriptOutput>(steps_);
  QStringList batch;
  keep_lines(output_->flush(), batch);
  if (!batch.isEmpty()) emit lines_added(batch);
  check_unread_password();
  started_.reset();  // reaped: its input is of no more use
  const Finish finish = output_->finish(wait_status);
  if (finish.outcome == Outcome::PasswordRefused) {
    // Back to Ready, with sudo's own words as they are: they are translated.
    const QString unread = message_;
    message_ = from_bytes(finish.message);
    if (!unread.isEmpty()) message_ += (message_.isEmpty() ? "" : "\n") + unread;
    output_.reset();
    // Nothing ran: this attempt's log has nothing worth keeping.
    log_file_.reset();
    if (attempt_) attempt_->discard();
    attempt_.reset();
    set_state(State::Ready);
    return;
  }
  finish_ = finish;
  set_state(State::Done);
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
  log_file_->release_read();
  publish(batch);
  return more;
}

void UpdateModel::follow() {
  // Reaped first, then read: all the script wrote is in the log by then.
  if (!end_status_ && started_) {
    int status = 0;
    if (::waitpid(started_->pid, &status, WNOHANG) == started_->pid) {
      end_status_ = status;
      end_offset_ = log_file_ ? log_file_->size() : 0;
    }
  }
  const bool more = read_new_output();
  // Behind a flood, the next slice comes as soon as the window has drawn.
  follow_timer_.setInterval(more ? 0 : FOLLOW_INTERVAL_MS);
  if (!end_status_ || (more && log_file_ && log_file_->offset() < end_offset_)) return;
  follow_timer_.stop();
  take_end(*end_status_);
}

}  // namespace sorvane::gui
