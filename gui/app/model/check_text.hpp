// What the check before the update says, in words: one row per manager,
// the reason for each problem, the packages for Details. The window, the
// headless check and its JSON all say it with these.
#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <vector>

#include "foreseen.hpp"
#include "pending_check.hpp"

namespace sorvane::gui {

// Outside text (a path, a manager's words) as the window shows it.
inline QString from_bytes(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

class CheckText {
  Q_DECLARE_TR_FUNCTIONS(CheckText)

 public:
  static QString name(Step step);
  // "apt — 131 updates (88 security), 186 MB, lists from 3 hours ago"
  static QString summary(const ManagerCheck& check);
  static QString checking(Step step);
  // What is wrong, briefly; what to do about it (may be empty); both.
  static QString reason(Step step, const CheckProblem& problem);
  static QString remedy(Step step, const CheckProblem& problem);
  static QString problem(Step step, const CheckProblem& problem);
  // What the row says besides its summary, as information: the config
  // files the user changed that the update keeps.
  static QStringList notes(const ManagerCheck& check);
  // What the Ready screen says of what would stop the update, a paragraph
  // each, from `foreseen`; `steps` in the script's order. Empty when nothing
  // would. The headless check says the same. `own_remedy`, when given,
  // takes the place of the stopping manager's remedy (the window's
  // Repair…), and one that checks again by itself asks for no Check again.
  static QStringList obstacles(const Foreseen& foreseen, const std::vector<ManagerCheck>& checks,
                               const std::vector<Step>& steps, const QString& own_remedy = {},
                               bool checks_again_itself = false);
  static QString shortage(const SpaceShortage& shortage);
  // "libssl3 3.0.11-1 → 3.0.13-1 (security)", one per pending update.
  static QStringList updates(const ManagerCheck& check);
  // Why `step` leaves a pending package as it is: "being rolled out to 30 %
  // of computers". The Ready and the Done screens say the same.
  static QString held_reason(Step step, const HeldBack& held);
  static QString size(std::uint64_t bytes);
  static QString age(std::int64_t seconds);

  // One line of the report as a terminal may be given it (terminal_safe).
  static QString terminal_line(const QString& line);
  // The headless check's report, for a person and as JSON.
  static QString report(const std::vector<ManagerCheck>& checks, bool online = true);
  static QJsonDocument json(const std::vector<ManagerCheck>& checks, bool online = true);

  // The notice that updates wait: "12 updates are waiting", "3 of them are
  // security updates" (empty when none is), and its button.
  static QString notice_summary(const std::vector<ManagerCheck>& checks);
  static QString notice_body(const std::vector<ManagerCheck>& checks);
  static QString notice_action();
};

// 100 when anything is pending, 1 when a check failed or the update would
// not succeed, 0 when all is up to date: the convention of `dnf
// check-update`, so scripts can tell. 101 when nothing would be updated
// but a security update is held or kept back: never "up to date".
int check_exit_status(const std::vector<ManagerCheck>& checks, bool online = true);
inline constexpr int PENDING_STATUS = 100;
inline constexpr int HELD_SECURITY_STATUS = 101;

}  // namespace sorvane::gui
