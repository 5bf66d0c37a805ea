// The window over a model that the test drives directly, on Qt's offscreen
// platform: each screen of a run, the password field, and what happens on
// Enter. With SORVANE_PICTURES=<dir> it also saves each screen as a PNG.
#include <sys/wait.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest/QtTest>
#include <cstdlib>

#include "update_model.hpp"
#include "update_window.hpp"

namespace sorvane::gui {

// What looking found: the steps, whether sudo wants a password, and the
// checked script.
UpdateModel::Looked ready(std::vector<Step> steps, bool password, std::string script = {}) {
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  looked.steps = std::move(steps);
  looked.needs_password = password;
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
