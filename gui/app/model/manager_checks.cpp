#include "manager_checks.hpp"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "check_text.hpp"
#include "update_words.hpp"

namespace sorvane::gui {
namespace {

bool locked(const std::optional<ManagerCheck>& check) {
  return check && check->problem && check->problem->why == Problem::LockHeld;
}

}  // namespace

ManagerChecks::ManagerChecks(CheckSetup setup, std::chrono::milliseconds lock_recheck,
                             std::function<bool()> ready, QObject* parent)
    : QObject(parent), setup_(std::move(setup)), ready_(std::move(ready)), pool_(new QThreadPool) {
  pool_->setMaxThreadCount(static_cast<int>(MANAGERS.size()));
  lock_timer_.setSingleShot(true);
  lock_timer_.setInterval(lock_recheck);
  connect(&lock_timer_, &QTimer::timeout, this, &ManagerChecks::recheck_locked);
}

ManagerChecks::~ManagerChecks() {
  // A query still running ends at its own time limit; the window does not
  // wait for it to close.
  constexpr int CLOSING_WAIT_MS = 200;
  if (pool_->waitForDone(CLOSING_WAIT_MS)) delete pool_;
}

void ManagerChecks::reset(std::vector<Step> steps) {
  std::sort(steps.begin(), steps.end(), reported_before);
  rows_.clear();
  for (const Step step : steps) rows_.push_back({step, std::nullopt});
  ++generation_;
}

void ManagerChecks::fill(const std::vector<ManagerCheck>& answers) {
  for (Row& row : rows_) {
    const auto answer = std::find_if(answers.begin(), answers.end(),
                                     [&](const ManagerCheck& c) { return c.step == row.step; });
    if (answer != answers.end()) row.check = *answer;
  }
}

void ManagerChecks::ask_all() {
  for (const Row& row : rows_) ask(row.step);
}

void ManagerChecks::stop_rechecks() {
  rechecks_ = 0;
  lock_timer_.stop();
}

void ManagerChecks::ask(Step step) {
  const unsigned generation = generation_;
  auto* watcher = new QFutureWatcher<ManagerCheck>(this);
  connect(watcher, &QFutureWatcher<ManagerCheck>::finished, this, [this, watcher, generation] {
    take(generation, watcher->result());
    watcher->deleteLater();
  });
  watcher->setFuture(
      QtConcurrent::run(pool_, [setup = setup_, step] { return check_manager(step, setup); }));
}

void ManagerChecks::take(unsigned generation, const ManagerCheck& check) {
  if (generation != generation_) return;  // an answer to an earlier look
  for (Row& row : rows_) {
    if (row.step == check.step) row.check = check;
  }
  rechecks_ = std::max(0, rechecks_ - 1);
  emit answered();
  watch_locks();
}

void ManagerChecks::watch_locks() {
  const bool any =
      std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return locked(row.check); });
  if (ready_() && any && rechecks_ == 0 && !lock_timer_.isActive()) lock_timer_.start();
}

void ManagerChecks::recheck_locked() {
  if (!ready_()) return;
  // The row keeps its answer until the new one comes: no flicker.
  for (const Row& row : rows_) {
    if (locked(row.check)) {
      ++rechecks_;
      ask(row.step);
    }
  }
}

bool ManagerChecks::checking() const {
  return std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return !row.check; });
}

std::vector<ManagerCheck> ManagerChecks::answers() const {
  std::vector<ManagerCheck> all;
  for (const Row& row : rows_) {
    if (row.check) all.push_back(*row.check);
  }
  std::sort(all.begin(), all.end(),
            [](const ManagerCheck& a, const ManagerCheck& b) { return a.step < b.step; });
  return all;
}

const ManagerCheck* ManagerChecks::answer(Step step) const {
  const auto row =
      std::find_if(rows_.begin(), rows_.end(), [step](const Row& r) { return r.step == step; });
  return row == rows_.end() || !row->check ? nullptr : &*row->check;
}

QString ManagerChecks::row_text(size_t row) const {
  if (row >= rows_.size()) return {};
  const Row& shown = rows_[row];
  if (!shown.check) return CheckText::checking(shown.step);
  return (QStringList{CheckText::summary(*shown.check)} + CheckText::notes(*shown.check))
      .join(QLatin1Char('\n'));
}

QStringList ManagerChecks::pending_lines() const {
  QStringList lines;
  for (const ManagerCheck& check : answers()) {
    for (const QString& line : CheckText::updates(check)) {
      lines << UpdateWords::tr("%1: %2").arg(CheckText::name(check.step), line);
    }
  }
  return lines;
}

}  // namespace sorvane::gui
