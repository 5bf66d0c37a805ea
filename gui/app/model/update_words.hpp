// What the screen says, as pure functions of what the model knows: each
// takes a snapshot and gives words, so that a question weighs its facts
// once. The words, wherever they are made, are one context for the
// translators: the model's own.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "foreseen.hpp"
#include "look.hpp"
#include "past_update.hpp"
#include "pending_check.hpp"
#include "power_and_network.hpp"
#include "restart_needed.hpp"
#include "script_output.hpp"
#include "update_progress.hpp"

namespace sorvane::gui {

class UpdateWords {
  Q_DECLARE_TR_FUNCTIONS(sorvane::gui::UpdateModel)
};

// NotRun: the update ended before this step began.
enum class StepState { Waiting, Running, Finished, Failed, NotRun };

// What the Ready screen weighs, taken once.
struct ReadyFacts {
  bool checking = false;
  bool refused = false;  // sudo refused the last attempt
  SudoAccess access = SudoAccess::Password;
  bool password_requested = false;
  Foreseen foreseen;
  std::vector<ManagerCheck> checks;
  // Of this computer: power and network, and whether the daily notice
  // skipped its check (metered). Its release's support has a line of its
  // own (SystemWords::support).
  PowerAndNetwork power = {};
  bool notice_skipped = false;
  // The field is offered only on request: the account is likely not allowed.
  [[nodiscard]] bool unlikely() const {
    return access == SudoAccess::Unlikely && !password_requested;
  }
  // Nothing pending, and every manager answered.
  [[nodiscard]] bool up_to_date() const;
};
QString ready_title(const ReadyFacts& facts);
// `message`, then `obstacles` (what would stop the update), then who may
// update and whether anything is waiting.
QString ready_text(const ReadyFacts& facts, const QString& message, const QStringList& obstacles);

// What the running step has done so far, and the package it is at.
QString progress_words(Step running, const StepProgress& step);
// How the update ended, in one line; `failure`: a failed one's own words.
QString done_words(const Finish& finish, bool end_unseen, const QString& failure);

// One step of an ended update, as the Done screen tells it.
struct StepOutcome {
  Step step = {};
  StepState state = StepState::NotRun;
  const ManagerCheck* check = nullptr;           // what the check said as the update began
  std::optional<std::vector<std::string>> left;  // not updated, when known
  std::vector<std::string> updated;              // updated, when known
  // Of an update followed, not started: what its log says it updated.
  bool followed = false;
  std::optional<size_t> followed_count;
};
// A line per manager: "apt: 131 packages updated, 6 packages kept back".
QStringList changes_words(const std::vector<StepOutcome>& steps);
// Each package updated, then those left as they were, a line each.
QStringList updated_words(const std::vector<StepOutcome>& steps);

// "The update started at 12:03 finished: 131 packages updated by apt."
QString past_words(const PastUpdate& past);
// "Restart the computer to finish the update…"; empty when none is due.
QString restart_words(const RestartNeed& restart);
// Config files the update left as the user had changed them, in one
// sentence; empty when none.
QString kept_configs_words(const std::vector<KeptConfig>& kept);

}  // namespace sorvane::gui
