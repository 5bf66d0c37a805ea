// The window's conversations with the desktop, each on a private bus that
// this test starts before anything can reach the machine's own: logind
// (logind_stand_in, on the test's system bus) for "Restart now" and the lock
// that keeps shutdown away during an update, and the notification server
// (notification_stand_in, on the test's session bus) for the end of an
// update the user looked away from. On an X display (Xvfb, from
// tests/check_desktop_window.sh) the request for attention is seen as a
// window manager sees it: the _NET_WM_STATE message sent to the root window.
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "gui_test_support.hpp"
#include "power_watch.hpp"
#include "update_end.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

namespace sorvane::gui {
namespace {

const QString LOGIND = QStringLiteral("org.freedesktop.login1");

// Where the test's buses listen: chosen before the application exists, so
// that nothing in this process ever connects to the machine's own buses.
QString& bus_dir() {
  static QString dir;
  return dir;
}

// A bus of the test's own, open to every user on this machine.
class Bus {
 public:
  explicit Bus(const QString& socket) {
    const QString config = socket + ".conf";
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC"
                              " \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig><type>session</type>"
                              "<listen>unix:path=%1</listen><auth>EXTERNAL</auth>"
                              "<policy context=\"default\"><allow user=\"*\"/>"
                              "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                              "<allow own=\"*\"/></policy>"
                              "</busconfig>\n")
                   .arg(socket)
                   .toUtf8());
    file.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    started_ = daemon_.waitForReadyRead(10'000) && !daemon_.readLine().trimmed().isEmpty();
  }
  ~Bus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;
  Bus(Bus&&) = delete;
  Bus& operator=(Bus&&) = delete;

  [[nodiscard]] bool started() const { return started_; }

 private:
  QProcess daemon_;
  bool started_ = false;
};

// A stand-in server, on the buses this process uses, until it goes; it
// says "ready" once it owns its name.
class StandIn {
 public:
  StandIn(const char* program, const QStringList& args) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QString::fromUtf8(program), args);
    ready_ = process_.waitForReadyRead(10'000) && process_.readLine().trimmed() == "ready";
  }
  ~StandIn() {
    process_.kill();
    process_.waitForFinished();
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;
  StandIn(StandIn&&) = delete;
  StandIn& operator=(StandIn&&) = delete;

  [[nodiscard]] bool ready() const { return ready_; }
  // A line on its standard input, and its "changed" once done.
  bool say(const QByteArray& line) {
    process_.write(line + '\n');
    return process_.waitForReadyRead(10'000) && process_.readLine().trimmed() == "changed";
  }

 private:
  QProcess process_;
  bool ready_ = false;
};

QStringList record_lines(const QString& record) {
  QFile file(record);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QList<QJsonObject> notify_calls(const QString& record) {
  QList<QJsonObject> calls;
  for (const QString& line : record_lines(record)) {
    calls << QJsonDocument::fromJson(line.toUtf8()).object();
  }
  return calls;
}

bool logind_on_the_bus() {
  return QDBusConnection::systemBus().interface()->isServiceRegistered(LOGIND).value();
}

// What looking found: apt, with the given pending packages, and the script.
UpdateModel::Looked ready_with(const std::vector<std::string>& packages, std::string script) {
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  ManagerCheck apt;
  apt.step = Step::Apt;
  for (const std::string& name : packages) apt.updates.push_back({name, "1.0", "2.0", false});
  looked.checks = std::vector<ManagerCheck>{apt};
  looked.steps = {Step::Apt};
  looked.access = UpdateModel::Access::NoPassword;
  looked.script = std::move(script);
  return looked;
}

// A model whose apt keeps its log under a root of the test's own, and its
// window, shown.
struct Rooted {
  QTemporaryDir base;
  QTemporaryDir root;
  UpdateModel model{test::rooted_setup(base, root)};
  UpdateWindow window{&model};
  Rooted() { window.show(); }
};

// A run of apt that updates libc6, which needs a restart: the Done screen
// offers one.
std::string libc6_update(const QTemporaryDir& root) {
  return QStringLiteral(
             "echo 'Updating apt packages...'\n"
             "echo '2026-12-09 10:00:00 status installed libc6:amd64 2.0' >> %1/var/log/dpkg.log\n"
             "echo 'Update complete.'\n")
      .arg(root.path())
      .toStdString();
}

QPushButton* button(const UpdateWindow& window, const QString& text) {
  for (QPushButton* found : window.findChildren<QPushButton*>()) {
    if (found->text() == text) return found;
  }
  return nullptr;
}

// The window manager's view of the display: every _NET_WM_STATE request
// sent to the root window, as a window asking for attention sends it.
class RootWatch {
 public:
  RootWatch() : x_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(x_) != 0) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x_, root_, XCB_CW_EVENT_MASK, &mask);
    state_ = atom("_NET_WM_STATE");
    attention_ = atom("_NET_WM_STATE_DEMANDS_ATTENTION");
  }
  ~RootWatch() { xcb_disconnect(x_); }
  RootWatch(const RootWatch&) = delete;
  RootWatch& operator=(const RootWatch&) = delete;
  RootWatch(RootWatch&&) = delete;
  RootWatch& operator=(RootWatch&&) = delete;

  [[nodiscard]] bool watching() const { return xcb_connection_has_error(x_) == 0; }

  // How many times `window` asked for attention since the last call. All
  // the application had sent has reached the server first (a round trip on
  // its connection), and so this connection's queue.
  int attention_requests(const QWidget& window) {
    QApplication::processEvents();
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr) round_trip(x11->connection());
    round_trip(x_);
    int requests = 0;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x_)) {
      if ((event->response_type & 0x7FU) == XCB_CLIENT_MESSAGE) {
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        const auto* data = message->data.data32;
        if (message->type == state_ && message->window == window.winId() && data[0] == 1 &&
            (data[1] == attention_ || data[2] == attention_)) {
          ++requests;
        }
      }
      std::free(event);  // NOLINT(cppcoreguidelines-no-malloc): xcb's own allocation
    }
    return requests;
  }

 private:
  static void round_trip(xcb_connection_t* x) {
    std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));  // NOLINT
  }
  xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        x_, xcb_intern_atom(x_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply == nullptr ? xcb_atom_t{XCB_ATOM_NONE} : reply->atom;
    std::free(reply);  // NOLINT(cppcoreguidelines-no-malloc)
    return found;
  }

  xcb_connection_t* x_;
  xcb_window_t root_ = 0;
  xcb_atom_t state_ = XCB_ATOM_NONE;
  xcb_atom_t attention_ = XCB_ATOM_NONE;
};

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 public:
  // Before the application exists: every bus this process may use is the
  // test's own, even one that something connects to before the test starts.
  static void initMain() {
    QByteArray dir = QDir::tempPath().toUtf8() + "/sorvane-desktop-XXXXXX";
    if (::mkdtemp(dir.data()) == nullptr) std::abort();
    bus_dir() = QString::fromUtf8(dir);
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + dir + "/system");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir + "/session");
  }

 private slots:
  void initTestCase() {
    system_ = std::make_unique<Bus>(bus_dir() + "/system");
    session_ = std::make_unique<Bus>(bus_dir() + "/session");
    QVERIFY2(system_->started() && session_->started(), "dbus-daemon did not start");
    QVERIFY(QDBusConnection::systemBus().isConnected());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
  }

  void cleanupTestCase() {
    system_.reset();
    session_.reset();
    QDir(bus_dir()).removeRecursively();
  }

  // "Restart now" asks logind once, interactively; whatever stops the
  // restart is said on the Done screen in plain words.
  void restartNowAsksLogindOnceAndSaysWhatStoppedIt() {
    struct Case {
      const char* name;
      const char* logind;  // how it answers Reboot; nullptr: not on the bus
      QStringList clicks;  // the buttons pressed, in order
      QStringList calls;   // what logind was asked
      QString said;        // the Done screen's words after its heading; empty: nothing
      bool still_offered;
    };
    const QString heading = QStringLiteral("Update complete");
    const std::vector<Case> cases = {
        {"accepted", "yes", {"Restart now"}, {"Reboot true"}, "The computer is restarting.", false},
        {"pressed twice",
         "yes",
         {"Restart now", "Restart now"},
         {"Reboot true"},
         "The computer is restarting.",
         false},
        {"later", "yes", {"Later"}, {}, "", false},
        {"refused",
         "denied",
         {"Restart now"},
         {"Reboot true"},
         "The computer was not restarted: permission to restart it was not given.",
         true},
        {"no one to ask for permission",
         "no-agent",
         {"Restart now"},
         {"Reboot true"},
         "The computer was not restarted: nothing could ask you for permission to restart it.",
         true},
        {"a shutdown already under way",
         "busy",
         {"Restart now"},
         {"Reboot true"},
         "The computer could not be restarted: There's already a shutdown or sleep operation "
         "in progress",
         true},
        {"no logind",
         nullptr,
         {"Restart now"},
         {},
         "The computer cannot be restarted from here: logind, which restarts it, is not running. "
         "Restart it from the system menu.",
         true},
    };
    for (const Case& c : cases) {
      const QString name = QString::fromLatin1(c.name);
      QTRY_VERIFY2(!logind_on_the_bus(), c.name);  // the last row's has gone
      const QTemporaryDir dir;
      const QString record = dir.filePath("record");
      std::unique_ptr<StandIn> logind;
      if (c.logind != nullptr) {
        logind = std::make_unique<StandIn>(LOGIND_STAND_IN, QStringList{record, c.logind});
        QVERIFY2(logind->ready(), c.name);
      }
      Rooted rooted;
      QVERIFY(QDir(rooted.root.path()).mkpath("var/log"));
      rooted.model.take_looked(ready_with({"libc6"}, libc6_update(rooted.root)));
      QStringList heard;
      connect(&rooted.model, &UpdateModel::announced, &rooted.model,
              [&heard](const QString& text) { heard << text; });
      rooted.model.update({});
      QTRY_COMPARE_WITH_TIMEOUT(rooted.model.state(), UpdateModel::State::Done, 10000);
      QTRY_VERIFY2(rooted.model.restart_offered(), c.name);
      QVERIFY2(rooted.window.restart_button()->isVisibleTo(&rooted.window), c.name);
      heard.clear();
      for (const QString& text : c.clicks) {
        QPushButton* pressed = button(rooted.window, text);
        QVERIFY2(pressed != nullptr, qPrintable(name + ": " + text));
        QTest::mouseClick(pressed, Qt::LeftButton);
      }
      // logind's answer is a line under the heading, never part of it.
      const QString expected = c.said.isEmpty() ? heading : c.said;
      QTRY_COMPARE_WITH_TIMEOUT(rooted.window.message()->text(), expected, 10000);
      QCOMPARE(rooted.window.done_heading()->text(), heading);
      // The update's own lock is the other test's concern.
      const QStringList calls = record_lines(record).filter(QRegularExpression("^Reboot "));
      QVERIFY2(calls == c.calls, qPrintable(name + ": " + calls.join('|')));
      QVERIFY2(rooted.model.restart_offered() == c.still_offered, c.name);
      QVERIFY2(rooted.window.restart_button()->isVisibleTo(&rooted.window) == c.still_offered,
               c.name);
      // Said aloud too, like any outcome.
      QVERIFY2(heard == (c.said.isEmpty() ? QStringList() : QStringList{c.said}),
               qPrintable(name + ": " + heard.join('|')));
    }
  }

  // While logind has not answered (its agent is asking for a password),
  // the window goes on, and a second press asks nothing more.
  void theWindowGoesOnWhileLogindAsks() {
    QTRY_VERIFY(!logind_on_the_bus());
    const QTemporaryDir dir;
    const QString record = dir.filePath("record");
    auto logind = std::make_unique<StandIn>(LOGIND_STAND_IN, QStringList{record, "hold"});
    QVERIFY(logind->ready());
    Rooted rooted;
    QVERIFY(QDir(rooted.root.path()).mkpath("var/log"));
    rooted.model.take_looked(ready_with({"libc6"}, libc6_update(rooted.root)));
    rooted.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(rooted.model.state(), UpdateModel::State::Done, 10000);
    QTRY_VERIFY(rooted.model.restart_offered());
    QPushButton* restart = rooted.window.restart_button();
    QTest::mouseClick(restart, Qt::LeftButton);
    // Asked, and not answered: nothing is said yet, and the button waits.
    QTRY_COMPARE(record_lines(record).filter(QRegularExpression("^Reboot ")),
                 QStringList{"Reboot true"});
    QCOMPARE(rooted.window.message()->text(), QString("Update complete"));
    QVERIFY(rooted.window.restart_button()->isVisibleTo(&rooted.window));
    QVERIFY(!restart->isEnabled());
    QTest::mouseClick(restart, Qt::LeftButton);
    // logind goes away without answering: that is said, and the button is
    // back for another try.
    logind.reset();
    QTRY_VERIFY_WITH_TIMEOUT(restart->isEnabled(), 10000);
    QVERIFY(rooted.window.message()->text().startsWith("The computer could not be restarted: "));
    QCOMPARE(rooted.window.done_heading()->text(), QString("Update complete"));
    QCOMPARE(record_lines(record).filter(QRegularExpression("^Reboot ")),
             QStringList{"Reboot true"});
  }

  // The update keeps shutdown and sleep away while it runs: logind's lock
  // is taken as it starts, handed to the script, and let go when it ends.
  // Without logind the update runs all the same.
  void theUpdateHoldsLogindsLockWhileItRuns() {
    struct Case {
      const char* name;
      bool logind;
      int status;  // how the script ends
      const char* heading;
    };
    const std::vector<Case> cases = {
        {"completed", true, 0, "Update complete"},
        {"failed", true, 100, "The apt step failed (exit status 100). Later steps did not run."},
        {"no logind", false, 0, "Update complete"},
    };
    for (const Case& c : cases) {
      QTRY_VERIFY2(!logind_on_the_bus(), c.name);
      const QTemporaryDir dir;
      const QString record = dir.filePath("record");
      const QString go = dir.filePath("go");
      std::unique_ptr<StandIn> logind;
      if (c.logind) {
        logind = std::make_unique<StandIn>(LOGIND_STAND_IN, QStringList{record, "yes"});
        QVERIFY2(logind->ready(), c.name);
      }
      Rooted rooted;
      // The script says what its descriptor 4 is, then waits for the test.
      const std::string script =
          QStringLiteral(
              "echo 'Updating apt packages...'\n"
              "echo -n 'lock: '; readlink /proc/$$/fd/4 || echo none\n"
              "for ((i = 0; i < 1200; i++)); do [[ -e %1 ]] && break; sleep 0.05; done\n"
              "[[ %2 -eq 0 ]] && echo 'Update complete.'\nexit %2\n")
              .arg(go)
              .arg(c.status)
              .toStdString();
      rooted.model.take_looked(ready_with({"zip"}, script));
      rooted.model.update({});
      QCOMPARE(rooted.model.state(), UpdateModel::State::Updating);
      QTRY_VERIFY2(rooted.model.log().size() >= 2, c.name);
      const QString lock = rooted.model.log().at(1);
      // The update's monitor holds the lock, not the script: nothing the
      // script leaves running can keep shutdown away after it.
      QCOMPARE(lock, QString("lock: none"));
      if (c.logind) {
        const QString inhibit =
            "Inhibit shutdown:sleep|Sorvane Update|Packages are being updated|block ";
        QCOMPARE(record_lines(record).size(), 1);
        const QString asked = record_lines(record).at(0);
        QVERIFY2(asked.startsWith(inhibit + "pipe:["), qPrintable(asked));
        const QString pipe = asked.mid(inhibit.size());
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(rooted.model.state(), UpdateModel::State::Done, 10000);
        QTRY_COMPARE(record_lines(record).size(), 2);
        QCOMPARE(record_lines(record).at(1), "Released " + pipe);
      } else {
        QFile(go).open(QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(rooted.model.state(), UpdateModel::State::Done, 10000);
      }
      QCOMPARE(rooted.model.done_text(), QString::fromUtf8(c.heading));
    }
  }

  // Someone who looked away is told how the update ended, once: by a
  // notification and the window's request for attention. Someone watching
  // it is told nothing more.
  void theEndIsToldOnceToWhoeverLookedAway() {
    struct Case {
      const char* name;
      bool in_front;
      const char* output;
      int status;
      QString summary;
      QString body;
    };
    const std::vector<Case> cases = {
        {"completed, looked away", false,
         "Starting system update...\n\nUpdating apt packages...\nUpdate complete.\n", 0,
         "Update complete", "apt: done"},
        {"failed, looked away", false,
         "Starting system update...\n\nUpdating apt packages...\nE: broken\n", 100,
         "The apt step failed: “E: broken” Later steps did not run.", "apt: failed"},
        {"completed, watched", true,
         "Starting system update...\n\nUpdating apt packages...\nUpdate complete.\n", 0, "", ""},
    };
    const bool on_x = QGuiApplication::platformName() == QLatin1String("xcb");
    for (const Case& c : cases) {
      const QTemporaryDir dir;
      const QString record = dir.filePath("record");
      const StandIn server(NOTIFICATION_STAND_IN, {record, "none"});
      QVERIFY2(server.ready(), c.name);
      UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                         "/usr/bin/bash",
                         dir.path().toStdString(),
                         {}}};
      UpdateWindow window{&model};
      QWidget elsewhere;  // the window the user turned to
      elsewhere.setWindowTitle("elsewhere");
      elsewhere.resize(200, 100);
      window.show();
      elsewhere.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
      QWidget& active = c.in_front ? static_cast<QWidget&>(window) : elsewhere;
      active.activateWindow();
      QVERIFY2(QTest::qWaitForWindowActive(&active), c.name);
      QCOMPARE(window.isActiveWindow(), c.in_front);
      std::optional<RootWatch> root;
      if (on_x) {
        root.emplace();
        QVERIFY(root->watching());
        (void)root->attention_requests(window);  // nothing before the end counts
      }
      model.take_looked(ready_with({"zip"}, {}));
      model.take_output(c.output);
      model.take_end(W_EXITCODE(c.status, 0));
      QCOMPARE(model.state(), UpdateModel::State::Done);
      // The Done screen shown again (a setting changed) tells nothing again.
      (void)model.set_notice_wanted(model.notice_wanted());
      // After the window's own messages on this connection, the stand-in's
      // record is complete once this call is answered.
      const QDBusMessage marker = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
          "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
          "org.freedesktop.Notifications", "GetCapabilities"));
      QCOMPARE(marker.type(), QDBusMessage::ReplyMessage);
      const QList<QJsonObject> calls = notify_calls(record);
      QVERIFY2(calls.size() == (c.in_front ? 0 : 1),
               qPrintable(QString("%1: %2 notices").arg(c.name).arg(calls.size())));
      if (on_x) {
        QVERIFY2(root->attention_requests(window) == (c.in_front ? 0 : 1), c.name);
      }
      if (c.in_front) continue;
      QCOMPARE(calls.first()["summary"].toString(), c.summary);
      QCOMPARE(calls.first()["body"].toString(), c.body);
      QCOMPARE(calls.first()["app_name"].toString(), QString("Sorvane Update"));
    }
    if (!on_x) QSKIP("the request for attention is seen only on an X display");
  }

  // UPower says the battery is at 4 %, at its warning level: Update gives
  // way to "Plug in to update" until UPower says the computer is plugged
  // in (PropertiesChanged). NetworkManager's metered connection is named
  // with what the update downloads; power saver is mentioned, not refused.
  void aLowBatteryAsksToPlugInAndAMeteredConnectionNamesTheDownload() {
    StandIn power(POWER_STAND_IN, {"true", "4", "3", "1", "power-saver"});
    QVERIFY(power.ready());
    Rooted rooted;
    PowerWatch watch(QDBusConnection::systemBus());
    rooted.model.set_power(watch.facts());
    connect(&watch, &PowerWatch::changed, &rooted.model, &UpdateModel::set_power);
    UpdateModel::Looked looked = ready_with({"zip"}, "true\n");
    looked.checks->front().download_bytes = 211'000'000;
    rooted.model.take_looked(looked);
    QTRY_VERIFY(button(rooted.window, "Plug in to update") != nullptr);
    QVERIFY(button(rooted.window, "Plug in to update")->isVisible());
    QVERIFY(!button(rooted.window, "Plug in to update")->isEnabled());
    QVERIFY(!rooted.model.update_possible());
    const QString text = rooted.model.ready_text();
    QVERIFY2(text.contains("This computer is running on battery (4 %). The battery is low"),
             qPrintable(text));
    QVERIFY2(text.contains("This connection is metered: the update will download 211 MB over it."),
             qPrintable(text));
    QVERIFY2(text.contains("Power saver is on"), qPrintable(text));
    // Update does nothing while it says to plug in.
    rooted.model.update({});
    QCOMPARE(rooted.model.state(), UpdateModel::State::Ready);

    QVERIFY(power.say("OnBattery false"));
    QTRY_VERIFY(button(rooted.window, "Update") != nullptr &&
                button(rooted.window, "Update")->isEnabled());
    QVERIFY(button(rooted.window, "Plug in to update") == nullptr);
    QVERIFY(!rooted.model.ready_text().contains("battery"));
    QVERIFY(power.say("Metered 4"));  // guess-no
    QTRY_VERIFY(!rooted.model.ready_text().contains("metered"));
  }

  // Without UPower and NetworkManager nothing is said, and Update is Update.
  void noPowerServiceSaysNothing() {
    QTRY_VERIFY(!QDBusConnection::systemBus()
                     .interface()
                     ->isServiceRegistered(QStringLiteral("org.freedesktop.UPower"))
                     .value());
    const PowerAndNetwork facts = read_power_and_network(QDBusConnection::systemBus());
    QCOMPARE(facts, PowerAndNetwork{});
  }

  // NOLINTNEXTLINE(readability-redundant-access-specifiers): moc's slots end here
 private:
  std::unique_ptr<Bus> system_;
  std::unique_ptr<Bus> session_;
};

}  // namespace sorvane::gui

SORVANE_WINDOW_TEST_MAIN(sorvane::gui::DesktopTest)
#include "gui_desktop_test.moc"
