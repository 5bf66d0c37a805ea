// Sorvane Update: the desktop window that runs the update, and with
// --check the same check without a window, for scripts and notifiers.
#include <sys/prctl.h>

#include <QApplication>
#include <QDBusConnection>
#include <QIcon>
#include <QMessageBox>

#include "headless.hpp"
#include "power_watch.hpp"
#include "translations.hpp"
#include "update_model.hpp"
#include "update_window.hpp"

int main(int argc, char* argv[]) {
  // The password passes through this process: no core dump, no ptrace by
  // other processes of the user that are not its parent.
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  if (const auto status = sorvane::gui::run_headless(argc, argv)) return *status;

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sorvane Update"));
  QApplication::setDesktopFileName(QStringLiteral("example.sorvane.SorvaneUpdate"));
  // The icon the package installs in the hicolor theme, named by the app id.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("example.sorvane.SorvaneUpdate")));
  // Before any widget: its words, and the layout direction, follow them.
  const sorvane::gui::Translations translations;
  if (const auto status = sorvane::gui::wrong_window_call(QApplication::arguments()))
    return *status;
  auto setup = sorvane::gui::desktop_setup();
  if (!setup) {
    QMessageBox::critical(nullptr, sorvane::gui::UpdateWindow::tr("Sorvane Update"), setup.error());
    return 1;
  }
  sorvane::gui::UpdateModel model(std::move(setup.value()));
  // Power and the network, as the system's services tell them; read again
  // when they change.
  sorvane::gui::PowerWatch power(QDBusConnection::systemBus());
  model.set_power(power.facts());
  QObject::connect(&power, &sorvane::gui::PowerWatch::changed, &model,
                   &sorvane::gui::UpdateModel::set_power);
  sorvane::gui::UpdateWindow window(&model);
  window.show();
  model.look();
  return QApplication::exec();
}
