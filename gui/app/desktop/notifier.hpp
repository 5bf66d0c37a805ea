// The notice that updates are waiting: `sorvane-gui --check --notify`, run
// by a daily user timer, checks as --check does and, when updates are
// pending that it has not announced yet, posts one desktop notification
// through org.freedesktop.Notifications. It waits only for that
// notification's answer, then ends; "Open Sorvane Update" opens the window
// in its place. Nothing of it stays running between checks.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "pending_check.hpp"
#include "result.hpp"
#include "settings.hpp"

namespace sorvane::gui {

// The same pending updates, in any order, give the same fingerprint; any
// other update, or another version, gives another.
QByteArray pending_fingerprint(const std::vector<ManagerCheck>& checks);
// What was last announced; empty when nothing was (or it cannot be read).
QByteArray announced_fingerprint(const QString& file);
// Kept atomically, readable by the user alone.
bool remember_announced(const QString& file, const QByteArray& fingerprint);

// How long a notice's answer is waited for where the server keeps the
// notice until it is answered.
inline constexpr std::chrono::hours ANSWER_LIMIT{12};
// A server that keeps no notification takes it away after some seconds,
// and some tell no one (Debian's notification-daemon sends no
// NotificationClosed): no longer than this, then the window's own Ready
// screen is where the updates are found.
inline constexpr std::chrono::minutes FLEETING_ANSWER_LIMIT{2};

enum class NoticeOutcome : std::uint8_t {
  Opened,            // posted; the user asked for the window
  Dismissed,         // posted; closed, or it expired
  Unanswered,        // posted; no answer within the limit, or the server went
  AlreadyAnnounced,  // these very updates were announced before
  NothingPending,
  CheckFailed,
  TurnedOff,     // the setting is off
  NoSessionBus,  // no session bus can be reached
  NoServer,      // nothing on the bus shows notifications
  Refused,       // the server answered Notify with an error
};

struct NoticeOutcomeFacts {
  NoticeOutcome outcome;
  bool checked;     // the check ran (the setting and the bus allowed it)
  int exit_status;  // as --check says: 0 nothing pending, 100 pending, 1 failed
};

inline constexpr std::array<NoticeOutcomeFacts, 10> NOTICE_OUTCOMES = {{
    {NoticeOutcome::Opened, true, 100},
    {NoticeOutcome::Dismissed, true, 100},
    {NoticeOutcome::Unanswered, true, 100},
    {NoticeOutcome::AlreadyAnnounced, true, 100},
    {NoticeOutcome::NothingPending, true, 0},
    {NoticeOutcome::CheckFailed, true, 1},
    // Nobody could have been told: a timer's run that finds no desktop is
    // no failure.
    {NoticeOutcome::TurnedOff, false, 0},
    {NoticeOutcome::NoSessionBus, false, 0},
    {NoticeOutcome::NoServer, false, 0},
    {NoticeOutcome::Refused, true, 100},
}};
constexpr const NoticeOutcomeFacts& notice_facts(NoticeOutcome outcome) {
  return NOTICE_OUTCOMES.at(static_cast<size_t>(outcome));
}

// What a run of the notice came to.
struct NoticeRun {
  NoticeOutcome outcome = NoticeOutcome::NothingPending;
  std::vector<ManagerCheck> checks;  // when the check ran and answered
  QString detail;                    // the check's failure, or the bus's error
};

struct NoticeSetup {
  NoticePlaces places;
  std::chrono::milliseconds answer_limit = ANSWER_LIMIT;
  std::chrono::milliseconds fleeting_answer_limit = FLEETING_ANSWER_LIMIT;
};

// The check as the headless --check runs it: every manager's answer, or
// why there is none.
using NoticeCheck = std::function<Result<std::vector<ManagerCheck>, QString>()>;

// Everything but opening the window: the setting, the bus and its
// notification server, the check, the memory, Notify, and the wait for
// this notification's answer. Needs a QCoreApplication (it waits in an
// event loop).
NoticeRun run_notice(const QDBusConnection& bus, const NoticeSetup& setup,
                     const NoticeCheck& check);

class Notifier {
  Q_DECLARE_TR_FUNCTIONS(Notifier)

 public:
  // The one line a run says about the notice.
  static QString line(const NoticeRun& run);
};

// When an update ends while its window is not in front: one notification
// saying how it ended. Sent without waiting for an answer; with no
// notification server it is simply lost.
void tell_update_ended(const QDBusConnection& bus, const QString& summary, const QString& body);

}  // namespace sorvane::gui
