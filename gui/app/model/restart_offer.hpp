// After an update: whether the computer should be restarted, found out in
// the background once the Done screen shows (dnf's answer takes a
// moment), and the offer of it, "Restart now" (logind asks for
// authorization itself) or "Later". The last run's offer, told at the next
// start, is the same offer.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "logind.hpp"
#include "pending_check.hpp"
#include "restart_needed.hpp"
#include "update_run.hpp"

namespace sorvane::gui {

class RestartOffer : public QObject {
  Q_OBJECT

 public:
  // `shown`: whether a screen that offers it shows now.
  RestartOffer(CheckSetup check, std::function<bool()> shown, QObject* parent);

  // A new update: nothing known of its restart yet.
  void forget();
  // The last run's, known already.
  void take(const RestartNeed& need);
  // Whether that has been found out: text() is final then.
  [[nodiscard]] bool known() const { return need_.has_value(); }
  [[nodiscard]] bool offered() const;
  // Why, in one sentence; empty when none is offered.
  [[nodiscard]] QString text() const;
  // "Restart now": asked, not answered yet, while asked() holds; the answer
  // comes as answered().
  void ask();
  [[nodiscard]] bool asked() const { return call_->asked(); }
  // "Later": the offer goes.
  void later();

  // Finds out what `run`, ended, needs: from what each step that ran
  // updated, or for a followed update from the managers' logs (told to
  // the run). `wanted`: the answer, once it comes, is still this run's.
  void find_out(UpdateRun& run, std::function<bool()> wanted);

 signals:
  void changed();
  void answered(const QString& text);

 private:
  void find_out_followed(UpdateRun& run, std::function<bool()> wanted);

  CheckSetup check_;
  std::function<bool()> shown_;
  std::optional<RestartNeed> need_;
  bool later_ = false;
  Restart* call_;  // logind's answer to come
};

// What the steps of `run` that ran ask of each manager's restart signal.
RestartQuestion restart_question(const UpdateRun& run);

}  // namespace sorvane::gui
