// The window opened from the notice runs in the notifier's place, and so
// in the notifier's oneshot user unit: when that window closed during an
// update, the unit ended and systemd killed the update with it. Before the
// window takes the notifier's place, this process moves to a transient
// scope of its own (as a desktop launches an app): the update it starts is
// then the scope's, and no unit's end can reach it. Without a user systemd
// on the session bus nothing moves (nothing would kill the update either).
#pragma once

#include <QDBusConnection>
#include <QString>
#include <chrono>
#include <cstdint>

namespace sorvane::gui {

enum class ScopeOutcome : std::uint8_t {
  Moved,          // this process is in its own scope now
  NoUserManager,  // no systemd on the session bus
  Refused,        // systemd answered with an error, or the job failed
  Unanswered,     // no answer within the limit
};

struct ScopeMove {
  ScopeOutcome outcome = ScopeOutcome::NoUserManager;
  QString unit;    // app-example.sorvane.SorvaneUpdate-<pid>.scope
  QString detail;  // systemd's error, when it refused
};

inline constexpr std::chrono::milliseconds SCOPE_LIMIT{5000};

// Asks the user's systemd for the scope, with this process in it, and
// waits (at most `limit`) until its job is done.
ScopeMove move_to_own_scope(const QDBusConnection& bus,
                            std::chrono::milliseconds limit = SCOPE_LIMIT);

}  // namespace sorvane::gui
