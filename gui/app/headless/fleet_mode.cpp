#include "fleet_mode.hpp"

#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "metrics_file.hpp"
#include "nagios_text.hpp"
#include "past_update.hpp"
#include "path.hpp"
#include "prometheus_text.hpp"
#include "restart_needed.hpp"
#include "update_model.hpp"

namespace sorvane::gui {
namespace {

void write_out(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) return;
    text.remove_prefix(static_cast<size_t>(n));
  }
}

std::string kernel_release() {
  struct utsname names {};
  return ::uname(&names) == 0 ? std::string(names.release) : std::string();
}

// The same look and check as --check, and the facts around them. No
// translations are loaded: what the engines read is in one fixed form.
FleetCheck look() {
  FleetCheck fleet;
  auto setup = desktop_setup();
  if (!setup) {
    fleet.failed = setup.error().toStdString();
    return fleet;
  }
  const CheckSetup& check = setup.value().check;
  // What the window and --check --json say of the release's support.
  if (const auto support = system_support(check.places.root)) {
    fleet.support_end = date_of(support->regular_until);
  }
  const UpdateModel::Looked looked = look_for_update(setup.value(), false);
  if (looked.state == UpdateModel::State::NothingFound) return fleet;
  if (looked.state != UpdateModel::State::Ready) {
    fleet.failed = looked.message.toStdString();
    return fleet;
  }
  fleet.checks = check_all(looked.steps, check);
  fleet.online = looked.online;
  // The newest update, whether a window showed its end or still does: its
  // restart is due until the computer restarts.
  if (auto newest = newest_finished_run(setup.value().logs(), ::geteuid(), check.places.root)) {
    fleet.last_update = LastUpdate{newest->run.ended, newest->past.finish.outcome};
    fleet.restart_due = restart_still_due(*newest, check, boot_time("/proc"));
  }
  if (!fleet.restart_due) {
    fleet.restart_due =
        restart_needed(RestartQuestion{looked.steps, {}, kernel_release()}, check).needed;
  }
  return fleet;
}

int prometheus(const std::optional<std::string>& output) {
  const std::string text = prometheus_text(look());
  if (!output) {
    write_out(STDOUT_FILENO, text);
    return 0;
  }
  auto written = write_metrics_file(*output, text);
  if (!written) {
    write_out(STDERR_FILENO, "sorvane-gui: " + written.error() + '\n');
    return 1;
  }
  if (written.value() == MetricsWritten::NoDirectory) {
    write_out(STDERR_FILENO, "sorvane-gui: no directory for " + *output + ", nothing written\n");
  }
  return 0;
}

// The guidelines' UNKNOWN, as for any other plugin given wrong options.
int refused(const std::string& error) {
  write_out(STDOUT_FILENO, "SORVANE UNKNOWN - " + error + '\n');
  write_out(STDERR_FILENO, help_hint().toStdString() + '\n');
  return NAGIOS_UNKNOWN;
}

int nagios(const std::vector<std::string>& given) {
  const std::vector<std::string_view> options(given.begin(), given.end());
  auto limits = nagios_limits(options);
  if (!limits) return refused(limits.error());
  const NagiosReport report = nagios_text(look(), limits.value());
  write_out(STDOUT_FILENO, report.text);
  return report.status;
}

}  // namespace

int run_fleet_check(const CommandLine& line) {
  if (line.mode == CallMode::Prometheus) return prometheus(line.output);
  if (line.mode == CallMode::Wrong) return refused("sorvane-gui: " + line.text.toStdString());
  return nagios(line.nagios_options);
}

}  // namespace sorvane::gui
