// Sorvane Update: the desktop window that runs the update.
#include <sys/prctl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTextStream>
#include <cstdlib>
#include <string_view>

#include "installation.hpp"
#include "run_dir.hpp"
#include "trust.hpp"
#include "update_model.hpp"
#include "update_window.hpp"

int main(int argc, char* argv[]) {
  // The password passes through this process: no core dump, no ptrace by
  // other processes of the user that are not its parent.
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  if (::geteuid() == 0) {
    // Run as root, it would hand root's environment to the update and ask
    // for no password: refuse before any window exists.
    static constexpr std::string_view REFUSAL =
        "sorvane-gui: Sorvane Update runs as you, not as root; it asks for your password "
        "when it needs it.\n";
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, REFUSAL.data(), REFUSAL.size());
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sorvane Update"));
  QApplication::setDesktopFileName(QStringLiteral("example.sorvane.SorvaneUpdate"));
  using sorvane::gui::UpdateWindow;

  const auto self = sorvane::gui::own_executable();
  const auto bash = sorvane::trusted_system_program("bash");
  if (!self || !bash) {
    QMessageBox::critical(
        nullptr, UpdateWindow::tr("Sorvane Update"),
        !self ? UpdateWindow::tr("Sorvane Update cannot tell where it is installed.")
              : UpdateWindow::tr("No trusted system bash was found."));
    return 1;
  }
  sorvane::gui::UpdateModel::Setup setup{
      sorvane::gui::installation_beside(self.value()), *bash,
      // NOLINTNEXTLINE(concurrency-mt-unsafe): read once, before any thread starts
      sorvane::gui::run_dir_base(std::getenv("XDG_RUNTIME_DIR"), ::geteuid()),
      sorvane::gui::kept_environment(environ)};
  sorvane::gui::UpdateModel model(std::move(setup));
  UpdateWindow window(&model);
  // For the benchmark: quit as soon as the window has been painted once.
  if (qEnvironmentVariableIsSet("SORVANE_GUI_EXIT_AFTER_PAINT")) {
    window.installEventFilter(new sorvane::gui::QuitOnFirstPaint(&app));
  }
  window.show();
  model.look();
  const int status = QApplication::exec();
  if (qEnvironmentVariableIsSet("SORVANE_GUI_EXIT_AFTER_PAINT")) {
    // The benchmark's other figure: this process's peak resident memory.
    QFile proc_status(QStringLiteral("/proc/self/status"));
    if (proc_status.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : proc_status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) QTextStream(stdout) << line << '\n';
      }
    }
  }
  return status;
}
