// The monitor's mode of sorvane-gui (`--run-update BASH`, hidden): it runs
// the update (update_monitor.hpp) and, when no window watched it end,
// tells the user once, with a desktop notification: how it ended, and
// "Restart now" when a restart is due. It waits a bounded time for the
// answer, as the daily notice does, then ends: nothing stays running.
#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>
#include <chrono>

namespace sorvane::gui {

// The notification of an update's end nobody watched; with `restart`,
// a "Restart now" button, which asks logind. Waits for the answer at most
// `limit` when there is a button; not at all otherwise.
void tell_unwatched_end(const QDBusConnection& bus, const QString& summary, const QString& body,
                        bool restart, std::chrono::milliseconds limit);

// The whole of `sorvane-gui --run-update BASH`: its exit status.
int run_update_monitor(int argc, char** argv);

class UpdateEnd {
  Q_DECLARE_TR_FUNCTIONS(UpdateEnd)
};

}  // namespace sorvane::gui
