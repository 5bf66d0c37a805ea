#include "update_end.hpp"

#include <unistd.h>

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>
#include <optional>

#include "notifier.hpp"
#include "past_update.hpp"
#include "translations.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_process.hpp"

namespace sorvane::gui {
namespace {

const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString OBJECT = QStringLiteral("/org/freedesktop/Notifications");
const QString INTERFACE = QStringLiteral("org.freedesktop.Notifications");
const QString APP_ID = QStringLiteral("example.sorvane.SorvaneUpdate");
const QString RESTART_ACTION = QStringLiteral("restart");
constexpr int CALL_LIMIT_MS = 25'000;

}  // namespace

// The answer to the one notification sent, from the server it was sent to
// alone: another client on the bus cannot restart the computer through it.
class EndAnswer : public QObject {
  Q_OBJECT

 public:
  EndAnswer(QEventLoop* loop, QString server, uint id)
      : loop_(loop), server_(std::move(server)), id_(id) {}
  [[nodiscard]] bool restart() const { return restart_; }

 public slots:  // NOLINT(readability-redundant-access-specifiers): D-Bus signals need slots
  void action(uint id, const QString& key, const QDBusMessage& message) {
    if (id != id_ || message.service() != server_) return;
    restart_ = key == RESTART_ACTION;
    loop_->quit();
  }
  void closed(uint id, uint /*reason*/, const QDBusMessage& message) {
    if (id == id_ && message.service() == server_) loop_->quit();
  }

 private:
  QEventLoop* loop_;
  QString server_;
  uint id_;
  bool restart_ = false;
};

void tell_unwatched_end(const QDBusConnection& bus, const QString& summary, const QString& body,
                        bool restart, std::chrono::milliseconds limit) {
  if (!bus.isConnected()) return;
  QDBusConnection connection = bus;
  QStringList actions;
  if (restart) actions << RESTART_ACTION << UpdateEnd::tr("Restart now");
  QDBusMessage notify =
      QDBusMessage::createMethodCall(SERVICE, OBJECT, INTERFACE, QStringLiteral("Notify"));
  notify << QStringLiteral("Sorvane Update") << uint{0} << APP_ID << summary << body.toHtmlEscaped()
         << actions << QVariantMap{{QStringLiteral("desktop-entry"), APP_ID}} << -1;
  QEventLoop loop;
  const QDBusMessage reply = connection.call(notify, QDBus::Block, CALL_LIMIT_MS);
  if (!restart || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
  // Listening from the reply on: the stand-in and real servers alike
  // answer after it, as a person does.
  EndAnswer answer(&loop, reply.service(), reply.arguments().constFirst().toUInt());
  connection.connect(QString(), OBJECT, INTERFACE, QStringLiteral("ActionInvoked"), &answer,
                     SLOT(action(uint, QString, QDBusMessage)));
  connection.connect(QString(), OBJECT, INTERFACE, QStringLiteral("NotificationClosed"), &answer,
                     SLOT(closed(uint, uint, QDBusMessage)));
  const QDBusServiceWatcher gone(SERVICE, connection, QDBusServiceWatcher::WatchForUnregistration);
  QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  bound.start(limit);
  loop.exec();
  if (answer.restart()) {
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
      read_past_update(MONITOR_LOG_FD, status.wait_status, status.started, status.ended, "/");
  const RestartNeed restart = past_restart(past, CheckSetup{});
  tell_unwatched_end(QDBusConnection::sessionBus(), UpdateModel::past_text(past),
                     UpdateModel::restart_sentence(restart), restart.needed, ANSWER_LIMIT);
  return 0;
}

}  // namespace sorvane::gui

#include "update_end.moc"
