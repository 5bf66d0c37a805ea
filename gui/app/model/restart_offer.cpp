#include "restart_offer.hpp"

#include <fcntl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>
#include <utility>

#include "past_update.hpp"
#include "run_status.hpp"

namespace sorvane::gui {

RestartOffer::RestartOffer(CheckSetup check, std::function<bool()> shown, QObject* parent)
    : QObject(parent),
      check_(std::move(check)),
      shown_(std::move(shown)),
      call_(new Restart(this)) {
  connect(call_, &Restart::answered, this, &RestartOffer::answered);
}

void RestartOffer::forget() {
  need_.reset();
  later_ = false;
  call_->forget();
}

void RestartOffer::take(const RestartNeed& need) {
  need_ = need;
  later_ = false;
}

bool RestartOffer::offered() const {
  return shown_() && need_ && need_->needed && !later_ && !call_->restarting();
}

QString RestartOffer::text() const {
  return offered() ? restart_words(*need_) : QString();
}

void RestartOffer::ask() {
  if (!offered() || asked()) return;
  call_->ask();
  if (asked()) emit changed();
}

void RestartOffer::later() {
  later_ = true;
  emit changed();
}

RestartQuestion restart_question(const UpdateRun& run) {
  RestartQuestion question;
  for (size_t i = 0; i < run.steps().size(); ++i) {
    const StepState state = run.step_state(i);
    if (state == StepState::Finished || state == StepState::Failed) {
      question.steps.push_back(run.steps()[i]);
    }
  }
  if (const UpdateProgress* counted = run.counted()) {
    for (const Step step : question.steps)
      question.updated.emplace_back(step, counted->updated(step));
  }
  struct utsname system {};
  if (::uname(&system) == 0) question.kernel_release = system.release;
  return question;
}

void RestartOffer::find_out(UpdateRun& run, std::function<bool()> wanted) {
  forget();
  RestartQuestion question = restart_question(run);
  if (question.steps.empty()) {
    need_ = RestartNeed{};  // nothing ran that could need one
    return;
  }
  if (run.followed()) return find_out_followed(run, std::move(wanted));
  auto* watcher = new QFutureWatcher<RestartNeed>(this);
  connect(watcher, &QFutureWatcher<RestartNeed>::finished, this,
          [this, watcher, wanted = std::move(wanted)] {
            if (wanted()) {
              need_ = watcher->result();
              emit changed();
            }
            watcher->deleteLater();
          });
  watcher->setFuture(QtConcurrent::run([question = std::move(question), check = check_] {
    return restart_needed(question, check);
  }));
}

// A followed update: what it did is read as the next start would read it,
// from the managers' logs for the time it ran and the status its monitor
// recorded; then the Done screen says what the starting window's says.
void RestartOffer::find_out_followed(UpdateRun& run, std::function<bool()> wanted) {
  const std::optional<RunStatus> end = recorded_status(run.run_fd(), ::geteuid());
  const std::optional<SudoEnd> sudo_end = recorded_sudo_end(run.run_fd(), ::geteuid());
  const int log_fd = run.log_fd();
  auto log = std::make_shared<UniqueFd>(log_fd >= 0 ? ::fcntl(log_fd, F_DUPFD_CLOEXEC, 0) : -1);
  if (!end || !log->valid()) {
    need_ = RestartNeed{};
    return;
  }
  using Found = std::pair<PastUpdate, RestartNeed>;
  auto* watcher = new QFutureWatcher<Found>(this);
  connect(watcher, &QFutureWatcher<Found>::finished, this,
          [this, watcher, told = QPointer<UpdateRun>(&run), wanted = std::move(wanted)] {
            if (wanted() && told) {
              told->set_followed_past(watcher->result().first);
              need_ = watcher->result().second;
              emit changed();
            }
            watcher->deleteLater();
          });
  watcher->setFuture(QtConcurrent::run([log, end = *end, sudo_end, check = check_] {
    PastUpdate past = read_past_update(log->get(), end.wait_status, end.started, end.ended,
                                       check.places.root, sudo_end);
    RestartNeed need = past_restart(past, check);
    return Found{std::move(past), std::move(need)};
  }));
}

}  // namespace sorvane::gui
