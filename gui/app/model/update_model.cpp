#include "update_model.hpp"

#include <QFutureWatcher>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>
#include <ctime>

#include "check_text.hpp"
#include "files.hpp"
#include "metered_skip.hpp"
#include "update_words.hpp"

namespace sorvane::gui {
UpdateModel::UpdateModel(Setup setup, QObject* parent)
    : QObject(parent),
      setup_(std::move(setup)),
      checks_(new ManagerChecks(
          setup_.check, setup_.lock_recheck, [this] { return state_ == State::Ready; }, this)),
      look_(*checks_),
      restart_(new RestartOffer(
          setup_.check,
          [this] { return state_ == State::Done || (last_run_ && state_ != State::Updating); },
          this)),
      repair_(new Repair(
          setup_, look_, [this] { return state_; }, this)),
      notice_(setup_.notice_settings),
      hidden_support_(hidden_support_note(setup_.notice_settings)) {
  connect(checks_, &ManagerChecks::answered, this, &UpdateModel::changed);
  connect(restart_, &RestartOffer::changed, this, &UpdateModel::changed);
  connect(restart_, &RestartOffer::answered, this, [this](const QString& text) {
    // The Done screen's heading stays how the update ended: logind's answer
    // is a line of its own under it.
    (state_ == State::Done ? restart_answer_ : message_) = text;
    emit changed();
    announce(text);
  });
  connect(repair_, &Repair::changed, this, &UpdateModel::changed);
  connect(repair_, &Repair::check_again, this, &UpdateModel::check_again);
}

// The update goes on without this window: its run leaves the monitor to
// end by itself.
UpdateModel::~UpdateModel() = default;

bool UpdateModel::set_notice_wanted(bool wanted) {
  const bool saved = notice_.set(wanted);
  emit changed();
  return saved;
}

QString UpdateModel::notice_setting_text() {
  return tr("Tell me when updates are waiting");
}

const QStringList& UpdateModel::log() const {
  static const QStringList none;
  return run_ ? run_->log() : none;
}

std::optional<int> UpdateModel::progress() const {
  if (!run_ || (state_ != State::Updating && state_ != State::Done)) return std::nullopt;
  return run_->progress();
}

QString UpdateModel::progress_text() const {
  if (state_ != State::Updating || !run_) return {};
  return run_->progress_text();
}

void UpdateModel::set_state(State state) {
  state_ = state;
  emit changed();
}

void UpdateModel::announce(const QString& text) {
  if (!text.isEmpty()) emit announced(text);
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
  look_.take(looked);
  // Said once, at the first look after it.
  if (!setup_.notice_skipped.isEmpty() && take_metered_skip(setup_.notice_skipped)) {
    look_.notice_skipped();
  }
  message_ = looked.message;
  // Why Update did not run is said aloud, like any refusal.
  const bool noticed = !said_again_.isEmpty();
  if (noticed) {
    message_ = message_.isEmpty() ? said_again_ : said_again_ + "\n" + message_;
    said_again_.clear();
  }
  if (looked.last_run) {
    last_run_ = looked.last_run;
    // What the Done screen would have offered: a restart, if one is due.
    restart_->take(last_run_->restart);
    // Told now: the next start says nothing more of it.
    mark_shown(last_run_->run.log.get());
  }
  checks_->reset(looked.steps);
  if (looked.running && looked.running->log.valid()) {
    // Someone's update is running: this window follows it, and starts none.
    begin(UpdateRun::follow(setup_, looked.steps, *looked.running));
    message_ =
        tr("An update is already running; it was started in another window. Here is how "
           "it goes.");
    set_state(State::Updating);
    return;
  }
  if (looked.checks) {
    checks_->fill(*looked.checks);
  } else if (looked.state == State::Ready) {
    checks_->ask_all();
  }
  checks_->stop_rechecks();
  set_state(looked.state);
  checks_->watch_locks();
  if (noticed || state_ == State::Stopped) announce(message_);
}

QString UpdateModel::ready_text() const {
  // The same words as the headless check's, from the same decision; an
  // unfinished dpkg run offers Repair… in place of its terminal command.
  const ReadyFacts facts = look_.facts();
  return gui::ready_text(facts, message_,
                         CheckText::obstacles(facts.foreseen, facts.checks, look_.steps(),
                                              repair_->remedy(), repair_->checks_again_itself()));
}

std::optional<SupportNote> UpdateModel::support_note() const {
  const auto& support = look_.support();
  if (!support) return std::nullopt;
  return SystemWords::support(*support, ::time(nullptr), hidden_support_);
}

bool UpdateModel::hide_support_note() {
  const auto note = support_note();
  if (!note || note->hide.isEmpty()) return false;
  hidden_support_ = note->phase;
  const bool saved = save_hidden_support_note(setup_.notice_settings, hidden_support_);
  emit changed();
  return saved;
}

UpdateModel::Proposal UpdateModel::proposal() const {
  if (repair_offered()) return Proposal::Repair;
  if (update_proposed()) return Proposal::Update;
  return checking() ? Proposal::Nothing : Proposal::CheckAgain;
}

void UpdateModel::set_power(const PowerAndNetwork& power) {
  if (look_.set_power(power)) emit changed();
}

void UpdateModel::offer_password() {
  look_.request_password();
  emit changed();
}

QString UpdateModel::outcome_text() const {
  if (!finish()) return {};
  QStringList text{done_text()};
  for (const QString& part : {run_->kept_text(), message_, run_->dropped_text()}) {
    if (!part.isEmpty()) text << part;
  }
  return text.join(QLatin1Char('\n'));
}

namespace {

// Where an open file is now, as the kernel names it.
QString path_of(int fd) {
  const auto link = read_link("/proc/self/fd/" + std::to_string(fd));
  return link ? from_bytes(link.value()) : QString();
}

}  // namespace

int UpdateModel::shown_log() const {
  if (state_ == State::Done && run_ && run_->log_fd() >= 0) return run_->log_fd();
  if (last_run_ && state_ != State::Updating) return last_run_->run.log.get();
  return -1;
}

QString UpdateModel::log_path() const {
  const int log = shown_log();
  return log < 0 ? QString() : path_of(log);
}

QString UpdateModel::log_contents() const {
  const int log = shown_log();
  return log < 0 ? QString() : from_bytes(log_as_text(log));
}

QString UpdateModel::last_run_text() const {
  const QString outcome = last_run_outcome();
  const QString kept = last_run_ ? kept_configs_text(last_run_->past.kept_configs) : QString();
  return outcome.isEmpty() || kept.isEmpty() ? outcome : outcome + "\n" + kept;
}

QString UpdateModel::last_run_outcome() const {
  if (!last_run_ || state_ == State::Updating || state_ == State::Done) return {};
  return past_text(last_run_->past);
}

QString UpdateModel::updating_title() const {
  if (state_ != State::Updating) return {};
  // sudo reads the password before the first step: that takes a moment.
  const bool checking_password = needs_password() && (!run_ || run_->started() == 0);
  return checking_password ? tr("Checking the password…") : tr("Updating…");
}

QString UpdateModel::done_text() const {
  if (state_ != State::Done || !finish()) return {};
  const bool failed = run_->failed() && !run_->end_unseen();
  return done_words(*run_->finish(), run_->end_unseen(), failed ? failure_text() : QString());
}

}  // namespace sorvane::gui
