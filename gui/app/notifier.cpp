#include "notifier.hpp"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "check_text.hpp"
#include "installation.hpp"
#include "own_scope.hpp"
#include "writer.hpp"

namespace sorvane::gui {
namespace {

const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString OBJECT = QStringLiteral("/org/freedesktop/Notifications");
const QString INTERFACE = QStringLiteral("org.freedesktop.Notifications");
const QString APP_ID = QStringLiteral("example.sorvane.SorvaneUpdate");
const QString SETTING = QStringLiteral("notice/updates_waiting");
// The notification's actions: the click on the notice itself, and its button.
const QString DEFAULT_ACTION = QStringLiteral("default");
const QString OPEN_ACTION = QStringLiteral("open");
// A notification server answers at once; one that does not is as good as none.
constexpr int CALL_LIMIT_MS = 25'000;
// A fingerprint is 64 hexadecimal digits: anything longer is not one.
constexpr qint64 MAX_ANNOUNCED_BYTES = 256;

QString xdg_dir(const char* set, const char* home, const char* below_home) {
  if (set != nullptr && set[0] == '/') return QString::fromLocal8Bit(set);
  if (home != nullptr && home[0] == '/') {
    return QString::fromLocal8Bit(home) + QLatin1Char('/') + QLatin1String(below_home);
  }
  return {};
}

QString below(const QString& dir, const char* file) {
  return dir.isEmpty() ? QString() : dir + QStringLiteral("/sorvane/") + QLatin1String(file);
}

// Whether anything on the bus shows notifications, or would be started to.
bool server_present(const QDBusConnection& bus) {
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

bool shows_markup(const QDBusConnection& bus) {
  const QDBusMessage reply = bus.call(
      QDBusMessage::createMethodCall(SERVICE, OBJECT, INTERFACE, QStringLiteral("GetCapabilities")),
      QDBus::Block, CALL_LIMIT_MS);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
         reply.arguments().constFirst().toStringList().contains(QStringLiteral("body-markup"));
}

size_t pending_count(const std::vector<ManagerCheck>& checks) {
  size_t count = 0;
  for (const ManagerCheck& check : checks) count += check.updates.size();
  return count;
}

}  // namespace

// The answer to one notification: its id is known once Notify has
// answered; signals about any other notification are not for it, and only
// the server that answered Notify may answer it: any other client of the
// session bus can send a signal of the same name and path.
class NoticeAnswer : public QObject {
  Q_OBJECT

 public:
  explicit NoticeAnswer(QEventLoop* loop) : loop_(loop) {}
  void expect(uint id, const QString& server) {
    id_ = id;
    server_ = server;
  }
  [[nodiscard]] NoticeOutcome outcome() const { return outcome_; }

 public slots:  // NOLINT(readability-redundant-access-specifiers): D-Bus signals need slots
  void action(uint id, const QString& key, const QDBusMessage& signal) {
    if (!ours(id, signal) || (key != DEFAULT_ACTION && key != OPEN_ACTION)) return;
    end(NoticeOutcome::Opened);
  }
  void closed(uint id, uint /*reason*/, const QDBusMessage& signal) {
    if (ours(id, signal)) end(NoticeOutcome::Dismissed);
  }

 private:
  // The bus itself names a signal's sender by its unique name: that
  // cannot be forged.
  [[nodiscard]] bool ours(uint id, const QDBusMessage& signal) const {
    return id_ && id == *id_ && !server_.isEmpty() && signal.service() == server_;
  }
  void end(NoticeOutcome outcome) {
    if (outcome_ != NoticeOutcome::Unanswered) return;  // the first answer counts
    outcome_ = outcome;
    loop_->quit();
  }

  QEventLoop* loop_;
  std::optional<uint> id_;
  QString server_;
  NoticeOutcome outcome_ = NoticeOutcome::Unanswered;
};

NoticePlaces notice_places(const char* home, const char* config_home, const char* state_home) {
  return {below(xdg_dir(config_home, home, ".config"), "sorvane-gui.conf"),
          below(xdg_dir(state_home, home, ".local/state"), "announced")};
}

NoticePlaces desktop_notice_places() {
  // NOLINTBEGIN(concurrency-mt-unsafe): read before any thread starts
  return notice_places(std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME"),
                       std::getenv("XDG_STATE_HOME"));
  // NOLINTEND(concurrency-mt-unsafe)
}

bool notice_wanted(const QString& settings) {
  if (settings.isEmpty()) return true;
  return QSettings(settings, QSettings::IniFormat).value(SETTING, true).toBool();
}

bool save_notice_wanted(const QString& settings, bool wanted) {
  if (settings.isEmpty()) return false;
  QSettings file(settings, QSettings::IniFormat);
  file.setValue(SETTING, wanted);
  file.sync();
  return file.status() == QSettings::NoError;
}

QByteArray pending_fingerprint(const std::vector<ManagerCheck>& checks) {
  std::vector<std::string> lines;
  for (const ManagerCheck& check : checks) {
    for (const PendingUpdate& update : check.updates) {
      lines.push_back(std::string(manager_name(check.step)) + '\t' + update.name + '\t' +
                      update.to + '\n');
    }
  }
  std::sort(lines.begin(), lines.end());
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (const std::string& line : lines) {
    hash.addData(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
  }
  return hash.result().toHex();
}

QByteArray announced_fingerprint(const QString& file) {
  QFile kept(file);
  if (file.isEmpty() || !kept.open(QIODevice::ReadOnly)) return {};
  return kept.read(MAX_ANNOUNCED_BYTES).trimmed();
}

bool remember_announced(const QString& file, const QByteArray& fingerprint) {
  if (file.isEmpty()) return false;
  const QByteArray path = file.toLocal8Bit();
  const QByteArray line = fingerprint + '\n';
  // The script's own atomic write: a new file, exactly 0600, renamed into place.
  return write_script(std::string_view(path.constData(), static_cast<size_t>(path.size())),
                      std::string_view(line.constData(), static_cast<size_t>(line.size())))
      .ok();
}

NoticeRun run_notice(const QDBusConnection& bus, const NoticeSetup& setup,
                     const NoticeCheck& check) {
  NoticeRun run;
  const auto ended = [&run](NoticeOutcome outcome, QString detail = {}) {
    run.outcome = outcome;
    run.detail = std::move(detail);
    return run;
  };
  if (!notice_wanted(setup.places.settings)) return ended(NoticeOutcome::TurnedOff);
  QDBusConnection connection = bus;
  if (!connection.isConnected()) {
    return ended(NoticeOutcome::NoSessionBus, connection.lastError().message());
  }
  if (!server_present(connection)) return ended(NoticeOutcome::NoServer);

  auto checked = check();
  if (!checked) return ended(NoticeOutcome::CheckFailed, checked.error());
  run.checks = std::move(checked.value());
  if (check_exit_status(run.checks) == 1) return ended(NoticeOutcome::CheckFailed);
  if (pending_count(run.checks) == 0) return ended(NoticeOutcome::NothingPending);
  const QByteArray fingerprint = pending_fingerprint(run.checks);
  if (announced_fingerprint(setup.places.announced) == fingerprint) {
    return ended(NoticeOutcome::AlreadyAnnounced);
  }

  // Listening before Notify is sent: an answer that comes at once is not missed.
  QEventLoop loop;
  NoticeAnswer answer(&loop);
  connection.connect(QString(), OBJECT, INTERFACE, QStringLiteral("ActionInvoked"), &answer,
                     SLOT(action(uint, QString, QDBusMessage)));
  connection.connect(QString(), OBJECT, INTERFACE, QStringLiteral("NotificationClosed"), &answer,
                     SLOT(closed(uint, uint, QDBusMessage)));
  const QDBusServiceWatcher gone(SERVICE, connection, QDBusServiceWatcher::WatchForUnregistration);
  QObject::connect(&gone, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);

  QString body = CheckText::notice_body(run.checks);
  if (shows_markup(connection)) body = body.toHtmlEscaped();
  const QString action = CheckText::notice_action();
  QDBusMessage notify =
      QDBusMessage::createMethodCall(SERVICE, OBJECT, INTERFACE, QStringLiteral("Notify"));
  notify << QStringLiteral("Sorvane Update") << uint{0} << APP_ID
         << CheckText::notice_summary(run.checks) << body
         << QStringList{DEFAULT_ACTION, action, OPEN_ACTION, action}
         << QVariantMap{{QStringLiteral("desktop-entry"), APP_ID}} << -1;
  const QDBusMessage reply = connection.call(notify, QDBus::Block, CALL_LIMIT_MS);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    return ended(NoticeOutcome::Refused, reply.errorMessage());
  }
  // Told once: a later check with the same updates stays quiet, whatever
  // the user does with this notice.
  (void)remember_announced(setup.places.announced, fingerprint);
  // The reply's sender is the server's unique name, as the bus saw it.
  answer.expect(reply.arguments().constFirst().toUInt(), reply.service());

  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  limit.start(setup.answer_limit);
  loop.exec();
  return ended(answer.outcome());
}

void tell_update_ended(const QDBusConnection& bus, const QString& summary, const QString& body) {
  if (!bus.isConnected()) return;
  QDBusMessage notify =
      QDBusMessage::createMethodCall(SERVICE, OBJECT, INTERFACE, QStringLiteral("Notify"));
  // The summary is plain text to every server; the body is escaped in case
  // the server reads markup (what it holds has no "<" or "&" of its own).
  notify << QStringLiteral("Sorvane Update") << uint{0} << APP_ID << summary << body.toHtmlEscaped()
         << QStringList{} << QVariantMap{{QStringLiteral("desktop-entry"), APP_ID}} << -1;
  (void)bus.send(notify);
}

QString Notifier::line(const NoticeRun& run) {
  switch (run.outcome) {
    case NoticeOutcome::Opened: return tr("The notice was shown; Sorvane Update opens.");
    case NoticeOutcome::Dismissed: return tr("The notice was shown and closed.");
    case NoticeOutcome::Unanswered: return tr("The notice was shown.");
    case NoticeOutcome::AlreadyAnnounced:
      return tr("No notice: these updates were announced before.");
    case NoticeOutcome::NothingPending: return tr("No notice: nothing is waiting.");
    case NoticeOutcome::CheckFailed: return tr("No notice: the check failed.");
    case NoticeOutcome::TurnedOff:
      return tr("No notice: \"Tell me when updates are waiting\" is turned off.");
    case NoticeOutcome::NoSessionBus: return tr("No notice: there is no session bus.");
    case NoticeOutcome::NoServer:
      return tr("No notice: nothing on the session bus shows notifications.");
    case NoticeOutcome::Refused:
      return tr("No notice: the notification service refused it: %1").arg(run.detail);
  }
  return {};
}

int notify_headless(const UpdateModel::Setup& setup) {
  const NoticeSetup notice{desktop_notice_places()};
  const NoticeRun run = run_notice(QDBusConnection::sessionBus(), notice,
                                   [&setup]() -> Result<std::vector<ManagerCheck>, QString> {
                                     const UpdateModel::Looked looked =
                                         look_for_update(setup, false);
                                     if (looked.state == UpdateModel::State::NothingFound) {
                                       return std::vector<ManagerCheck>{};
                                     }
                                     if (looked.state != UpdateModel::State::Ready)
                                       return looked.message;
                                     return check_all(looked.steps, setup.check);
                                   });
  {
    QTextStream out(stdout);
    // One row per manager, as --check starts (a daily journal needs no
    // package list), and one line about the notice.
    for (const ManagerCheck& check : run.checks)
      out << CheckText::terminal_line(CheckText::summary(check)) << '\n';
    if (!run.detail.isEmpty() && run.outcome == NoticeOutcome::CheckFailed) {
      QTextStream(stderr) << "sorvane-gui: " << run.detail << '\n';
    }
    out << CheckText::terminal_line(Notifier::line(run)) << '\n';
  }
  if (run.outcome == NoticeOutcome::Opened) {
    // Out of this timer's unit first: the update the window starts must
    // outlive the window, and the unit ends with it.
    const ScopeMove scope = move_to_own_scope(QDBusConnection::sessionBus());
    if (scope.outcome != ScopeOutcome::Moved && scope.outcome != ScopeOutcome::NoUserManager) {
      QTextStream(stderr) << "sorvane-gui: " << scope.unit << ": "
                          << CheckText::terminal_line(scope.detail) << '\n';
    }
    // The window takes this process's place: nothing is left behind to own.
    if (const auto self = own_executable()) {
      std::string path = self.value();
      const std::array<char*, 2> window = {path.data(), nullptr};
      ::execv(path.c_str(), window.data());
    }
    QTextStream(stderr) << "sorvane-gui: " << Notifier::tr("Sorvane Update could not be opened.")
                        << '\n';
  }
  return notice_facts(run.outcome).exit_status;
}

}  // namespace sorvane::gui

#include "notifier.moc"
