#include "update_end.hpp"

#include <unistd.h>

#include <QDBusMessage>
#include <optional>

#include "notification.hpp"
#include "notifier.hpp"
#include "past_update.hpp"
#include "run_status.hpp"
#include "translations.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_process.hpp"

namespace sorvane::gui {
namespace {

const QString RESTART_ACTION = QStringLiteral("restart");
// logind answers at once; one that does not is as good as none.
constexpr int CALL_LIMIT_MS = 25'000;

}  // namespace

void tell_unwatched_end(const QDBusConnection& bus, const QString& summary, const QString& body,
                        bool restart, std::chrono::milliseconds limit) {
  if (!bus.isConnected()) return;
  QStringList actions;
  if (restart) actions << RESTART_ACTION << UpdateEnd::tr("Restart now");
  // Only the server it was sent to may answer it: another client of the
  // bus cannot restart the computer through it.
  Notification end(bus);
  if (end.send(summary, body.toHtmlEscaped(), actions) || !restart) return;
  if (end.wait(limit) == Notification::Answer::Action && end.action() == RESTART_ACTION) {
    // logind asks for authorization itself, as from the window.
    (void)QDBusConnection::systemBus().call(reboot_call(), QDBus::Block, CALL_LIMIT_MS);
  }
}

int run_update_monitor(int argc, char** argv) {
  auto end = monitor_update(argv[2], environ);
  if (!end) return 1;
  if (end.value().watched) return 0;
  const QCoreApplication app(argc, argv);
  const Translations translations;
  const RunStatus& status = end.value().status;
  const PastUpdate past =
      read_past_update(MONITOR_LOG_FD, status.wait_status, status.started, status.ended, "/",
                       recorded_sudo_end(MONITOR_RUN_FD, ::geteuid()));
  const RestartNeed restart = past_restart(past, CheckSetup{});
  tell_unwatched_end(QDBusConnection::sessionBus(), UpdateModel::past_text(past),
                     UpdateModel::restart_sentence(restart), restart.needed, ANSWER_LIMIT);
  return 0;
}

}  // namespace sorvane::gui
