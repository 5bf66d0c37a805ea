// The check before the update: one row per manager the script will run, in
// the order sorvane reports them, each filled in as its query ends. Every
// manager is asked at once on a pool of its own (the slow network queries
// overlap); one whose database another program holds is asked again until
// the lock goes, so that the screen changes by itself.
#pragma once

#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "pending_check.hpp"

namespace sorvane::gui {

class ManagerChecks : public QObject {
  Q_OBJECT

 public:
  // `ready`: whether answers are wanted now (asking again only then).
  ManagerChecks(CheckSetup setup, std::chrono::milliseconds lock_recheck,
                std::function<bool()> ready, QObject* parent);
  ~ManagerChecks() override;
  ManagerChecks(const ManagerChecks&) = delete;
  ManagerChecks& operator=(const ManagerChecks&) = delete;
  ManagerChecks(ManagerChecks&&) = delete;
  ManagerChecks& operator=(ManagerChecks&&) = delete;

  // A new look's rows, none answered; answers to an earlier look are
  // dropped from now on.
  void reset(std::vector<Step> steps);
  // Answers already had (tests); or every row's manager asked.
  void fill(const std::vector<ManagerCheck>& answers);
  void ask_all();
  // No more asking again until a row says a lock is held.
  void stop_rechecks();
  // Asks again later while a row says a lock is held.
  void watch_locks();

  // One manager's answer, for the look `generation` belongs to.
  void take(unsigned generation, const ManagerCheck& check);
  [[nodiscard]] unsigned generation() const { return generation_; }

  [[nodiscard]] size_t size() const { return rows_.size(); }
  [[nodiscard]] QString row_text(size_t row) const;
  // The row's manager and its answer, if it came.
  [[nodiscard]] std::optional<Step> step(size_t row) const {
    return row < rows_.size() ? std::optional(rows_[row].step) : std::nullopt;
  }
  [[nodiscard]] const ManagerCheck* check(size_t row) const {
    return row < rows_.size() && rows_[row].check ? &*rows_[row].check : nullptr;
  }
  [[nodiscard]] bool checking() const;
  // Every answer had, in the script's order.
  [[nodiscard]] std::vector<ManagerCheck> answers() const;
  // The answer for `step`, if it came.
  [[nodiscard]] const ManagerCheck* answer(Step step) const;
  // Every pending update, a line each, for Details.
  [[nodiscard]] QStringList pending_lines() const;

 signals:
  void answered();

 private:
  void ask(Step step);
  void recheck_locked();

  struct Row {
    Step step = {};
    std::optional<ManagerCheck> check;
  };
  CheckSetup setup_;
  std::function<bool()> ready_;
  std::vector<Row> rows_;  // in report order
  unsigned generation_ = 0;
  QThreadPool* pool_;
  QTimer lock_timer_;
  int rechecks_ = 0;  // asked again, not answered yet
};

}  // namespace sorvane::gui
