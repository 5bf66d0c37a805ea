// Stands for the window opened from the notice, in a user unit of a real
// systemd --user: it leaves for its own scope as the notifier does ("move")
// or not ("stay"), starts an "update" that outlives it, and ends, as a
// window closed during an update does. The update writes "survived" to
// MARKER once UNIT has ended; killed with the unit, it writes nothing.
//
// usage: gui_scope_driver move|stay MARKER UNIT
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>
#include <string>

#include "own_scope.hpp"

int main(int argc, char* argv[]) {
  const QCoreApplication app(argc, argv);
  if (argc != 4) {
    std::fputs("usage: gui_scope_driver move|stay MARKER UNIT\n", stderr);
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "move") {
    const sorvane::gui::ScopeMove move =
        sorvane::gui::move_to_own_scope(QDBusConnection::sessionBus());
    std::printf("scope=%s outcome=%d %s\n", qPrintable(move.unit), static_cast<int>(move.outcome),
                qPrintable(move.detail));
    std::fflush(stdout);
    if (move.outcome != sorvane::gui::ScopeOutcome::Moved) return 3;
  }
  const std::string update =
      "echo $$ > \"$1.pid\"; cat /proc/self/cgroup > \"$1.cgroup\"; "
      "for i in $(seq 300); do "
      "  case $(systemctl --user show -p ActiveState --value \"$2\") in "
      "    inactive|failed) echo survived > \"$1\"; exit 0;; esac; sleep 0.1; "
      "done";
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sh", "sh", "-c", update.c_str(), "update", argv[2], argv[3], nullptr);
    ::_exit(127);
  }
  // The window closes once the update has begun.
  const std::string pid_file = std::string(argv[2]) + ".pid";
  for (int i = 0; i < 1000 && ::access(pid_file.c_str(), F_OK) != 0; ++i) ::usleep(10'000);
  return child > 0 ? 0 : 1;
}
