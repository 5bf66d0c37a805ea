// Sorvane Update while a package floods its output: the model and the
// window (offscreen) follow a script that prints the given number of bytes
// of apt-like lines, as they would a real update. Prints the longest stall
// of the event loop (how long the window could not answer), the peak
// resident memory, and how long the flood took to go through.
//
// usage: sorvane_window_flood <run base> <bytes>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "peak_memory.hpp"
#include "update_end.hpp"
#include "update_model.hpp"
#include "update_monitor.hpp"
#include "update_window.hpp"

namespace {

using sorvane::gui::UpdateModel;

constexpr int TICK_MS = 5;

}  // namespace

int main(int argc, char* argv[]) {
  // The flood's update runs under this executable as its monitor, as the
  // window's does under sorvane-gui.
  if (sorvane::gui::is_monitor_call(argc, argv))
    return sorvane::gui::run_update_monitor(argc, argv);
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fputs("usage: sorvane_window_flood <run base> <bytes>\n", stderr);
    return 2;
  }
  const std::string bytes = argv[2];
  UpdateModel model(
      {{"/nonexistent/sorvane", "/nonexistent/detector"}, "/usr/bin/bash", argv[1], {}});
  sorvane::gui::UpdateWindow window(&model);
  window.show();
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  looked.steps = {sorvane::gui::Step::Flatpak};
  // What the check found: something to update, so Update can be pressed.
  sorvane::gui::ManagerCheck flatpak;
  flatpak.step = sorvane::gui::Step::Flatpak;
  flatpak.updates = {{"org.example.App//stable", "", "2.0", false}};
  looked.checks = std::vector<sorvane::gui::ManagerCheck>{flatpak};
  looked.script =
      "echo 'Starting system update...'\necho\necho 'Updating Flatpak packages...'\n"
      "yes 'Get:1 http://deb.debian.org/debian bookworm/main amd64 libexample1 1.2.3-4 [123 kB]' "
      "| head -c " +
      bytes + "\necho\necho 'Update complete.'\n";
  model.take_looked(looked);

  // A timer that should fire every few milliseconds: any longer gap is
  // time the window spent away from its event loop.
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longest = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last - TICK_MS);
    last = now;
  });
  QObject::connect(&model, &UpdateModel::changed, &app, [&] {
    if (model.state() == UpdateModel::State::Done) QApplication::quit();
  });
  clock.start();
  tick.start(TICK_MS);
  model.update({});
  QApplication::exec();
  const bool done = model.finish() && model.finish()->outcome == sorvane::gui::Outcome::Success;
  std::printf("  %s bytes through the window in %.1f s (%s)\n", bytes.c_str(),
              static_cast<double>(clock.elapsed()) / 1000.0, done ? "complete" : "NOT complete");
  std::printf("  longest event-loop stall: %lld ms   (target < 50 ms)\n",
              static_cast<long long>(longest));
  std::printf("  peak resident memory: %s   (target < 64 MB)\n", peak_memory().constData());
  std::printf("  left out of the log file to save space: %llu bytes\n",
              static_cast<unsigned long long>(model.dropped_log_bytes()));
  return done ? 0 : 1;
}
