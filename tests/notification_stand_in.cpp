// A notification server for the notice's tests: it owns
// org.freedesktop.Notifications on the session bus it is given, writes one
// JSON line per Notify call to a record file, and answers each the way it
// is told to: by the user's click on the button ("open"), on the notice
// itself ("default"), by closing it ("close"), or not at all ("none").
// It prints "ready" once it owns the name.
//
// usage: notification_stand_in RECORD none|open|default|close
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <cstdio>

namespace {

class StandIn : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  StandIn(QString record, QString answer, bool persistence)
      : record_(std::move(record)), answer_(std::move(answer)), persistence_(persistence) {}

 public slots:  // NOLINT(readability-redundant-access-specifiers)
  Q_SCRIPTABLE uint Notify(const QString& app_name, uint replaces_id, const QString& app_icon,
                           const QString& summary, const QString& body, const QStringList& actions,
                           const QVariantMap& hints, int expire) {
    const uint id = ++last_id_;
    QFile record(record_);
    if (record.open(QIODevice::Append)) {
      const QJsonObject call{
          {QStringLiteral("app_name"), app_name},
          {QStringLiteral("replaces_id"), static_cast<int>(replaces_id)},
          {QStringLiteral("app_icon"), app_icon},
          {QStringLiteral("summary"), summary},
          {QStringLiteral("body"), body},
          {QStringLiteral("actions"), QJsonArray::fromStringList(actions)},
          {QStringLiteral("desktop_entry"),
           hints.value(QStringLiteral("desktop-entry")).toString()},
          {QStringLiteral("expire"), expire},
          {QStringLiteral("resident"), hints.value(QStringLiteral("resident")).toBool()},
      };
      record.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
    }
    // The answer comes after the reply, as from a person.
    QTimer::singleShot(50, this, [this, id] { answer(id); });
    return id;
  }
  Q_SCRIPTABLE QStringList GetCapabilities() {
    QStringList can{QStringLiteral("actions"), QStringLiteral("body")};
    if (persistence_) can << QStringLiteral("persistence");
    return can;
  }
  Q_SCRIPTABLE void CloseNotification(uint id) { closed(id, 3); }

 private:
  void answer(uint id) {
    if (answer_ == QLatin1String("open")) invoked(id, QStringLiteral("open"));
    if (answer_ == QLatin1String("default")) invoked(id, QStringLiteral("default"));
    if (answer_ == QLatin1String("close")) closed(id, 2);
  }
  static void send(const QString& name, const QVariantList& arguments) {
    QDBusMessage signal =
        QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                   QStringLiteral("org.freedesktop.Notifications"), name);
    signal.setArguments(arguments);
    QDBusConnection::sessionBus().send(signal);
  }
  // Another notification's opposite answer first: the notifier must wait
  // for its own.
  static void invoked(uint id, const QString& key) {
    send(QStringLiteral("NotificationClosed"), {id + 100, 2U});
    send(QStringLiteral("ActionInvoked"), {id, key});
  }
  static void closed(uint id, uint reason) {
    send(QStringLiteral("ActionInvoked"), {id + 100, QStringLiteral("open")});
    send(QStringLiteral("NotificationClosed"), {id, reason});
  }

  QString record_;
  QString answer_;
  bool persistence_;
  uint last_id_ = 41;
};

}  // namespace

int main(int argc, char* argv[]) {
  const QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 3 && !(args.size() == 4 && args[3] == QLatin1String("persistence"))) {
    std::fputs("usage: notification_stand_in RECORD none|open|default|close [persistence]\n",
               stderr);
    return 2;
  }
  StandIn stand_in(args[1], args[2], args.size() == 4);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &stand_in,
                          QDBusConnection::ExportScriptableSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "notification_stand_in: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "notification_stand_in.moc"
