// Sorvane Update's check before the update, measured:
//   apt       the time until apt's row is filled, against the same apt
//             query run alone (the row should cost the query, no more);
//   all       the whole check of every manager this machine has, against
//             the slowest of them alone (the queries overlap);
//   memory D  the window's peak memory with the pending updates a fake
//             apt-get in directory D reports (1,000 of them), and the
//             descriptions its fake apt-cache gives them;
//   refresh C H  apt's private refresh alone, once, with the apt
//             configuration C (APT_CONFIG: its sources) into the cache home
//             H: how long it took and whether it succeeded;
//   row C H   the time until apt's row is filled, private refresh
//             included, against that refresh alone.
//
// usage: sorvane_window_check apt | all | memory <tool dir> | refresh|row <apt.conf> <cache home>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "apt_refresh.hpp"
#include "peak_memory.hpp"
#include "script_programs.hpp"
#include "update_model.hpp"
#include "update_window.hpp"

namespace {

using sorvane::gui::ManagerCheck;
using sorvane::gui::Step;
using sorvane::gui::UpdateModel;

constexpr int CHECK_WAIT_MS = 120000;

UpdateModel::Setup bench_setup() {
  return {{"/nonexistent/sorvane", "/nonexistent/detector"}, "/usr/bin/bash", "/tmp", {}};
}

// Shows the Ready screen for `steps` and waits until every row is filled.
qint64 ready_screen_ms(UpdateModel::Setup setup, const std::vector<Step>& steps) {
  UpdateModel model(std::move(setup));
  sorvane::gui::UpdateWindow window(&model);
  window.show();
  UpdateModel::Looked looked;
  looked.state = UpdateModel::State::Ready;
  looked.steps = steps;
  QElapsedTimer timer;
  timer.start();
  QEventLoop loop;
  QTimer::singleShot(CHECK_WAIT_MS, &loop, &QEventLoop::quit);
  QObject::connect(&model, &UpdateModel::changed, &loop, [&] {
    if (!model.checking()) loop.quit();
  });
  model.take_looked(looked);
  if (model.checking()) loop.exec();
  return timer.elapsed();
}

// apt asked with the configuration given (its sources: a local mirror),
// into a cache home of the benchmark's own.
sorvane::gui::CheckSetup apt_setup(const char* config, const char* cache_home) {
  sorvane::gui::CheckSetup setup;
  setup.environment = {"PATH=/usr/bin:/bin", std::string("APT_CONFIG=") + config,
                       std::string("HOME=") + cache_home};
  setup.cache_home = cache_home;
  return setup;
}

qint64 alone_ms(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.elapsed();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "apt") {
    if (!sorvane::gui::find_like_the_script("apt-get")) {
      std::puts("  no apt-get here");
      return 0;
    }
    // apt's queries (from the lists as they are) without the window.
    const sorvane::gui::CheckSetup setup;
    const qint64 row = ready_screen_ms(bench_setup(), {Step::Apt});
    size_t pending = 0;
    const qint64 alone =
        alone_ms([&] { pending = sorvane::gui::check_manager(Step::Apt, setup).updates.size(); });
    std::printf("  apt: %zu pending updates\n", pending);
    std::printf(
        "  apt's row filled in %lld ms; the apt query alone %lld ms; ratio %.2f (target <= 1.2)\n",
        static_cast<long long>(row), static_cast<long long>(alone),
        alone > 0 ? static_cast<double>(row) / static_cast<double>(alone) : 0.0);
    return 0;
  }
  if (mode == "all") {
    const auto steps = sorvane::gui::managers_found(sorvane::gui::script_path_dirs());
    const sorvane::gui::CheckSetup setup;
    qint64 slowest = 0;
    for (const Step step : steps) {
      slowest =
          std::max(slowest, alone_ms([&] { (void)sorvane::gui::check_manager(step, setup); }));
    }
    const qint64 all = alone_ms([&] { (void)sorvane::gui::check_all(steps, setup); });
    std::printf(
        "  %zu managers checked in %lld ms; the slowest alone %lld ms; ratio %.2f (target <= "
        "1.2)\n",
        steps.size(), static_cast<long long>(all), static_cast<long long>(slowest),
        slowest > 0 ? static_cast<double>(all) / static_cast<double>(slowest) : 0.0);
    return 0;
  }
  if (mode == "memory" && argc == 3) {
    UpdateModel::Setup setup = bench_setup();
    setup.check.places.path_dirs = {argv[2]};
    const qint64 ms = ready_screen_ms(setup, {Step::Apt});
    std::printf(
        "  1000 pending updates and their descriptions shown in %lld ms; peak resident memory %s "
        "(target <= 64 MB)\n",
        static_cast<long long>(ms), peak_memory().constData());
    return 0;
  }
  if (mode == "refresh" && argc == 4) {
    sorvane::gui::AptRefresh refresh;
    const qint64 ms = alone_ms(
        [&] { refresh = sorvane::gui::refresh_private_lists(apt_setup(argv[2], argv[3])); });
    std::printf("%lld ms, %s\n", static_cast<long long>(ms),
                refresh.dir.empty() ? ("not refreshed: " + refresh.why_not).c_str() : "refreshed");
    return 0;
  }
  if (mode == "row" && argc == 4) {
    const sorvane::gui::CheckSetup setup = apt_setup(argv[2], argv[3]);
    // Once first: both measure a refresh of lists the cache already has.
    (void)sorvane::gui::refresh_private_lists(setup);
    UpdateModel::Setup window = bench_setup();
    window.check = setup;
    const qint64 row = ready_screen_ms(window, {Step::Apt});
    sorvane::gui::AptRefresh refresh;
    const qint64 alone = alone_ms([&] { refresh = sorvane::gui::refresh_private_lists(setup); });
    if (refresh.dir.empty()) {
      std::printf("  not refreshed: %s\n", refresh.why_not.c_str());
      return 0;
    }
    std::printf(
        "  apt's row filled in %lld ms, its private refresh included; the refresh alone %lld ms; "
        "ratio %.2f (target <= 1.2)\n",
        static_cast<long long>(row), static_cast<long long>(alone),
        alone > 0 ? static_cast<double>(row) / static_cast<double>(alone) : 0.0);
    return 0;
  }
  std::fputs(
      "usage: sorvane_window_check apt | all | memory <tool dir> | refresh|row <apt.conf> <cache "
      "home>\n",
      stderr);
  return 2;
}
