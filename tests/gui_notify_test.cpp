// The notice that updates are waiting, on a private session bus that this
// test starts (dbus-daemon) with a stand-in notification server on it
// (notification_stand_in, which records each Notify call): the notifier's
// decisions and its D-Bus conversation in this process, and the real
// sorvane-gui --check --notify for the runs that need no check answered
// (as nobody when run as root, since it will not run as root), and the
// real command line: --help, --version, wrong calls and Qt's options.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <memory>

#include "check_text.hpp"
#include "notifier.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "update_end.hpp"
#include "update_model.hpp"

namespace sorvane::gui {
namespace {

const QString APP_ID = QStringLiteral("example.sorvane.SorvaneUpdate");

// A directory others may enter: nobody reaches the bus and the executable.
std::unique_ptr<QTemporaryDir> open_dir() {
  auto dir = std::make_unique<QTemporaryDir>();
  ::chmod(QFile::encodeName(dir->path()).constData(), 0755);
  return dir;
}

// A session bus of the test's own, open to every user on this machine.
class Bus {
 public:
  Bus() : dir_(open_dir()) {
    const QString config = dir_->filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC"
                              " \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig><type>session</type>"
                              "<listen>unix:path=%1/bus</listen><auth>EXTERNAL</auth>"
                              "<policy context=\"default\"><allow user=\"*\"/>"
                              "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                              "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                              "</busconfig>\n")
                   .arg(dir_->path())
                   .toUtf8());
    file.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (daemon_.waitForReadyRead(10'000))
      address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  }
  ~Bus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;
  Bus(Bus&&) = delete;
  Bus& operator=(Bus&&) = delete;

  [[nodiscard]] const QString& address() const { return address_; }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QProcess daemon_;
  QString address_;
};

// The stand-in notification server on a bus, answering as it is told.
class Server {
 public:
  Server(const Bus& bus, const QString& record, const QString& answer, bool persistence = false) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    process_.setProcessEnvironment(env);
    QStringList args{record, answer};
    if (persistence) args << QStringLiteral("persistence");
    process_.start(QStringLiteral(NOTIFICATION_STAND_IN), args);
    ready_ = process_.waitForReadyRead(10'000) && process_.readLine().trimmed() == "ready";
  }
  ~Server() {
    process_.kill();
    process_.waitForFinished();
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;
  Server(Server&&) = delete;
  Server& operator=(Server&&) = delete;

  [[nodiscard]] bool ready() const { return ready_; }

 private:
  QProcess process_;
  bool ready_ = false;
};

// Each Notify call the stand-in received.
QList<QJsonObject> notify_calls(const QString& record) {
  QFile file(record);
  QList<QJsonObject> calls;
  if (!file.open(QIODevice::ReadOnly)) return calls;
  while (!file.atEnd()) calls << QJsonDocument::fromJson(file.readLine()).object();
  return calls;
}

ManagerCheck answer(Step step, std::vector<PendingUpdate> updates,
                    std::optional<CheckProblem> problem = std::nullopt) {
  ManagerCheck check;
  check.step = step;
  check.updates = std::move(updates);
  check.problem = std::move(problem);
  return check;
}

const PendingUpdate LIBSSL{"libssl3", "3.0.11-1", "3.0.13-1", true};
const PendingUpdate ZIP{"zip", "3.0-13", "3.0-14", false};
const PendingUpdate CURL{"curl", "7.88.1-10", "7.88.1-10+deb12u5", true};
const PendingUpdate GIMP{"org.gimp.GIMP", "", "2.10.38", false};

// A connection of this process to `address`, closed when this goes.
struct Connection {
  QDBusConnection bus;
  explicit Connection(const QString& address, const QString& name)
      : bus(QDBusConnection::connectToBus(address, name)) {}
  ~Connection() { QDBusConnection::disconnectFromBus(bus.name()); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Connection(Connection&&) = delete;
  Connection& operator=(Connection&&) = delete;
};

// Starts `program` with `args`, as nobody when run as root: in a session of
// its own and with nothing to read, so it gets no terminal of root's.
void start_as_user(QProcess& run, const QString& program, const QStringList& args) {
  run.setStandardInputFile(QProcess::nullDevice());
  run.setChildProcessModifier([] { ::setsid(); });
  if (::geteuid() != 0) {
    run.start(program, args);
    return;
  }
  run.start(QStringLiteral("/usr/bin/setpriv"),
            QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                        QStringLiteral("--clear-groups"), program} +
                args);
}

QString sorvane_gui_as_user(const QString& program, const QStringList& env, QString* out,
                            QString* err,
                            const QStringList& given = {QStringLiteral("--check"),
                                                        QStringLiteral("--notify")}) {
  QProcess run;
  QProcessEnvironment environment;
  for (const QString& pair : env) {
    environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
  }
  run.setProcessEnvironment(environment);
  start_as_user(run, program, given);
  if (!run.waitForFinished(60'000)) return QStringLiteral("did not end");
  *out = QString::fromUtf8(run.readAllStandardOutput());
  *err = QString::fromUtf8(run.readAllStandardError());
  return QString::number(run.exitCode());
}

}  // namespace

// A distribution's build may lack dbus-daemon: the cases on a bus skip
// there with its name, and fail in CI, which has it.
#define REQUIRE_BUS(bus)                                                                \
  do {                                                                                  \
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {      \
      if (qgetenv("CI") == "true") QFAIL("dbus-daemon is missing, and CI=true has it"); \
      QSKIP("dbus-daemon is not installed");                                            \
    }                                                                                   \
    QVERIFY2(!(bus).address().isEmpty(), "dbus-daemon did not start");                  \
  } while (0)

class NotifyTest : public QObject {
  Q_OBJECT

 private slots:
  void theNoticeSaysHowManyWaitAndHowManyAreForSecurity() {
    struct Case {
      std::vector<ManagerCheck> checks;
      QString summary;
      QString body;
    };
    const std::vector<Case> cases = {
        {{answer(Step::Apt, {ZIP})}, "1 update is waiting", ""},
        {{answer(Step::Apt, {LIBSSL})}, "1 update is waiting", "It is a security update."},
        {{answer(Step::Apt, {LIBSSL, ZIP}), answer(Step::Flatpak, {GIMP})},
         "3 updates are waiting",
         "1 of them is a security update."},
        {{answer(Step::Apt, {LIBSSL, ZIP, CURL}), answer(Step::Flatpak, {})},
         "3 updates are waiting",
         "2 of them are security updates."},
        {{answer(Step::Apt, {ZIP}), answer(Step::Flatpak, {GIMP})}, "2 updates are waiting", ""},
    };
    for (const Case& c : cases) {
      QCOMPARE(CheckText::notice_summary(c.checks), c.summary);
      QCOMPARE(CheckText::notice_body(c.checks), c.body);
    }
  }

  void theSamePendingUpdatesHaveOneFingerprint() {
    const std::vector<ManagerCheck> base = {answer(Step::Apt, {LIBSSL, ZIP}),
                                            answer(Step::Flatpak, {GIMP})};
    const PendingUpdate newer_zip{"zip", "3.0-13", "3.0-15", false};
    struct Case {
      const char* name;
      std::vector<ManagerCheck> checks;
      bool same;
    };
    const std::vector<Case> cases = {
        {"another order", {answer(Step::Flatpak, {GIMP}), answer(Step::Apt, {ZIP, LIBSSL})}, true},
        // What is installed now does not matter: what the update brings does.
        {"another installed version",
         {answer(Step::Apt, {LIBSSL, {"zip", "3.0-12", "3.0-14", false}}),
          answer(Step::Flatpak, {GIMP})},
         true},
        {"a newer version",
         {answer(Step::Apt, {LIBSSL, newer_zip}), answer(Step::Flatpak, {GIMP})},
         false},
        {"one more",
         {answer(Step::Apt, {LIBSSL, ZIP, CURL}), answer(Step::Flatpak, {GIMP})},
         false},
        {"one fewer", {answer(Step::Apt, {LIBSSL, ZIP}), answer(Step::Flatpak, {})}, false},
        {"from another manager",
         {answer(Step::Apt, {LIBSSL}), answer(Step::Flatpak, {GIMP}), answer(Step::Snap, {ZIP})},
         false},
    };
    const QByteArray fingerprint = pending_fingerprint(base);
    QCOMPARE(fingerprint.size(), 64);
    for (const Case& c : cases) {
      QVERIFY2((pending_fingerprint(c.checks) == fingerprint) == c.same, c.name);
    }
  }

  void theSettingAndTheMemoryLiveWhereXdgSays() {
    struct Case {
      const char* home;
      const char* config;
      const char* state;
      QString settings;
      QString announced;
    };
    const std::vector<Case> cases = {
        {"/home/ann", nullptr, nullptr, "/home/ann/.config/sorvane/sorvane-gui.conf",
         "/home/ann/.local/state/sorvane/announced"},
        {"/home/ann", "/cfg", "/st", "/cfg/sorvane/sorvane-gui.conf", "/st/sorvane/announced"},
        // A relative XDG directory is ignored.
        {"/home/ann", "cfg", "", "/home/ann/.config/sorvane/sorvane-gui.conf",
         "/home/ann/.local/state/sorvane/announced"},
        {nullptr, "/cfg", nullptr, "/cfg/sorvane/sorvane-gui.conf", ""},
        {"relative", nullptr, nullptr, "", ""},
    };
    for (const Case& c : cases) {
      const NoticePlaces places = notice_places(c.home, c.config, c.state);
      QCOMPARE(places.settings, c.settings);
      QCOMPARE(places.announced, c.announced);
    }
  }

  void theSettingIsOnUntilTurnedOffAndIsKept() {
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("config/sorvane/sorvane-gui.conf"));
    QVERIFY(notice_wanted(file));
    QVERIFY(save_notice_wanted(file, false));
    QVERIFY(!notice_wanted(file));
    {
      // The model reads it, and keeps what the window changes.
      UpdateModel model({{"/nonexistent/sorvane", "/nonexistent/detector"},
                         "/usr/bin/bash",
                         "/tmp",
                         {},
                         SUDO_PROBE_LIMIT,
                         CheckSetup{},
                         file});
      QVERIFY(!model.notice_wanted());
      QVERIFY(model.set_notice_wanted(true));
      QVERIFY(model.notice_wanted());
    }
    QVERIFY(notice_wanted(file));
    // Not kept anywhere: on, and nothing saved.
    QVERIFY(notice_wanted(QString()));
    QVERIFY(!save_notice_wanted(QString(), false));
  }

  // What one run of the notice does, from what the check answered, what
  // the user set and what was announced before, with the stand-in server
  // answering as the row says.
  void eachRunPostsOneNoticeOrNone() {
    const Bus bus;
    REQUIRE_BUS(bus);
    using Ends = NoticeOutcome;
    using Checked = Result<std::vector<ManagerCheck>, QString>;
    const std::vector<ManagerCheck> pending = {answer(Step::Apt, {LIBSSL, ZIP}),
                                               answer(Step::Flatpak, {GIMP})};
    const std::vector<ManagerCheck> reordered = {answer(Step::Flatpak, {GIMP}),
                                                 answer(Step::Apt, {ZIP, LIBSSL})};
    enum class Before { Nothing, Same, Other };
    struct Case {
      const char* name;
      const char* server;  // its answer; nullptr: no server on the bus
      bool wanted;
      Checked checked;
      Before before;
      Ends outcome;
      int notices;
      bool checks = true;  // the check ran
      bool on_the_bus = true;
      bool forged = false;       // another client answers for the server
      bool persistence = false;  // the server keeps notices until answered
    };
    const Checked none =
        std::vector<ManagerCheck>{answer(Step::Apt, {}), answer(Step::Flatpak, {})};
    const Checked problem = std::vector<ManagerCheck>{
        answer(Step::Apt, {ZIP}), answer(Step::Flatpak, {}, CheckProblem{Problem::Offline, ""})};
    const std::vector<Case> cases = {
        {"pending, unanswered", "none", true, pending, Before::Nothing, Ends::Unanswered, 1},
        {"pending, opened", "open", true, pending, Before::Nothing, Ends::Opened, 1},
        {"pending, clicked", "default", true, pending, Before::Nothing, Ends::Opened, 1},
        {"pending, closed", "close", true, pending, Before::Nothing, Ends::Dismissed, 1},
        {"announced before", "open", true, reordered, Before::Same, Ends::AlreadyAnnounced, 0},
        {"others announced before", "none", true, pending, Before::Other, Ends::Unanswered, 1},
        {"nothing pending", "open", true, none, Before::Nothing, Ends::NothingPending, 0},
        {"turned off", "open", false, pending, Before::Nothing, Ends::TurnedOff, 0, false},
        {"no server", nullptr, true, pending, Before::Nothing, Ends::NoServer, 0, false},
        {"check failed", "open", true, QString("no"), Before::Nothing, Ends::CheckFailed, 0},
        {"a manager failed", "open", true, problem, Before::Nothing, Ends::CheckFailed, 0},
        {"no session bus", "open", true, pending, Before::Nothing, Ends::NoSessionBus, 0, false,
         false},
        {"another client opens it", "none", true, pending, Before::Nothing, Ends::Unanswered, 1,
         true, true, true},
        {"kept by the server, unanswered", "none", true, pending, Before::Nothing, Ends::Unanswered,
         1, true, true, false, true},
        {"kept by the server, opened", "open", true, pending, Before::Nothing, Ends::Opened, 1,
         true, true, false, true},
    };
    int connection = 0;
    for (const Case& c : cases) {
      const QTemporaryDir dir;
      const QString record = dir.filePath(QStringLiteral("record"));
      // A server that keeps no notice (it expires, maybe unsaid) is waited
      // for briefly, never as long as one that keeps it.
      const NoticeSetup setup{{dir.filePath(QStringLiteral("config/sorvane/sorvane-gui.conf")),
                               dir.filePath(QStringLiteral("state/sorvane/announced"))},
                              std::chrono::milliseconds(c.persistence ? 500 : 20'000),
                              std::chrono::milliseconds(c.persistence ? 20'000 : 500)};
      if (!c.wanted) QVERIFY(save_notice_wanted(setup.places.settings, false));
      if (c.before != Before::Nothing) {
        const std::vector<ManagerCheck> other = {answer(Step::Apt, {ZIP})};
        QVERIFY(
            remember_announced(setup.places.announced,
                               pending_fingerprint(c.before == Before::Same ? pending : other)));
      }
      std::unique_ptr<Server> server;
      if (c.server != nullptr) {
        server =
            std::make_unique<Server>(bus, record, QString::fromLatin1(c.server), c.persistence);
        QVERIFY2(server->ready(), c.name);
      }
      const Connection to(
          c.on_the_bus ? bus.address() : "unix:path=" + dir.filePath(QStringLiteral("no-bus")),
          QStringLiteral("notify-test-%1").arg(++connection));
      // Another program of the session: the notice's id is easy to guess
      // (the stand-in's first is 42), the path and interface are public.
      std::unique_ptr<Connection> forger;
      if (c.forged) {
        forger = std::make_unique<Connection>(bus.address(), QStringLiteral("forger"));
        QTimer::singleShot(100, [&bus = forger->bus] {
          for (const auto& [name, arguments] : std::vector<std::pair<QString, QVariantList>>{
                   {QStringLiteral("ActionInvoked"), {42U, QStringLiteral("open")}},
                   {QStringLiteral("ActionInvoked"), {42U, QStringLiteral("default")}},
                   {QStringLiteral("NotificationClosed"), {42U, 2U}}}) {
            QDBusMessage signal =
                QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                           QStringLiteral("org.freedesktop.Notifications"), name);
            signal.setArguments(arguments);
            bus.send(signal);
          }
        });
      }
      bool checked = false;
      QElapsedTimer took;
      took.start();
      const NoticeRun run = run_notice(to.bus, setup, [&] {
        checked = true;
        return c.checked;
      });
      QVERIFY2(took.elapsed() < 10'000, c.name);
      QVERIFY2(run.outcome == c.outcome, c.name);
      QVERIFY2(checked == c.checks, c.name);
      QVERIFY2(notice_facts(run.outcome).checked == c.checks, c.name);
      const QList<QJsonObject> calls = notify_calls(record);
      QVERIFY2(calls.size() == c.notices, c.name);
      if (c.notices == 0) continue;
      const QJsonObject& call = calls.constFirst();
      QCOMPARE(call["app_name"].toString(), QString("Sorvane Update"));
      QCOMPARE(call["replaces_id"].toInt(), 0);
      QCOMPARE(call["app_icon"].toString(), APP_ID);
      QCOMPARE(call["summary"].toString(), QString("3 updates are waiting"));
      QCOMPARE(call["body"].toString(), QString("1 of them is a security update."));
      QCOMPARE(call["actions"].toArray(),
               QJsonArray({"default", "Open Sorvane Update", "open", "Open Sorvane Update"}));
      QCOMPARE(call["desktop_entry"].toString(), APP_ID);
      // Kept until answered where the server keeps notices; else its own expiry.
      QCOMPARE(call["expire"].toInt(), c.persistence ? 0 : -1);
      QCOMPARE(call["resident"].toBool(), c.persistence);
      // Announced: kept for the user alone, and the next run stays quiet.
      QCOMPARE(announced_fingerprint(setup.places.announced), pending_fingerprint(pending));
      struct stat kept {};
      QCOMPARE(::stat(QFile::encodeName(setup.places.announced).constData(), &kept), 0);
      QCOMPARE(kept.st_mode & 07777U, 0600U);
      QVERIFY2(
          run_notice(to.bus, setup, [&] { return c.checked; }).outcome == Ends::AlreadyAnnounced,
          c.name);
      QVERIFY2(notify_calls(record).size() == 1, c.name);
    }
  }

  // How an update ended, for someone who looked away: one notification,
  // with no button, and nothing waited for when no server is there.
  void theEndOfAnUpdateIsToldOnce() {
    const Bus bus;
    REQUIRE_BUS(bus);
    for (const bool served : {true, false}) {
      const QTemporaryDir dir;
      const QString record = dir.filePath(QStringLiteral("record"));
      std::unique_ptr<Server> server;
      if (served) {
        server = std::make_unique<Server>(bus, record, QStringLiteral("none"));
        QVERIFY(server->ready());
      }
      const Connection to(bus.address(), QStringLiteral("ended-%1").arg(served));
      QElapsedTimer took;
      took.start();
      tell_update_ended(to.bus, "Update complete", "apt: 4 packages updated\nflatpak: done");
      QVERIFY(took.elapsed() < 1000);  // sent, not waited on
      if (!served) {
        QTest::qWait(200);
        QVERIFY(notify_calls(record).isEmpty());
        continue;
      }
      QTRY_COMPARE(notify_calls(record).size(), 1);
      const QJsonObject call = notify_calls(record).constFirst();
      QCOMPARE(call["summary"].toString(), QString("Update complete"));
      QCOMPARE(call["body"].toString(), QString("apt: 4 packages updated\nflatpak: done"));
      QCOMPARE(call["actions"].toArray(), QJsonArray());
      QCOMPARE(call["desktop_entry"].toString(), APP_ID);
    }
  }

  // An update whose window was closed before it ended: its monitor (the
  // real executable) tells the end, exactly once; one whose window saw the
  // end is told by that window, and the monitor says nothing.
  void theEndOfAnUpdateNobodyWatchedIsToldOnceByItsMonitor() {
    const Bus bus;
    REQUIRE_BUS(bus);
    // What the window hands its monitor; no logind is asked for its lock.
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/sorvane-test/system");
    for (const bool closed : {true, false}) {
      const QTemporaryDir dir;
      const QString record = dir.filePath(QStringLiteral("record"));
      const Server server(bus, record, QStringLiteral("close"));
      QVERIFY(server.ready());
      const QString gate = dir.filePath(QStringLiteral("gate"));
      UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                               "/usr/bin/bash",
                               dir.path().toStdString(),
                               {}};
      setup.monitor = SORVANE_GUI_BINARY;
      auto model = std::make_unique<UpdateModel>(setup);
      UpdateModel::Looked looked;
      looked.state = UpdateModel::State::Ready;
      looked.checks = std::vector<ManagerCheck>{};
      // Waits for the test, a minute at most, whatever becomes of the test.
      looked.script =
          ("echo 'Starting system update...'\nfor ((i = 0; i < 1200; i++)); do [[ -e '" + gate +
           "' ]] && break; sleep 0.05; done\necho 'Update complete.'\n")
              .toStdString();
      model->take_looked(looked);
      model->update({});
      QCOMPARE(model->state(), UpdateModel::State::Updating);
      const QStringList runs = QDir(dir.path()).entryList({"sorvane-update-*"}, QDir::Dirs);
      QCOMPARE(runs.size(), 1);
      const QByteArray run = QFile::encodeName(dir.filePath(runs[0]));
      if (closed) model.reset();  // "it will go on without this window"
      QVERIFY(QFile(gate).open(QIODevice::WriteOnly));
      if (!closed) QTRY_COMPARE_WITH_TIMEOUT(model->state(), UpdateModel::State::Done, 10000);
      // The monitor gives back the update's claim once it recorded the end,
      // and holds the run until it ends: then all is said.
      if (!closed) model.reset();
      QTRY_VERIFY_WITH_TIMEOUT(!running_update_log(dir.path().toStdString(), ::geteuid()), 10000);
      const UniqueFd held(::open(run.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      QTRY_VERIFY_WITH_TIMEOUT(::flock(held.get(), LOCK_EX | LOCK_NB) == 0, 10000);
      const auto status = recorded_status(held.get(), ::geteuid());
      QVERIFY(status.has_value());
      QCOMPARE(status->wait_status, 0);
      const QList<QJsonObject> calls = notify_calls(record);
      QCOMPARE(calls.size(), closed ? 1 : 0);
      if (!closed) continue;
      QVERIFY2(calls[0]["summary"].toString().contains(" finished"),
               qPrintable(calls[0]["summary"].toString()));
      QCOMPARE(calls[0]["desktop_entry"].toString(), APP_ID);
    }
  }

  // With a restart due the notice of the end offers it, and waits (within
  // its limit) for the answer; without, it has no button and waits for
  // nothing.
  void theEndNobodyWatchedOffersTheRestart() {
    const Bus bus;
    REQUIRE_BUS(bus);
    for (const bool restart : {true, false}) {
      const QTemporaryDir dir;
      const QString record = dir.filePath(QStringLiteral("record"));
      const Server server(bus, record, QStringLiteral("close"));
      QVERIFY(server.ready());
      const Connection to(bus.address(), QStringLiteral("end-%1").arg(restart));
      tell_unwatched_end(to.bus, "The update started at 12:03 finished.",
                         restart ? "Restart the computer to finish the update." : "", restart,
                         std::chrono::seconds(30));
      const QList<QJsonObject> calls = notify_calls(record);
      QCOMPARE(calls.size(), 1);
      const QJsonArray offered = restart ? QJsonArray{"restart", "Restart now"} : QJsonArray();
      QCOMPARE(calls[0]["actions"].toArray(), offered);
    }
  }

  // The real executable, where it decides before any check: it ends at
  // once with status 0 and one line, and shows no notice.
  void theRealCommandEndsQuietlyWhereNoNoticeCanBeShown() {
    const Bus bus;
    REQUIRE_BUS(bus);
    // Where nobody can run it from (a clone under /root is closed to others).
    const auto dir = open_dir();
    const QString program = dir->filePath(QStringLiteral("sorvane-gui"));
    QVERIFY(QFile::copy(QStringLiteral(SORVANE_GUI_BINARY), program));
    const QString config = dir->filePath(QStringLiteral("config"));
    QVERIFY(save_notice_wanted(config + "/sorvane/sorvane-gui.conf", false));
    ::chmod(QFile::encodeName(config).constData(), 0755);
    ::chmod(QFile::encodeName(config + "/sorvane").constData(), 0755);
    ::chmod(QFile::encodeName(config + "/sorvane/sorvane-gui.conf").constData(), 0644);
    const QString record = dir->filePath(QStringLiteral("record"));
    struct Case {
      const char* name;
      QStringList env;
      bool server;
      QString line;
    };
    const QStringList base = {"PATH=/usr/bin:/bin", "HOME=/nonexistent"};
    const std::vector<Case> cases = {
        {"no session bus", base, false, "No notice: there is no session bus.\n"},
        {"an unreachable bus",
         base + QStringList{"DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir->filePath("none")}, false,
         "No notice: there is no session bus.\n"},
        {"no notification server", base + QStringList{"DBUS_SESSION_BUS_ADDRESS=" + bus.address()},
         false, "No notice: nothing on the session bus shows notifications.\n"},
        {"turned off",
         base +
             QStringList{"DBUS_SESSION_BUS_ADDRESS=" + bus.address(), "XDG_CONFIG_HOME=" + config},
         true, "No notice: \"Tell me when updates are waiting\" is turned off.\n"},
    };
    for (const Case& c : cases) {
      std::unique_ptr<Server> server;
      if (c.server) {
        server = std::make_unique<Server>(bus, record, QStringLiteral("open"));
        QVERIFY2(server->ready(), c.name);
      }
      QString out;
      QString err;
      QCOMPARE(sorvane_gui_as_user(program, c.env, &out, &err), QString("0"));
      QCOMPARE(out, c.line);
      QCOMPARE(err, QString());
    }
    QVERIFY(notify_calls(record).isEmpty());
  }

  // The real executable's command line: --help and --version answer on
  // stdout with 0; a wrong one says what is wrong on stderr, with 2 (3 for
  // a --nagios call, as Nagios reads it); Qt's own options go to the window.
  void theRealCommandLineAnswersBeforeAnyCheck() {
    const auto dir = open_dir();
    const QString program = dir->filePath(QStringLiteral("sorvane-gui"));
    QVERIFY(QFile::copy(QStringLiteral(SORVANE_GUI_BINARY), program));
    const QStringList env = {"PATH=/usr/bin:/bin", "HOME=/nonexistent", "QT_QPA_PLATFORM=offscreen",
                             "LANG=C.UTF-8"};
    const QString hint = QStringLiteral("Try 'sorvane-gui --help' for the options.\n");
    struct Case {
      QStringList args;
      QString status;
      QStringList out;  // each is in stdout
      QString err;
    };
    const std::vector<Case> cases = {
        {{"--help"},
         "0",
         {"--check", "--json", "--notify", "--prometheus", "--output", "--nagios", "--warning",
          "--critical", "--warning-age", "--critical-age", "--history", "--since", "--package",
          "--version", "--help"},
         ""},
        {{"-h"}, "0", {"Usage: sorvane-gui"}, ""},
        {{"--check", "--nagios", "--help"}, "0", {"--critical-age"}, ""},
        {{"--version"}, "0", {"sorvane-gui " SORVANE_VERSION "\n"}, ""},
        {{"-v"}, "0", {"sorvane-gui " SORVANE_VERSION "\n"}, ""},
        {{"--bogus"}, "2", {}, "sorvane-gui: unknown option: --bogus\n" + hint},
        {{"--json"}, "2", {}, "sorvane-gui: --json needs --check or --history\n" + hint},
        {{"--check", "--json", "--notify"},
         "2",
         {},
         "sorvane-gui: --json cannot be used with --notify\n" + hint},
        {{"--check", "--prometheus", "--output"},
         "2",
         {},
         "sorvane-gui: Missing value after '--output'.\n" + hint},
        {{"--history", "--since", "yesterday"},
         "2",
         {},
         "sorvane-gui: not a date: yesterday\n" + hint},
        {{"--check", "--nagios", "--bogus"},
         "3",
         {"SORVANE UNKNOWN - sorvane-gui: unknown option: --bogus\n"},
         hint},
        {{"--check", "--nagios", "-w", "x"},
         "3",
         {"SORVANE UNKNOWN - sorvane-gui: not a range: x\n"},
         hint},
        // QApplication took -platform and -reverse: what is left is refused
        // before any window.
        {{"-platform", "offscreen", "-reverse", "--bogus"},
         "2",
         {},
         "sorvane-gui: unknown option: --bogus\n" + hint},
        {{"-platform", "offscreen", "-style", "fusion", "extra"},
         "2",
         {},
         "sorvane-gui: unexpected argument: extra\n" + hint},
    };
    for (const Case& c : cases) {
      QString out;
      QString err;
      const QString name = c.args.join(' ');
      QCOMPARE(sorvane_gui_as_user(program, env, &out, &err, c.args), c.status);
      for (const QString& part : c.out) QVERIFY2(out.contains(part), qPrintable(name + ": " + out));
      if (c.out.isEmpty()) QCOMPARE(out, QString());
      // After any word of Qt's own (no XDG_RUNTIME_DIR for nobody).
      QVERIFY2(c.err.isEmpty() ? err.isEmpty() : err.endsWith(c.err),
               qPrintable(name + ": " + err));
    }
    // With nothing left over, the window starts: still running a moment on.
    {
      QProcess window;
      QProcessEnvironment environment;
      environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
      environment.insert(QStringLiteral("HOME"), QStringLiteral("/nonexistent"));
      window.setProcessEnvironment(environment);
      start_as_user(
          window, program,
          {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse")});
      QVERIFY(window.waitForStarted());
      QVERIFY2(!window.waitForFinished(1500), window.readAllStandardError().constData());
      window.kill();
      window.waitForFinished();
    }
    // No display: what Sorvane does not know is refused all the same.
    QString out;
    QString err;
    QCOMPARE(sorvane_gui_as_user(program, {"PATH=/usr/bin:/bin", "HOME=/nonexistent"}, &out, &err,
                                 {"--bogus"}),
             QString("2"));
    QCOMPARE(err, "sorvane-gui: unknown option: --bogus\n" + hint);
  }
};

}  // namespace sorvane::gui

QTEST_GUILESS_MAIN(sorvane::gui::NotifyTest)
#include "gui_notify_test.moc"
