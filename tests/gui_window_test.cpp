// The window over a model that the test drives directly, on Qt's offscreen
// platform: each screen of a run, the password field, and what happens on
// Enter. With SORVANE_PICTURES=<dir> it also saves each screen as a PNG.
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest/QtTest>
#include <cstdlib>

#include "check_text.hpp"
#include "notifier.hpp"
#include "run_dir.hpp"
#include "update_model.hpp"
#include "update_window.hpp"

namespace sorvane::gui {

// What each manager answered to the check: one pending update each.
std::vector<ManagerCheck> one_update_each(const std::vector<Step>& steps) {
  std::vector<ManagerCheck> checks;
  for (const Step step : steps) {
    ManagerCheck check;
    check.step = step;
    check.updates = {{"base-files", "12.4", "12.5", false}};
    checks.push_back(check);
  }
  return checks;
}

// What looking found: the steps, whether sudo wants a password, and the
// checked script.
UpdateModel::Looked ready(std::vector<Step> steps, bool password, std::string script = {}) {
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  looked.checks = one_update_each(steps);
  looked.steps = std::move(steps);
  looked.needs_password = password;
  looked.access = password ? UpdateModel::Access::Password : UpdateModel::Access::NoPassword;
  looked.script = std::move(script);
  return looked;
}

// A model that runs nothing by itself, and its window, shown.
struct Shown {
  UpdateModel model{
      {{"/nonexistent/sorvane", "/nonexistent/detector"}, "/usr/bin/bash", "/tmp", {}}};
  UpdateWindow window{&model};
  Shown() { window.show(); }
};

// The model's own runs of a script, in a private base directory.
struct Running {
  QTemporaryDir base;
  UpdateModel model{{{"/nonexistent/sorvane", "/nonexistent/detector"},
                     "/usr/bin/bash",
                     base.path().toStdString(),
                     {}}};
  UpdateWindow window{&model};

  Running(std::vector<Step> steps, bool password, std::string script) {
    model.take_looked(ready(std::move(steps), password, std::move(script)));
    window.show();
  }
  [[nodiscard]] QStringList run_dirs() const {
    return QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  }
};

class WindowTest : public QObject {
  Q_OBJECT

 private:
  void picture(QWidget& window, const QString& name) {
    const char* dir = std::getenv("SORVANE_PICTURES");  // NOLINT(concurrency-mt-unsafe)
    if (dir == nullptr) return;
    window.adjustSize();
    QVERIFY(window.grab().save(QString::fromUtf8(dir) + "/" + name + ".png"));
  }

 private slots:
  void looking() {
    Shown shown;
    auto& [model, window] = shown;
    QCOMPARE(window.pages()->currentIndex(), 0);
    picture(window, "looking");
  }

  void readyAsksForThePasswordOnlyWhenSudoWantsOne() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt, Step::Flatpak}, true));
    QVERIFY(window.password()->isVisible());
    // In the report's order (flatpak before apt), though apt runs first.
    QCOMPARE(window.managers()->count(), 2);
    QVERIFY(window.managers()->item(0)->text().startsWith("flatpak"));
    QVERIFY(window.managers()->item(1)->text().startsWith("apt"));
    QVERIFY(window.update_button()->isDefault());
    QCOMPARE(window.password()->echoMode(), QLineEdit::Password);
    picture(window, "ready");
    model.take_looked(ready({Step::Flatpak}, false));
    QVERIFY(!window.password()->isVisible());
  }

  // What the Ready screen says and offers, from what the managers answered.
  void theReadyScreenSaysWhatTheCheckFound() {
    using Access = UpdateModel::Access;
    const auto answer = [](Step step, std::vector<PendingUpdate> updates,
                           std::optional<CheckProblem> problem = std::nullopt) {
      ManagerCheck check;
      check.step = step;
      check.updates = std::move(updates);
      check.problem = std::move(problem);
      return check;
    };
    const PendingUpdate libssl{"libssl3", "3.0.11-1", "3.0.13-1", true};
    const PendingUpdate zip{"zip", "3.0-13", "3.0-14", false};
    struct Case {
      const char* name;
      std::vector<Step> steps;
      std::vector<ManagerCheck> answers;  // a step with none is still being checked
      Access access = Access::Password;
      bool online = true;
      QString title;
      QStringList rows;   // each row starts with this
      QString text;       // the text under the rows holds this
      bool update_shown;  // visible (maybe disabled)
      bool update_possible;
      bool update_default;
      bool password_shown;
    };
    const std::vector<Case> cases = {
        {"pending",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Apt, {libssl, zip}), answer(Step::Flatpak, {})},
         Access::Password,
         true,
         "2 updates are ready",
         {"flatpak — up to date", "apt — 2 updates (1 security)"},
         "",
         true,
         true,
         true,
         true},
        {"up to date",
         {Step::Apt},
         {answer(Step::Apt, {})},
         Access::Password,
         true,
         "Your system is up to date",
         {"apt — up to date"},
         "Nothing is waiting",
         true,
         true,
         false,
         true},
        {"pacman would stop it",
         {Step::Pacman, Step::Apt},
         {answer(Step::Pacman, {}, CheckProblem{Problem::NoRepository, {}}),
          answer(Step::Apt, {zip})},
         Access::Password,
         true,
         "The update would not succeed",
         {"pacman — cannot update: no package repository is configured", "apt — 1 update"},
         "stop at pacman, and leave apt alone",
         false,
         false,
         false,
         false},
        {"a failed query does not stop it",
         {Step::Apt},
         {answer(Step::Apt, {},
                 CheckProblem{Problem::CouldNotCheck, "apt-get exited with status 100"})},
         Access::NoPassword,
         true,
         "Ready to update",
         {"apt — could not check: apt-get exited with status 100"},
         "",
         true,
         true,
         true,
         false},
        {"still checking",
         {Step::Apt, Step::Flatpak},
         {answer(Step::Flatpak, {zip})},
         Access::Password,
         true,
         "Checking for updates…",
         {"flatpak — 1 update", "apt — checking for updates…"},
         "",
         true,
         false,
         false,
         true},
        {"offline",
         {Step::Apt},
         {answer(Step::Apt, {zip})},
         Access::Password,
         false,
         "The update would not succeed",
         {"apt — 1 update"},
         "not connected to a network",
         false,
         false,
         false,
         false},
        {"sudo will likely refuse",
         {Step::Apt},
         {answer(Step::Apt, {zip})},
         Access::Unlikely,
         true,
         "Your account may not install updates",
         {"apt — 1 update"},
         "none of the groups",
         false,
         false,
         false,
         false},
    };
    for (const Case& c : cases) {
      Shown shown;
      auto& [model, window] = shown;
      UpdateModel::Looked looked = ready(c.steps, c.access != Access::NoPassword);
      looked.access = c.access;
      looked.online = c.online;
      looked.checks = c.answers;
      model.take_looked(looked);
      const QString name = QString::fromLatin1(c.name);
      QCOMPARE(window.ready_title()->text(), c.title);
      QCOMPARE(window.managers()->count(), c.rows.size());
      for (int i = 0; i < c.rows.size(); ++i) {
        QVERIFY2(window.managers()->item(i)->text().startsWith(c.rows[i]),
                 qPrintable(name + ": " + window.managers()->item(i)->text()));
      }
      QVERIFY2(window.message()->text().contains(c.text),
               qPrintable(name + ": " + window.message()->text()));
      QVERIFY2(window.update_button()->isVisible() == c.update_shown, qPrintable(name));
      QVERIFY2(model.update_possible() == c.update_possible, qPrintable(name));
      QVERIFY2(window.update_button()->isDefault() == c.update_default, qPrintable(name));
      QVERIFY2(window.check_again_button()->isDefault() == (!c.update_default && !model.checking()),
               qPrintable(name));
      QVERIFY2(window.password()->isVisible() == c.password_shown, qPrintable(name));
      // Update waits for a password wherever one is asked.
      if (c.password_shown) {
        QVERIFY2(!window.update_button()->isEnabled(), qPrintable(name));
        window.password()->setText("secret");
      }
      QVERIFY2(window.update_button()->isEnabled() == c.update_possible, qPrintable(name));
      if (c.access == Access::Unlikely) {
        // A sudoers rule may still name the user: the field on request.
        QVERIFY(window.password_anyway_button()->isVisible());
        window.password_anyway_button()->click();
        QVERIFY(window.password()->isVisible());
        QVERIFY(model.update_possible());
      }
      if (name == "pending") {
        QCOMPARE(model.pending_lines(), QStringList({"apt: libssl3 3.0.11-1 → 3.0.13-1 (security)",
                                                     "apt: zip 3.0-13 → 3.0-14"}));
        picture(window, "ready");
      }
      if (name == "pacman would stop it") picture(window, "would-fail");
    }
  }

  // What the update would run must still be what was shown when Update is
  // pressed: a manager installed since means looking again, not running it.
  void aManagerInstalledSinceTheCheckMeansLookingAgain() {
    QTemporaryDir empty;
    UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                             "/usr/bin/bash",
                             empty.path().toStdString(),
                             {}};
    setup.check.places.path_dirs = {empty.path().toStdString()};
    UpdateModel model(setup);
    UpdateModel::Looked looked = ready({Step::Apt}, false, "exit 0\n");
    looked.found = std::vector<Step>{};  // nothing then: apt appears below
    QVERIFY(QFile::link("/usr/bin/true", empty.path() + "/apt"));
    model.take_looked(looked);
    model.update({});
    QCOMPARE(model.state(), UpdateModel::State::Looking);
    QTRY_VERIFY(model.state() != UpdateModel::State::Looking);
    QVERIFY2(model.message().contains("changed since the check"), qPrintable(model.message()));
    // No update ran: the only run directory is none at all.
    QCOMPARE(QDir(empty.path()).entryList({"sorvane-update-*"}, QDir::Dirs).size(), 0);
  }

  // Only one update at a time: a second window follows the running one.
  void aSecondWindowFollowsTheRunningUpdate() {
    QTemporaryDir base;
    auto first = RunDir::make(base.path().toStdString());
    QVERIFY(first);
    auto log = first.value().create_log();  // claimed, as a running script holds it
    QVERIFY(log);
    first.value().keep();
    const std::string started = "Starting system update...\n\nUpdating apt packages...\n";
    QVERIFY(::write(log.value().get(), started.data(), started.size()) ==
            static_cast<ssize_t>(started.size()));
    UpdateModel second({{"/nonexistent/sorvane", "/nonexistent/detector"},
                        "/usr/bin/bash",
                        base.path().toStdString(),
                        {}});
    UpdateModel::Looked looked = ready({Step::Apt}, true);
    auto running = running_update_log(base.path().toStdString(), ::geteuid());
    QVERIFY(running);
    looked.running = std::make_shared<UniqueFd>(std::move(*running));
    second.take_looked(looked);
    QCOMPARE(second.state(), UpdateModel::State::Updating);
    QTRY_COMPARE(second.step_state(0), UpdateModel::StepState::Running);
    second.update("secret");  // nothing starts while it runs
    QCOMPARE(second.state(), UpdateModel::State::Updating);
    const std::string ended = "Update complete.\n";
    QVERIFY(::write(log.value().get(), ended.data(), ended.size()) ==
            static_cast<ssize_t>(ended.size()));
    log.value().reset();  // the script ends: its claim goes
    QTRY_COMPARE(second.state(), UpdateModel::State::Done);
    QCOMPARE(second.finish()->outcome, Outcome::Success);
    // Not running any more: a new look would find nothing to follow.
    QVERIFY(!running_update_log(base.path().toStdString(), ::geteuid()));
  }

  // The headless check: one JSON document, and dnf check-update's statuses.
  void theHeadlessCheckSaysTheSameAsJsonAndByItsStatus() {
    ManagerCheck apt;
    apt.step = Step::Apt;
    apt.updates = {{"libssl3", "3.0.11-1", "3.0.13-1", true}};
    apt.download_bytes = 2000000;
    apt.data_age_seconds = 3 * 3600;
    ManagerCheck pacman;
    pacman.step = Step::Pacman;
    pacman.problem = CheckProblem{Problem::NoRepository, {}};
    ManagerCheck flatpak;
    flatpak.step = Step::Flatpak;
    const QJsonObject json = CheckText::json({pacman, apt}).object();
    const QJsonArray managers = json["managers"].toArray();
    QCOMPARE(managers.size(), 2);
    const QJsonObject first = managers[0].toObject();
    QCOMPARE(first["name"].toString(), QString("pacman"));
    QVERIFY(first["download_bytes"].isNull());
    QVERIFY(first["problem"].toString().contains("repository"));
    QVERIFY(first["stops_update"].toBool());
    const QJsonObject second = managers[1].toObject();
    QVERIFY(second["problem"].isNull());
    QCOMPARE(second["download_bytes"].toDouble(), 2000000.0);
    QCOMPARE(second["data_age_seconds"].toDouble(), 10800.0);
    const QJsonObject update = second["updates"].toArray()[0].toObject();
    QCOMPARE(update["name"].toString(), QString("libssl3"));
    QCOMPARE(update["from"].toString(), QString("3.0.11-1"));
    QCOMPARE(update["to"].toString(), QString("3.0.13-1"));
    QVERIFY(update["security"].toBool());
    QCOMPARE(CheckText::summary(apt),
             QString("apt — 1 update (1 security), 2 MB to download, lists from 3 hours ago"));
    const std::vector<std::pair<std::vector<ManagerCheck>, int>> statuses = {
        {{}, 0}, {{flatpak}, 0}, {{flatpak, apt}, 100}, {{pacman, apt}, 1}};
    for (const auto& [checks, status] : statuses) QCOMPARE(check_exit_status(checks), status);
    QVERIFY(CheckText::report({pacman, apt}).contains("The update would stop at pacman."));
  }

  void nothingFoundAndStopped() {
    Shown shown;
    auto& [model, window] = shown;
    UpdateModel::Looked none;
    none.state = UpdateModel::State::NothingFound;
    model.take_looked(none);
    picture(window, "nothing-found");
    UpdateModel::Looked failed;
    failed.message = "<b>could not run package-manager detector: it exited with status 2</b>";
    model.take_looked(failed);
    // Shown as it is: never rendered as markup.
    QCOMPARE(window.message()->textFormat(), Qt::PlainText);
    QCOMPARE(window.message()->text(), failed.message);
    picture(window, "error");
  }

  void updatingAndDone() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt, Step::Flatpak}, true));
    model.take_output(
        "Starting system update...\n\nUpdating apt packages...\n"
        "Get:1 http://deb.debian.org bookworm InRelease\n\x1B[32m50%\r100%\x1B[0m");
    QCOMPARE(model.step_state(0), UpdateModel::StepState::Running);
    QCOMPARE(model.step_state(1), UpdateModel::StepState::Waiting);
    QCOMPARE(model.latest_line(), QString("100%"));
    picture(window, "updating");
    model.take_output("\nUpdating Flatpak packages...\nNothing to do.\nUpdate complete.\n");
    model.take_end(W_EXITCODE(0, 0));
    QCOMPARE(model.state(), UpdateModel::State::Done);
    QCOMPARE(window.message()->text(), QString("Update complete"));
    picture(window, "done");
  }

  void theLogKeepsColoursAndDropsOtherEscapes() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt}, true));
    model.take_output("\x1B]0;title\x07\x1B[1;31mE:\x1B[0m broken\n");
    const QTextBlock block = window.details()->document()->firstBlock();
    QCOMPARE(block.text(), QString("E: broken"));
    const QTextCharFormat first = block.begin().fragment().charFormat();
    QCOMPARE(first.foreground().color(), QColor(0xc0, 0x1c, 0x28));
    QCOMPARE(first.fontWeight(), static_cast<int>(QFont::Bold));
  }

  void aFailureNamesItsStepAndOpensTheLogThere() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Pacman, Step::Apt}, true));
    model.take_output(
        "Starting system update...\n\nUpdating pacman packages...\n"
        "error: no usable package repositories configured.\n");
    model.take_end(W_EXITCODE(1, 0));
    QCOMPARE(model.step_state(0), UpdateModel::StepState::Failed);
    QVERIFY(window.message()->text().contains("pacman"));
    QVERIFY(window.details()->isVisible());
    QCOMPARE(window.details()->textCursor().blockNumber(), 2);
    picture(window, "failed");
  }

  void aWrongPasswordReturnsToReadyWithSudosWords() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt}, true));
    window.password()->setText("wrong");
    model.take_output(
        "Starting system update...\n\nSorry, try again.\n"
        "sudo: 1 incorrect password attempt\n");
    model.take_end(W_EXITCODE(1, 0));
    QCOMPARE(model.state(), UpdateModel::State::Ready);
    QCOMPARE(window.message()->text(),
             QString("Sorry, try again.\nsudo: 1 incorrect password attempt"));
    QVERIFY(window.password()->text().isEmpty());
    picture(window, "wrong-password");
  }

  void lookingRefusesASorvaneOthersCouldChange() {
    // A real look, in the worker thread: sorvane under /tmp, which anyone
    // can write to, is never run.
    const QString dir = QStringLiteral("/tmp");
    UpdateModel model({installation_beside(dir.toStdString() + "/sorvane-gui"),
                       "/usr/bin/bash",
                       dir.toStdString(),
                       {}});
    UpdateWindow window(&model);
    window.show();
    model.look();
    QTRY_COMPARE_WITH_TIMEOUT(model.state(), UpdateModel::State::Stopped, 10000);
    QCOMPARE(window.message()->text(),
             dir + " can be changed by other users, who could change what runs as root.");
  }

  void withNoPasswordAQuestionStillEnds() {
    Running run({}, false, "read -r answer || echo 'no answer'\necho 'Update complete.'\n");
    run.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(run.model.log(), QStringList({"no answer", "Update complete."}));
    QCOMPARE(run.model.finish()->outcome, Outcome::Success);
  }

  void wrongPasswordsDoNotPileUp() {
    Running run({Step::Apt}, true,
                "echo 'Starting system update...'\necho\nread -r password\n"
                "echo 'Sorry, try again.'\nexit 1\n");
    const auto open_fds = [] {
      return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System).size();
    };
    const qsizetype fds_before = open_fds();
    for (int attempt = 0; attempt < 4; ++attempt) {
      run.model.update(QStringLiteral("wrong"));
      QCOMPARE(run.model.state(), UpdateModel::State::Updating);
      QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Ready, 10000);
      // Each attempt's own words only, and nothing of it left behind.
      QCOMPARE(run.window.message()->text(), QString("Sorry, try again."));
      QCOMPARE(run.window.details()->toPlainText(),
               QString("Starting system update...\n\nSorry, try again."));
      QCOMPARE(run.run_dirs(), QStringList());
    }
    QCOMPARE(open_fds(), fds_before);
  }

  void aFloodKeepsOnlyTheLastLinesAndStillFindsTheFailure() {
    Running run({Step::Flatpak}, false,
                "echo 'Starting system update...'\necho\nfor ((i = 0; i < 1500; i++)); do echo "
                "\"noise $i\"; done\n"
                "printf 'x%.0s' {1..5000}; echo\n"
                "echo 'Updating Flatpak packages...'\necho 'error: remote unreachable'\nexit 1\n");
    run.model.update({});
    QTRY_COMPARE_WITH_TIMEOUT(run.model.state(), UpdateModel::State::Done, 10000);
    QCOMPARE(run.model.log().size(), UpdateModel::MAX_LOG_LINES);
    QCOMPARE(run.model.dropped_lines(), size_t{1505} - UpdateModel::MAX_LOG_LINES);
    QCOMPARE(run.window.details()->document()->blockCount(), UpdateModel::MAX_LOG_LINES);
    // A long line is cut where it is shown, and says so.
    const QString long_line = run.model.log().at(run.model.log().size() - 3);
    QCOMPARE(long_line.size(), UpdateModel::MAX_SHOWN_LINE + 1);
    QVERIFY(long_line.endsWith(QStringLiteral("…")));
    QCOMPARE(run.model.finish()->failed_step, Step::Flatpak);
    QCOMPARE(run.window.details()->textCursor().block().text(),
             QString("Updating Flatpak packages..."));
    // The log of an update that ran stays for the user to read.
    QCOMPARE(run.run_dirs().size(), 1);
  }

  // "Tell me when updates are waiting": on at first, on every page, and
  // what the user makes it is kept for the daily check and the next window.
  void theNoticeSettingIsShownAndKept() {
    const QTemporaryDir dir;
    const QString file = dir.filePath("config/sorvane/sorvane-gui.conf");
    const UpdateModel::Setup setup{{"/nonexistent/sorvane", "/nonexistent/detector"},
                                   "/usr/bin/bash",
                                   "/tmp",
                                   {},
                                   SUDO_PROBE_LIMIT,
                                   CheckSetup{},
                                   file};
    UpdateModel model(setup);
    UpdateWindow window(&model);
    window.show();
    QCOMPARE(window.notice()->text(), QString("Tell me when updates are waiting"));
    QVERIFY(window.notice()->isVisible());
    QVERIFY(window.notice()->isChecked());
    window.notice()->click();
    QVERIFY(!model.notice_wanted());
    QVERIFY(!notice_wanted(file));
    model.take_looked(ready({Step::Apt}, false));
    QVERIFY(window.notice()->isVisible());
    QVERIFY(!window.notice()->isChecked());
    const UpdateModel next(setup);
    QVERIFY(!next.notice_wanted());
    window.notice()->click();
    QVERIFY(notice_wanted(file));
  }

  void aPasswordSudoCannotReadIsRefusedBeforeAnythingRuns() {
    Shown shown;
    auto& [model, window] = shown;
    model.take_looked(ready({Step::Apt}, true));
    window.password()->setText("two\nlines");
    QTest::keyClick(window.password(), Qt::Key_Return);  // Enter presses Update
    QCOMPARE(model.state(), UpdateModel::State::Ready);
    QVERIFY(window.password()->text().isEmpty());
    QVERIFY(model.message().contains("line break"));
  }
};

}  // namespace sorvane::gui

QTEST_MAIN(sorvane::gui::WindowTest)
#include "gui_window_test.moc"
