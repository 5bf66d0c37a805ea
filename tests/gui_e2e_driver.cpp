// Drives the real update window as a user would, for the end-to-end checks
// with the real sudo (tests/check_sudo_update.sh, and the real apt of
// tests/check_real_update.sh): looks, types the password read from
// standard input (if the window asks for one), presses Update, and waits
// for the end. Prints what the window showed, one fact a line: while
// updating, each bar value and progress text when it changes; after it,
// the Done screen's words, the changes, the warning's line in the log and
// the restart offer. Runs on Qt's offscreen platform.
//
// usage: gui_e2e_driver <path the window would have> <run base> < password
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QTextBlock>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#include "run_dir.hpp"
#include "trust.hpp"
#include "update_end.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

namespace {

using sorvane::gui::UpdateModel;

// Waits, handling events, until the model leaves `state` or time runs out.
bool wait_while(const UpdateModel& model, UpdateModel::State state, int seconds) {
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  QObject::connect(&model, &UpdateModel::changed, &loop, [&] {
    if (model.state() != state) loop.quit();
  });
  if (model.state() != state) return true;
  loop.exec();
  return model.state() != state;
}

const char* state_name(UpdateModel::State state) {
  switch (state) {
    case UpdateModel::State::Looking: return "looking";
    case UpdateModel::State::Ready: return "ready";
    case UpdateModel::State::NothingFound: return "nothing-found";
    case UpdateModel::State::Stopped: return "stopped";
    case UpdateModel::State::Updating: return "updating";
    case UpdateModel::State::Done: return "done";
  }
  return "?";
}

void report(const UpdateModel& model, const sorvane::gui::UpdateWindow& window) {
  std::cout << "state=" << state_name(model.state()) << "\n";
  std::cout << "password-field=" << (window.password()->isVisible() ? "shown" : "hidden") << "\n";
  std::cout << "password-anyway="
            << (window.password_anyway_button()->isVisible() ? "shown" : "hidden") << "\n";
  std::cout << "title=" << window.ready_title()->text().toStdString() << "\n";
  std::cout << "message=" << window.message()->text().toStdString() << "\n";
  for (size_t i = 0; i < model.steps().size(); ++i) {
    std::cout << "step" << i << "=" << static_cast<int>(model.step_state(i)) << "\n";
  }
  for (size_t i = 0; i < model.row_count(); ++i) {
    std::cout << "row" << i << "=" << model.row_text(i).toStdString() << "\n";
  }
  std::cout << "last-run=" << window.last_run()->text().toStdString() << "\n";
  std::cout << "log-file=" << window.open_log_button()->toolTip().toStdString() << "\n";
}

// Prints the bar and the words under it whenever either changes, as the
// window shows them.
class ProgressWatch {
 public:
  ProgressWatch(const UpdateModel& model, const sorvane::gui::UpdateWindow& window)
      : model_(model), window_(window) {}

  void look() {
    if (model_.state() != UpdateModel::State::Updating) return;
    const QProgressBar* bar = window_.progress();
    // A busy bar has no value: its range is 0 to 0.
    const int value = bar->maximum() > 0 ? bar->value() : -1;
    if (value != value_) {
      value_ = value;
      std::cout << "bar=" << value << "/" << bar->maximum() << "\n";
    }
    const QString text = window_.progress_text()->text();
    if (text != text_) {
      text_ = text;
      std::cout << "progress-text=" << text.toStdString() << "\n";
    }
    const QString latest = model_.latest_line();
    if (latest != latest_) {
      latest_ = latest;
      std::cout << "latest=" << latest.toStdString() << "\n";
    }
  }

 private:
  const UpdateModel& model_;
  const sorvane::gui::UpdateWindow& window_;
  int value_ = -2;
  QString text_;
  QString latest_;
};

// The Done screen: how it ended, what each manager did, where the log
// view stands (the warning's or the failure's line), and the restart offer.
void report_done(const UpdateModel& model, const sorvane::gui::UpdateWindow& window) {
  std::cout << "done-text=" << model.done_text().toStdString() << "\n";
  for (const QString& change : model.changes()) {
    std::cout << "change=" << change.toStdString() << "\n";
  }
  if (const auto finish = model.finish()) {
    std::cout << "outcome=" << static_cast<int>(finish->outcome) << "\n";
    const auto at =
        static_cast<qsizetype>(finish->failed_line) - static_cast<qsizetype>(model.dropped_lines());
    if (finish->outcome == sorvane::gui::Outcome::SuccessWithWarnings ||
        finish->outcome == sorvane::gui::Outcome::Failed) {
      std::cout << "finish-line="
                << (at >= 0 && at < model.log().size() ? model.log().at(at).toStdString()
                                                       : std::string("(not in the log)"))
                << "\n";
      std::cout << "details-line=" << window.details()->textCursor().block().text().toStdString()
                << "\n";
    }
  }
  // The bar as it was left: full only after an update that ended well.
  std::cout << "bar-text=" << window.progress()->text().toStdString() << "\n";
  std::cout << "restart-offered=" << (model.restart_offered() ? "yes" : "no") << "\n";
  std::cout << "restart-text=" << model.restart_text().toStdString() << "\n";
  std::cout << "restart-button=" << (window.restart_button()->isVisible() ? "shown" : "hidden")
            << "\n";
}

}  // namespace

int main(int argc, char* argv[]) {
  // The update runs under this executable as its monitor.
  if (sorvane::gui::is_monitor_call(argc, argv))
    return sorvane::gui::run_update_monitor(argc, argv);
  QApplication app(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: gui_e2e_driver <window path> <run base> < password\n";
    return 2;
  }
  std::string password;
  std::getline(std::cin, password);
  UpdateModel::Setup setup{sorvane::gui::installation_beside(argv[1]),
                           sorvane::trusted_system_program("bash").value_or("/usr/bin/bash"),
                           argv[2], sorvane::gui::kept_environment(environ),
                           sorvane::gui::SUDO_PROBE_LIMIT};
  // A sudo slower to answer than the probe waits, as a dead name server
  // makes it.
  const QByteArray probe_ms = qgetenv("SORVANE_E2E_PROBE_MS");
  if (!probe_ms.isEmpty()) setup.sudo_probe_limit = std::chrono::milliseconds(probe_ms.toInt());
  // Where the check finds the managers' state (snapd's socket, the locks).
  const QByteArray state_root = qgetenv("SORVANE_E2E_STATE_ROOT");
  if (!state_root.isEmpty()) setup.check.places.root = state_root.toStdString();
  UpdateModel model(std::move(setup));
  sorvane::gui::UpdateWindow window(&model);
  window.show();
  model.look();
  if (!wait_while(model, UpdateModel::State::Looking, 60)) return 3;
  // The managers are asked what is pending before Update can be pressed.
  QEventLoop checked;
  QTimer::singleShot(120 * 1000, &checked, &QEventLoop::quit);
  QObject::connect(&model, &UpdateModel::changed, &checked, [&] {
    if (!model.checking()) checked.quit();
  });
  if (model.checking()) checked.exec();
  report(model, window);
  // Only looking, as a window opened and closed again.
  if (model.state() != UpdateModel::State::Ready ||
      qEnvironmentVariableIsSet("SORVANE_E2E_LOOK_ONLY")) {
    return 0;
  }
  if (window.password_anyway_button()->isVisible()) window.password_anyway_button()->click();
  if (window.password()->isVisible()) window.password()->type(QString::fromStdString(password));
  ProgressWatch watch(model, window);
  // After the window has taken the change in.
  QObject::connect(
      &model, &UpdateModel::changed, &window, [&watch] { watch.look(); }, Qt::QueuedConnection);
  window.update_button()->click();
  if (qEnvironmentVariableIsSet("SORVANE_E2E_LEAVE")) {
    // Closed once the first package is done: the update goes on without it.
    QEventLoop moved;
    QTimer::singleShot(600 * 1000, &moved, &QEventLoop::quit);
    QObject::connect(&model, &UpdateModel::changed, &moved, [&] {
      if (model.progress().value_or(0) > 0 || model.state() != UpdateModel::State::Updating) {
        moved.quit();
      }
    });
    moved.exec();
    std::cout << "left=" << state_name(model.state()) << "\n";
    return 0;
  }
  if (model.state() == UpdateModel::State::Updating &&
      !wait_while(model, UpdateModel::State::Updating, 600)) {
    return 4;
  }
  if (model.state() == UpdateModel::State::Done && !model.restart_known()) {
    // Whether a restart is due arrives a moment after the Done screen.
    QEventLoop asked;
    QTimer::singleShot(60 * 1000, &asked, &QEventLoop::quit);
    QObject::connect(&model, &UpdateModel::changed, &asked, [&] {
      if (model.restart_known()) asked.quit();
    });
    asked.exec();
    if (!model.restart_known()) return 5;
  }
  std::cout << "--- after update\n";
  report(model, window);
  if (model.state() == UpdateModel::State::Done) report_done(model, window);
  return 0;
}
