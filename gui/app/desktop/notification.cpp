#include "notification.hpp"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>

namespace sorvane::gui {
namespace {

const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString OBJECT = QStringLiteral("/org/freedesktop/Notifications");
const QString INTERFACE = QStringLiteral("org.freedesktop.Notifications");
const QString APP_ID = QStringLiteral("example.sorvane.SorvaneUpdate");
// A notification server answers at once; one that does not is as good as none.
constexpr int CALL_LIMIT_MS = 25'000;

}  // namespace

bool notification_server_present(const QDBusConnection& bus) {
  const QDBusConnectionInterface* names = bus.interface();
  if (names != nullptr && names->isServiceRegistered(SERVICE).value()) return true;
  const QDBusMessage reply =
      bus.call(QDBusMessage::createMethodCall(
                   QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")),
               QDBus::Block, CALL_LIMIT_MS);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         reply.arguments().constFirst().toStringList().contains(SERVICE);
}

QStringList notification_capabilities(const QDBusConnection& bus) {
  const QDBusMessage reply = bus.call(
      QDBusMessage::createMethodCall(SERVICE, OBJECT, INTERFACE, QStringLiteral("GetCapabilities")),
      QDBus::Block, CALL_LIMIT_MS);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().constFirst().toStringList();
}

QDBusMessage notify_message(const QString& summary, const QString& body, const QStringList& actions,
                            bool resident) {
  QDBusMessage notify =
      QDBusMessage::createMethodCall(SERVICE, OBJECT, INTERFACE, QStringLiteral("Notify"));
  QVariantMap hints{{QStringLiteral("desktop-entry"), APP_ID}};
  if (resident) hints.insert(QStringLiteral("resident"), true);
  // 0: it never expires; -1: as long as the server chooses.
  notify << QStringLiteral("Sorvane Update") << uint{0} << APP_ID << summary << body << actions
         << hints << (resident ? 0 : -1);
  return notify;
}

// The answer to the one notification sent: its id is known once Notify
// has answered, and signals about any other notification are not for it.
class Notification::Listener : public QObject {
  Q_OBJECT

 public:
  explicit Listener(const QDBusConnection& bus)
      : gone(SERVICE, bus, QDBusServiceWatcher::WatchForUnregistration) {
    connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);
  }
  void expect(uint id, const QString& server) {
    id_ = id;
    server_ = server;
  }
  QEventLoop loop;
  QDBusServiceWatcher gone;  // the server went: no answer will come
  Answer answer = Answer::None;
  QString action;

 public slots:  // NOLINT(readability-redundant-access-specifiers): D-Bus signals need slots
  void invoked(uint id, const QString& key, const QDBusMessage& signal) {
    if (ours(id, signal)) end(Answer::Action, key);
  }
  void closed(uint id, uint /*reason*/, const QDBusMessage& signal) {
    if (ours(id, signal)) end(Answer::Closed, {});
  }

 private:
  [[nodiscard]] bool ours(uint id, const QDBusMessage& signal) const {
    return id_ && id == *id_ && !server_.isEmpty() && signal.service() == server_;
  }
  void end(Answer first, const QString& key) {
    if (answer != Answer::None) return;  // the first answer counts
    answer = first;
    action = key;
    loop.quit();
  }

  std::optional<uint> id_;
  QString server_;
};

Notification::Notification(const QDBusConnection& bus)
    : bus_(bus), listener_(std::make_unique<Listener>(bus)) {
  bus_.connect(QString(), OBJECT, INTERFACE, QStringLiteral("ActionInvoked"), listener_.get(),
               SLOT(invoked(uint, QString, QDBusMessage)));
  bus_.connect(QString(), OBJECT, INTERFACE, QStringLiteral("NotificationClosed"), listener_.get(),
               SLOT(closed(uint, uint, QDBusMessage)));
}

Notification::~Notification() {
  bus_.disconnect(QString(), OBJECT, INTERFACE, QStringLiteral("ActionInvoked"), listener_.get(),
                  SLOT(invoked(uint, QString, QDBusMessage)));
  bus_.disconnect(QString(), OBJECT, INTERFACE, QStringLiteral("NotificationClosed"),
                  listener_.get(), SLOT(closed(uint, uint, QDBusMessage)));
}

std::optional<QString> Notification::send(const QString& summary, const QString& body,
                                          const QStringList& actions, bool resident) {
  const QDBusMessage reply =
      bus_.call(notify_message(summary, body, actions, resident), QDBus::Block, CALL_LIMIT_MS);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    return reply.errorMessage();
  }
  // The reply's sender is the server's unique name, as the bus saw it.
  listener_->expect(reply.arguments().constFirst().toUInt(), reply.service());
  return std::nullopt;
}

Notification::Answer Notification::wait(std::chrono::milliseconds limit) {
  if (listener_->answer != Answer::None) return listener_->answer;
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &listener_->loop, &QEventLoop::quit);
  bound.start(limit);
  listener_->loop.exec();
  return listener_->answer;
}

const QString& Notification::action() const {
  return listener_->action;
}

}  // namespace sorvane::gui

#include "notification.moc"
