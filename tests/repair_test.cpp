// Repair… (repair.cpp): the terminal it opens, and checking again when the
// terminal closes or dpkg's database settles.
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

class RepairTest : public QObject {
  Q_OBJECT

 public:
  // Before the application exists: no system bus, so that neither "Restart
  // now" nor the update's lock can ever reach the machine's own logind.
  static void initMain() {
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/sorvane-test/system");
  }

 private slots:
  // dpkg left a run unfinished: "Repair…" opens the user's terminal with
  // fixed commands, and the window checks again once it is closed.
  void repairOpensATerminalAndChecksAgainWhenItCloses() {
    if (::geteuid() != 0) {
      if (qEnvironmentVariable("CI") == "true") QFAIL("needs root, and CI=true runs as root");
      QSKIP("needs root: the stand-in terminal must pass the trust test, under /run");
    }
    // Root's and writable by no one else, as the update's own programs.
    QTemporaryDir bin("/run/sorvane-terminal-XXXXXX");
    QVERIFY(bin.isValid());
    const QString recorded = bin.path() + "/argv";
    // It records its command line, a NUL after each word, and closes.
    QFile terminal(bin.path() + "/x-terminal-emulator");
    QVERIFY(
        write_program(terminal, QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" > %1.part\n"
                                               "mv %1.part %1\n")
                                    .arg(recorded)));
    for (const bool found : {true, false}) {
      QTemporaryDir empty;
      UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                               "/usr/bin/bash",
                               empty.path().toStdString(),
                               {}};
      setup.check.places.path_dirs = {(found ? bin.path() : empty.path()).toStdString()};
      UpdateModel model(setup);
      UpdateWindow window(&model);
      UpdateModel::Looked looked = ready({Step::Apt}, true);
      (*looked.checks)[0].updates.clear();
      (*looked.checks)[0].problem = CheckProblem{Problem::DpkgInterrupted, "sorvane-broken"};
      (*looked.checks)[0].repair = DpkgRepair::Configure;
      model.take_looked(looked);
      window.show();
      QVERIFY(window.managers()->rows()[0].contains("sorvane-broken"));
      QVERIFY(window.repair_button()->isVisible());
      QVERIFY(window.repair_button()->isDefault());
      QVERIFY(model.proposal() == UpdateModel::Proposal::Repair);
      QVERIFY(!window.update_button()->isVisible());
      QVERIFY(!window.password()->isVisible());
      QVERIFY(!window.repair_commands()->isVisible());
      QVERIFY2(window.message()->text().contains(
                   "Repair… opens a terminal that runs sudo dpkg --configure -a."),
               qPrintable(window.message()->text()));
      QVERIFY(window.message()->text().contains("its own message is shown in the terminal"));
      window.repair_button()->click();
      if (!found) {
        // Nothing to open it in: the command, to select or copy.
        QCOMPARE(model.state(), UpdateModel::State::Ready);
        QVERIFY(!window.repair_button()->isVisible());
        QVERIFY(window.repair_commands()->isVisible());
        QCOMPARE(window.repair_commands()->text(), QString("sudo dpkg --configure -a"));
        QVERIFY(window.message()->text().contains("No terminal program was found"));
        QVERIFY(window.message()->text().contains("Then check again."));
        QGuiApplication::clipboard()->clear();
        window.copy_repair_button()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("sudo dpkg --configure -a"));
        QVERIFY(!QFile::exists(recorded));
        continue;
      }
      // The terminal is given exactly the fixed command line.
      QTRY_VERIFY(QFile::exists(recorded));
      QFile argv(recorded);
      QVERIFY(argv.open(QIODevice::ReadOnly));
      QByteArrayList words = argv.readAll().split('\0');
      QCOMPARE(words.takeLast(), QByteArray());
      QByteArrayList want;
      for (const std::string& word :
           terminal_command({terminal.fileName().toStdString(), true}, "/usr/bin/bash",
                            DpkgRepair::Configure, "Press Enter to close this window.")) {
        want << QByteArray::fromStdString(word);
      }
      QCOMPARE(words, want);
      // Closed: the window looks again by itself (and here finds no sorvane).
      QTRY_VERIFY(model.state() != UpdateModel::State::Ready);
      QVERIFY(!model.repairing());
      QTRY_COMPARE(model.state(), UpdateModel::State::Stopped);
      QVERIFY(QFile::remove(recorded));
    }
  }

  // A terminal may stay open long after dpkg finished (or hand its command
  // to a server and end at once): a change to dpkg's database is enough.
  void repairChecksAgainWhenDpkgsDatabaseChanges() {
    if (::geteuid() != 0) {
      if (qEnvironmentVariable("CI") == "true") QFAIL("needs root, and CI=true runs as root");
      QSKIP("needs root: the stand-in terminal must pass the trust test, under /run");
    }
    QTemporaryDir bin("/run/sorvane-terminal-XXXXXX");
    QVERIFY(bin.isValid());
    const QString pid_file = bin.path() + "/pid";
    QFile terminal(bin.path() + "/xdg-terminal-exec");
    // Open until it is told to close.
    QVERIFY(write_program(
        terminal, QStringLiteral("#!/bin/sh\necho $$ > %1.part\nmv %1.part %1\nexec sleep 600\n")
                      .arg(pid_file)));
    QTemporaryDir base;
    QTemporaryDir root;
    UpdateModel::Setup setup = test::rooted_setup(base, root);
    setup.check.places.path_dirs = {bin.path().toStdString()};
    QVERIFY(QDir(root.path()).mkpath("var/lib/dpkg"));
    UpdateModel model(setup);
    UpdateModel::Looked looked = ready({Step::Apt}, true);
    (*looked.checks)[0].updates.clear();
    (*looked.checks)[0].problem = CheckProblem{Problem::DpkgInterrupted, "sorvane-broken"};
    (*looked.checks)[0].repair = DpkgRepair::ConfigureThenFix;
    model.take_looked(looked);
    model.repair();
    QTRY_VERIFY(QFile::exists(pid_file));
    QVERIFY(model.repairing());
    QVERIFY(model.ready_text().contains("The repair runs in the terminal"));
    QCOMPARE(model.state(), UpdateModel::State::Ready);
    // dpkg, done in the terminal, puts its new database in place.
    QFile status(root.path() + "/var/lib/dpkg/status-new");
    QVERIFY(status.open(QIODevice::WriteOnly));
    status.write("Package: sorvane-broken\nStatus: install ok installed\n");
    status.close();
    QVERIFY(QFile::rename(status.fileName(), root.path() + "/var/lib/dpkg/status"));
    QTRY_VERIFY(model.state() != UpdateModel::State::Ready);
    QVERIFY(model.repairing());  // the terminal is still open
    QFile pid(pid_file);
    QVERIFY(pid.open(QIODevice::ReadOnly));
    QCOMPARE(::kill(static_cast<pid_t>(pid.readAll().trimmed().toInt()), SIGTERM), 0);
    QTRY_VERIFY(!model.repairing());
  }
};

}  // namespace sorvane::gui

SORVANE_WINDOW_TEST_MAIN(sorvane::gui::RepairTest)
#include "repair_test.moc"
