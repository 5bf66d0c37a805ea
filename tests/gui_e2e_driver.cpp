// Drives the real update window as a user would, for the end-to-end check
// with the real sudo (tests/check_sudo_update.sh): looks, types the
// password read from standard input (if the window asks for one), presses
// Update, and waits for the end. Prints what the window showed, one fact a
// line. Runs on Qt's offscreen platform.
//
// usage: gui_e2e_driver <path the window would have> <run base> < password
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#include "run_dir.hpp"
#include "trust.hpp"
#include "update_model.hpp"
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
}

}  // namespace

int main(int argc, char* argv[]) {
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
  if (model.state() != UpdateModel::State::Ready) return 0;
  if (window.password_anyway_button()->isVisible()) window.password_anyway_button()->click();
  if (window.password()->isVisible()) window.password()->setText(QString::fromStdString(password));
  window.update_button()->click();
  if (model.state() == UpdateModel::State::Updating &&
      !wait_while(model, UpdateModel::State::Updating, 120)) {
    return 4;
  }
  std::cout << "--- after update\n";
  report(model, window);
  return 0;
}
