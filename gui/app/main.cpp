// Sorvane Update: the desktop window that runs the update, and with
// --check the same check without a window, for scripts and notifiers.
#include <sys/prctl.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTextStream>
#include <cstdio>
#include <string_view>

#include "check_text.hpp"
#include "fleet_mode.hpp"
#include "notifier.hpp"
#include "translations.hpp"
#include "update_end.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

namespace {

using sorvane::gui::UpdateModel;
using sorvane::gui::UpdateWindow;

constexpr std::string_view USAGE =
    "usage: sorvane-gui [--check [--json | --notify | --prometheus | --nagios]]\n";

void say(std::string_view text) {
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text.data(), text.size());
}

// The check with no display: what is pending, and the exit status scripts
// read (0 up to date, 100 pending, 1 a check failed).
int check_headless(const UpdateModel::Setup& setup, bool json) {
  const UpdateModel::Looked looked = sorvane::gui::look_for_update(setup, false);
  QTextStream out(stdout);
  if (looked.state == UpdateModel::State::NothingFound) {
    if (json) {
      out << sorvane::gui::CheckText::json({}).toJson(QJsonDocument::Indented);
    } else {
      out << UpdateWindow::tr("No supported package managers found") << '\n';
    }
    return 0;
  }
  if (looked.state != UpdateModel::State::Ready) {
    QTextStream(stderr) << "sorvane-gui: " << looked.message << '\n';
    return 1;
  }
  const auto checks = sorvane::gui::check_all(looked.steps, setup.check);
  // Offline too, as the window would refuse.
  if (json) {
    out << sorvane::gui::CheckText::json(checks, looked.online).toJson(QJsonDocument::Indented);
  } else {
    out << sorvane::gui::CheckText::report(checks, looked.online);
  }
  return sorvane::gui::check_exit_status(checks, looked.online);
}

}  // namespace

int main(int argc, char* argv[]) {
  // The password passes through this process: no core dump, no ptrace by
  // other processes of the user that are not its parent.
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  // The update's monitor, started by a window: no window of its own. It
  // runs what it is handed on descriptor 3 with whoever started it, so
  // as root it gives nothing that root does not have.
  if (sorvane::gui::is_monitor_call(argc, argv))
    return sorvane::gui::run_update_monitor(argc, argv);
  if (::geteuid() == 0) {
    // Run as root, it would hand root's environment to the update and ask
    // for no password: refuse before any window exists.
    say("sorvane-gui: Sorvane Update runs as you, not as root; it asks for your password "
        "when it needs it.\n");
    return 1;
  }
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (sorvane::gui::is_fleet_call(args)) return sorvane::gui::run_fleet_check(argc, argv);
  const bool check = !args.empty() && args[0] == "--check";
  const bool json = check && args.size() == 2 && args[1] == "--json";
  const bool notify = check && args.size() == 2 && args[1] == "--notify";
  if (!args.empty() && !(check && (args.size() == 1 || json || notify))) {
    say(USAGE);
    return 2;
  }
  if (check) {
    // Its report is for people too: in their language, all but the JSON keys.
    const QCoreApplication app(argc, argv);
    const sorvane::gui::Translations translations;
    auto setup = sorvane::gui::desktop_setup();
    if (!setup) {
      QTextStream(stderr) << "sorvane-gui: " << setup.error() << '\n';
      return 1;
    }
    if (notify) return sorvane::gui::notify_headless(setup.value());
    return check_headless(setup.value(), json);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sorvane Update"));
  QApplication::setDesktopFileName(QStringLiteral("example.sorvane.SorvaneUpdate"));
  // The icon the package installs in the hicolor theme, named by the app id.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("example.sorvane.SorvaneUpdate")));
  // Before any widget: its words, and the layout direction, follow them.
  const sorvane::gui::Translations translations;
  auto setup = sorvane::gui::desktop_setup();
  if (!setup) {
    QMessageBox::critical(nullptr, UpdateWindow::tr("Sorvane Update"), setup.error());
    return 1;
  }
  UpdateModel model(std::move(setup.value()));
  UpdateWindow window(&model);
  window.show();
  model.look();
  return QApplication::exec();
}
