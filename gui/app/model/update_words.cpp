#include "update_words.hpp"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <climits>

#include "check_text.hpp"
#include "manager_facts.hpp"
#include "system_words.hpp"

namespace sorvane::gui {
namespace {

int counted(size_t count) {
  return static_cast<int>(std::min<size_t>(count, INT_MAX));
}

// How many new files the sentence names; the rest are in the logs.
constexpr qsizetype NAMED_CONFIGS = 5;

}  // namespace

bool ReadyFacts::up_to_date() const {
  return pending_count(checks) == 0 &&
         std::none_of(checks.begin(), checks.end(),
                      [](const ManagerCheck& c) { return c.problem.has_value(); });
}

QString ready_title(const ReadyFacts& facts) {
  if (facts.checking) return UpdateWords::tr("Checking for updates…");
  // sudo's own words follow, as they are: they are in the user's language.
  if (facts.refused) {
    return facts.access == SudoAccess::Unlikely ? UpdateWords::tr("sudo did not allow the update")
                                                : UpdateWords::tr("The password was not accepted");
  }
  if (facts.unlikely()) return UpdateWords::tr("Your account may not install updates");
  if (facts.foreseen.stops_update()) return UpdateWords::tr("The update would not succeed");
  const size_t count = pending_count(facts.checks);
  if (count > 0) return UpdateWords::tr("%n update(s) are ready", nullptr, counted(count));
  if (facts.up_to_date()) return UpdateWords::tr("Your system is up to date");
  return UpdateWords::tr("Ready to update");
}

QString ready_text(const ReadyFacts& facts, const QString& message, const QStringList& obstacles) {
  QStringList parts;
  if (!message.isEmpty()) parts << message;
  parts << obstacles;
  if (facts.unlikely()) {
    parts << UpdateWords::tr(
        "Installing updates needs an administrator's rights, and your account is in "
        "none of the groups that have them (sudo, wheel or admin). Ask the person who "
        "looks after this computer to update it, or to give your account those rights.");
  }
  if (facts.notice_skipped) parts << SystemWords::notice_skipped();
  if (!facts.checking && !facts.up_to_date()) {
    std::optional<std::uint64_t> download;
    for (const ManagerCheck& check : facts.checks) {
      if (check.download_bytes) download = download.value_or(0) + *check.download_bytes;
    }
    parts << SystemWords::power(facts.power, download);
  }
  if (!facts.checking && !facts.foreseen.stops_update() && facts.up_to_date()) {
    // Lists fetched for this check leave nothing newer for the update to
    // find; older ones may.
    const bool all_fresh =
        std::all_of(facts.checks.begin(), facts.checks.end(),
                    [](const ManagerCheck& check) { return check.fetched_for_check; });
    parts << (all_fresh ? UpdateWords::tr("Nothing is waiting.")
                        : UpdateWords::tr("Nothing is waiting. The update can still fetch the "
                                          "newest package lists."));
  }
  return parts.join(QStringLiteral("\n"));
}

QString progress_words(Step running, const StepProgress& step) {
  const QString who = CheckText::name(running);
  if (step.total == 0 || step.phase_total == 0) return UpdateWords::tr("%1 is updating…").arg(who);
  const auto at = static_cast<qsizetype>(step.phase_done);
  const auto of = static_cast<qsizetype>(step.phase_total);
  QString text;
  switch (step.phase) {
    case Phase::Busy: return UpdateWords::tr("%1 is updating…").arg(who);
    case Phase::Downloading:
      text = UpdateWords::tr("%1: downloading %2 of %3").arg(who).arg(at).arg(of);
      break;
    case Phase::Unpacking:
      text = UpdateWords::tr("%1: unpacking %2 of %3").arg(who).arg(at).arg(of);
      break;
    case Phase::SettingUp:
      text = UpdateWords::tr("%1: setting up %2 of %3").arg(who).arg(at).arg(of);
      break;
    case Phase::Installing:
      text = UpdateWords::tr("%1: installing %2 of %3").arg(who).arg(at).arg(of);
      break;
  }
  if (!step.current.empty()) text = UpdateWords::tr("%1 — %2").arg(text, from_bytes(step.current));
  return text;
}

QString done_words(const Finish& finish, bool end_unseen, const QString& failure) {
  switch (finish.outcome) {
    case Outcome::Success: return UpdateWords::tr("Update complete");
    case Outcome::SuccessWithWarnings: {
      const QString who = finish.failed_step ? CheckText::name(*finish.failed_step) : QString();
      const QString what = from_bytes(finish.message);
      if (finish.failed_step && facts(*finish.failed_step).progress.success_may_leave_all &&
          !what.startsWith(QStringLiteral("W:")) && !what.startsWith(QStringLiteral("E:"))) {
        return UpdateWords::tr(
                   "Finished with warnings: %1 ended without an error but did not update %2")
            .arg(who, what);
      }
      return who.isEmpty() ? UpdateWords::tr("Finished with warnings: “%1”").arg(what)
                           : UpdateWords::tr("Finished with warnings from %1: “%2”").arg(who, what);
    }
    case Outcome::Failed:
      if (end_unseen)
        return UpdateWords::tr("The update did not finish, or how it ended is not known.");
      return failure;
    case Outcome::PasswordRefused: break;
  }
  return {};
}

QStringList changes_words(const std::vector<StepOutcome>& steps) {
  QStringList lines;
  for (const StepOutcome& step : steps) {
    const QString who = CheckText::name(step.step);
    if (step.state == StepState::NotRun) {
      lines << UpdateWords::tr("%1: not run").arg(who);
      continue;
    }
    if (step.state == StepState::Failed) {
      lines << UpdateWords::tr("%1: failed").arg(who);
      continue;
    }
    if (step.followed) {
      lines << (step.followed_count ? UpdateWords::tr("%1: %n package(s) updated", nullptr,
                                                      counted(*step.followed_count))
                                          .arg(who)
                                    : UpdateWords::tr("%1: done").arg(who));
      continue;
    }
    const ManagerCheck* check = step.check;
    if (check == nullptr || !step.left) {
      lines << UpdateWords::tr("%1: done").arg(who);
      continue;
    }
    const size_t updated = check->updates.size() - step.left->size();
    const size_t kept = step.left->size() + check->kept_back.size();
    if (manager(step.step).updates == Updates::UserApps) {
      lines << UpdateWords::tr("%1: %2 of %n app(s) and runtime(s) updated", nullptr,
                               counted(check->updates.size()))
                   .arg(who)
                   .arg(static_cast<qsizetype>(updated));
    } else if (kept > 0) {
      lines << UpdateWords::tr("%1: %2, %3")
                   .arg(who, UpdateWords::tr("%n package(s) updated", nullptr, counted(updated)),
                        UpdateWords::tr("%n package(s) kept back", nullptr, counted(kept)));
    } else {
      lines << UpdateWords::tr("%1: %n package(s) updated", nullptr, counted(updated)).arg(who);
    }
  }
  return lines;
}

QStringList updated_words(const std::vector<StepOutcome>& steps) {
  QStringList lines;
  for (const StepOutcome& step : steps) {
    const ManagerCheck* check = step.check;
    if (check == nullptr) continue;
    ManagerCheck updated;
    updated.step = step.step;
    updated.kept_back = check->kept_back;
    std::copy_if(check->updates.begin(), check->updates.end(), std::back_inserter(updated.updates),
                 [&](const PendingUpdate& update) {
                   return std::find(step.updated.begin(), step.updated.end(), update.name) !=
                          step.updated.end();
                 });
    const QString who = CheckText::name(step.step);
    for (const QString& line : CheckText::updates(updated)) {
      lines << UpdateWords::tr("%1: %2").arg(who, line);
    }
    for (const std::string& name : step.left.value_or(std::vector<std::string>{})) {
      lines << UpdateWords::tr("%1: %2 (not updated)").arg(who, from_bytes(name));
    }
  }
  return lines;
}

QString past_words(const PastUpdate& past) {
  const QDateTime started = QDateTime::fromSecsSinceEpoch(past.started);
  const QLocale locale;
  // Today's time alone; another day's with its date.
  const QString when = started.date() == QDate::currentDate()
                           ? locale.toString(started.time(), QLocale::ShortFormat)
                           : locale.toString(started, QLocale::ShortFormat);
  const Finish& finish = past.finish;
  const QString who = finish.failed_step ? CheckText::name(*finish.failed_step) : QString();
  switch (finish.outcome) {
    case Outcome::Success: {
      QStringList done;
      for (const auto& [step, count] : past.updated) {
        done << UpdateWords::tr("%n package(s) updated by %1", nullptr, counted(count))
                    .arg(CheckText::name(step));
      }
      if (done.isEmpty()) return UpdateWords::tr("The update started at %1 finished.").arg(when);
      return UpdateWords::tr("The update started at %1 finished: %2.")
          .arg(when, done.join(QStringLiteral(", ")));
    }
    case Outcome::SuccessWithWarnings:
      return who.isEmpty()
                 ? UpdateWords::tr("The update started at %1 finished with warnings.").arg(when)
                 : UpdateWords::tr("The update started at %1 finished with warnings from %2.")
                       .arg(when, who);
    case Outcome::Failed:
    case Outcome::PasswordRefused:
      return who.isEmpty()
                 ? UpdateWords::tr("The update started at %1 did not finish.").arg(when)
                 : UpdateWords::tr("The update started at %1 failed at %2.").arg(when, who);
  }
  return {};
}

QString restart_words(const RestartNeed& restart) {
  if (!restart.needed) return {};
  if (restart.because.empty()) return UpdateWords::tr("Restart the computer to finish the update.");
  QStringList names;
  for (const std::string& name : restart.because) names << from_bytes(name);
  // The form follows how many are named: "systemd takes", "libc6, systemd take".
  return UpdateWords::tr("Restart the computer to finish the update: %1 take(s) effect only then.",
                         nullptr, counted(static_cast<size_t>(names.size())))
      .arg(names.join(QStringLiteral(", ")));
}

QString kept_configs_words(const std::vector<KeptConfig>& kept) {
  if (kept.empty()) return {};
  if (kept.size() == 1) {
    return UpdateWords::tr("Your changes to %1 were kept; the new version is beside it: %2.")
        .arg(from_bytes(kept.front().path), from_bytes(kept.front().beside));
  }
  QStringList beside;
  for (const KeptConfig& config : kept) {
    if (beside.size() == NAMED_CONFIGS) {
      beside << QStringLiteral("…");
      break;
    }
    beside << from_bytes(config.beside);
  }
  return UpdateWords::tr(
             "Your changes to %n configuration file(s) were kept; the new versions are beside "
             "them: %1.",
             nullptr, counted(kept.size()))
      .arg(beside.join(QStringLiteral(", ")));
}

}  // namespace sorvane::gui
