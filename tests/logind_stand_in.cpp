// A logind for the window's tests, on the private system bus a test starts:
// it owns org.freedesktop.login1 and implements what the window asks of
// the real one. Nothing here restarts anything.
// - Reboot(b) is answered the way it is told: accepted ("yes"), refused
//   with an access error ("denied"), refused because no agent could ask
//   for authorization ("no-agent"), or refused as logind does while a
//   shutdown is under way ("busy"), or never answered, as while an
//   agent waits for the user's password ("hold").
// - Inhibit(ssss) returns the write end of a pipe; the read end stays here,
//   and its end of file says when the last holder let the lock go.
// Each call, and each lock let go, is one line of the record file:
//   Reboot true
//   Inhibit shutdown:sleep|Sorvane Update|Packages are being updated|block pipe:[1234]
//   Released pipe:[1234]
// It prints "ready" once it owns the name.
//
// usage: logind_stand_in RECORD yes|denied|no-agent|busy|hold
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QSocketNotifier>
#include <array>
#include <cstdio>

namespace {

class StandIn : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  StandIn(QString record, QString answer)
      : record_(std::move(record)), answer_(std::move(answer)) {}

 public slots:  // NOLINT(readability-redundant-access-specifiers)
  Q_SCRIPTABLE void Reboot(bool interactive) {
    write(QStringLiteral("Reboot %1").arg(interactive ? "true" : "false"));
    // The errors logind itself sends: polkit said no, no agent could ask,
    // or a shutdown is already under way.
    if (answer_ == QLatin1String("denied")) {
      sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                     QStringLiteral("Access denied"));
    } else if (answer_ == QLatin1String("no-agent")) {
      sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"),
                     QStringLiteral("Interactive authentication required."));
    } else if (answer_ == QLatin1String("hold")) {
      setDelayedReply(true);  // and never sent
    } else if (answer_ == QLatin1String("busy")) {
      sendErrorReply(QStringLiteral("org.freedesktop.login1.OperationInProgress"),
                     QStringLiteral("There's already a shutdown or sleep operation in progress"));
    }
  }

  Q_SCRIPTABLE QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who,
                                               const QString& why, const QString& mode) {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
      sendErrorReply(QDBusError::Failed, QStringLiteral("no pipe"));
      return {};
    }
    const QString name = pipe_name(ends[0]);
    write(QStringLiteral("Inhibit %1|%2|%3|%4 %5").arg(what, who, why, mode, name));
    // The reply carries a copy; this process keeps only the read end.
    const QDBusUnixFileDescriptor lock(ends[1]);
    ::close(ends[1]);
    auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, name] {
      std::array<char, 64> bytes{};
      if (::read(static_cast<int>(notifier->socket()), bytes.data(), bytes.size()) > 0) return;
      write(QStringLiteral("Released %1").arg(name));
      notifier->setEnabled(false);
      ::close(static_cast<int>(notifier->socket()));
      notifier->deleteLater();
    });
    return lock;
  }

 private:
  static QString pipe_name(int fd) {
    struct stat about {};
    if (::fstat(fd, &about) != 0) return QStringLiteral("pipe:[?]");
    return QStringLiteral("pipe:[%1]").arg(about.st_ino);
  }
  void write(const QString& line) const {
    QFile record(record_);
    if (record.open(QIODevice::Append)) record.write(line.toUtf8() + '\n');
  }

  QString record_;
  QString answer_;
};

}  // namespace

int main(int argc, char* argv[]) {
  const QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  const QStringList answers = {"yes", "denied", "no-agent", "busy", "hold"};
  if (args.size() != 3 || !answers.contains(args[2])) {
    (void)std::fputs("usage: logind_stand_in RECORD yes|denied|no-agent|busy|hold\n", stderr);
    return 2;
  }
  // Only ever on a bus a test started: never the machine's own.
  if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS")) {
    (void)std::fputs("logind_stand_in: DBUS_SYSTEM_BUS_ADDRESS must name the test's bus\n", stderr);
    return 2;
  }
  StandIn stand_in(args[1], args[2]);
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &stand_in,
                          QDBusConnection::ExportScriptableSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
    (void)std::fprintf(stderr, "logind_stand_in: %s\n", qPrintable(bus.lastError().message()));
    return 1;
  }
  (void)std::puts("ready");
  (void)std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "logind_stand_in.moc"
