// The restart offer (restart_offer.cpp): found out after an update and
// from the last run, with Restart now and Later.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QtTest>
#include <optional>
#include <utility>

#include "gui_test_support.hpp"
#include "past_update.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "update_end.hpp"
#include "update_monitor.hpp"

namespace sorvane::gui {

using test::ready;
using test::Rooted;
using test::write_program;

class RestartOfferTest : public QObject {
  Q_OBJECT

 public:
  // Before the application exists: no system bus, so that neither "Restart
  // now" nor the update's lock can ever reach the machine's own logind.
  static void initMain() {
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/sorvane-test/system");
  }

 private slots:
  // The last run carries what the Done screen would have offered: a
  // restart, read as the next start reads it (dpkg's log for the run's
  // time, the status its monitor recorded), with Restart now and Later.
  void theLastRunOffersTheRestartItNeeds() {
    const struct {
      const char* package;
      std::optional<int> status;
      QString offer;
    } cases[] = {
        {"systemd", 0,
         "Restart the computer to finish the update: systemd takes effect only then."},
        {"zip", 0, ""},
        // Killed in apt: what it did upgrade still needs the restart.
        {"libc6", W_EXITCODE(137, 0),
         "Restart the computer to finish the update: libc6 takes effect only then."},
    };
    for (const auto& c : cases) {
      Rooted rooted;
      const time_t started = ::time(nullptr) - 300;
      const QString run = rooted.base.path() + "/sorvane-update-past";
      QVERIFY(QDir().mkpath(rooted.root.path() + "/var/log"));
      QVERIFY(QDir().mkdir(run));
      QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      QFile log(run + "/update.log");
      QVERIFY(log.open(QIODevice::WriteOnly));
      log.write("Starting system update...\n\nUpdating apt packages...\nUpdate complete.\n");
      log.close();
      QFile dpkg(rooted.root.path() + "/var/log/dpkg.log");
      QVERIFY(dpkg.open(QIODevice::WriteOnly));
      dpkg.write((QDateTime::fromSecsSinceEpoch(started + 1).toString("yyyy-MM-dd HH:mm:ss") +
                  QString(" upgrade %1:amd64 1 2\n").arg(c.package))
                     .toUtf8());
      dpkg.close();
      const UniqueFd dir(::open(run.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY));
      QVERIFY(!record_status(dir.get(), {*c.status, started, started + 2}));

      // Fleets are told the same, also once a window has shown the run's
      // end, and until the computer restarts after it.
      mark_shown(UniqueFd(::open((run + "/update.log").toLocal8Bit().constData(), O_RDONLY)).get());
      auto newest = newest_finished_run(rooted.base.path().toStdString(), ::geteuid(),
                                        rooted.root.path().toStdString());
      QVERIFY(newest);
      CheckSetup fleet_check;
      fleet_check.places.root = rooted.root.path().toStdString();
      QCOMPARE(restart_still_due(*newest, fleet_check, started - 60), !c.offer.isEmpty());
      QVERIFY(!restart_still_due(*newest, fleet_check, started + 60));
      QFile::setPermissions(run + "/update.log", QFile::ReadOwner | QFile::WriteOwner);

      auto last = unshown_run(rooted.base.path().toStdString(), ::geteuid());
      QVERIFY(last);
      PastUpdate past =
          read_past_update(last->log.get(), last->wait_status, last->started, last->ended,
                           rooted.root.path().toStdString(), last->sudo_end);
      CheckSetup check;
      check.places.root = rooted.root.path().toStdString();
      RestartNeed restart = past_restart(past, check);
      UpdateModel::Looked looked = ready({Step::Apt}, false);
      looked.last_run = std::make_shared<const UpdateModel::LastRun>(
          UpdateModel::LastRun{std::move(*last), std::move(past), std::move(restart)});
      rooted.model.take_looked(looked);
      rooted.window.show();
      QCOMPARE(rooted.model.restart_text(), c.offer);
      QVERIFY2(rooted.window.last_run()->text().endsWith(c.offer), c.package);
      QCOMPARE(rooted.window.last_run_restart_button()->isVisibleTo(&rooted.window),
               !c.offer.isEmpty());
      if (c.offer.isEmpty()) continue;
      rooted.model.restart_later();
      QVERIFY(!rooted.window.last_run_restart_button()->isVisibleTo(&rooted.window));
      QVERIFY(!rooted.window.last_run()->text().contains("Restart"));
    }
  }

  // After the update, a restart is offered when an updated package needs
  // one (Debian without /run/reboot-required), and "Later" puts it away.
  void aRestartIsOfferedWhenAnUpdatedPackageNeedsOne() {
    const std::pair<std::string, QString> cases[] = {
        {"libc6", "Restart the computer to finish the update: libc6 takes effect only then."},
        {"zip", ""},
    };
    for (const auto& [package, offer] : cases) {
      Rooted rooted;
      // Named, not bound: a lambda below may capture them.
      const QTemporaryDir& root = rooted.root;
      UpdateModel& model = rooted.model;
      UpdateWindow& window = rooted.window;
      QVERIFY(QDir(root.path()).mkpath("var/log"));
      const std::string script =
          QStringLiteral(
              "echo 'Updating apt packages...'\n"
              "echo '2026-12-09 10:00:00 status installed %1:amd64 2.0' >> %2/var/log/dpkg.log\n"
              "echo 'Update complete.'\n")
              .arg(QString::fromStdString(package), root.path())
              .toStdString();
      UpdateModel::Looked looked = ready({Step::Apt}, false, script);
      (*looked.checks)[0].updates = {{package, "1.0", "2.0", false}};
      model.take_looked(looked);
      window.show();
      model.update({});
      QVERIFY(!model.restart_known());
      QTRY_COMPARE_WITH_TIMEOUT(model.state(), UpdateModel::State::Done, 10000);
      // Found out in the background, after the Done screen shows.
      QTRY_VERIFY(model.restart_known());
      QCOMPARE(model.restart_text(), offer);
      QCOMPARE(window.restart_button()->isVisibleTo(&window), !offer.isEmpty());
      if (offer.isEmpty()) continue;
      QCOMPARE(window.restart_text()->text(), offer);
      // With no system bus, nothing can restart it from here, and the
      // screen says so.
      window.restart_button()->click();
      // Beneath the heading, as a line of its own: the heading stays how the
      // update ended.
      const QString refusal(
          "The computer cannot be restarted from here: logind, which restarts it, is not "
          "running. Restart it from the system menu.");
      QCOMPARE(window.done_heading()->text(), QString("Update complete"));
      QCOMPARE(window.restart_answer()->text(), refusal);
      QVERIFY(window.restart_answer()->isVisibleTo(&window));
      QCOMPARE(window.message(), window.restart_answer());
      QVERIFY(model.restart_offered());
      for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == "Later") button->click();
      }
      QVERIFY(!model.restart_offered());
      QVERIFY(!window.restart_button()->isVisibleTo(&window));
    }
  }
};

}  // namespace sorvane::gui

SORVANE_WINDOW_TEST_MAIN(sorvane::gui::RestartOfferTest)
#include "restart_offer_test.moc"
