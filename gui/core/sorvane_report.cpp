#include "sorvane_report.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <array>

#include "bounded_run.hpp"
#include "detection.hpp"
#include "run.hpp"

namespace sorvane::gui {
namespace {

// The report names managers as Sorvane displays them; the script's steps
// are the same five.
constexpr std::array<Step, 5> STEP_OF_KIND = {Step::Pacman, Step::Flatpak, Step::Apt, Step::Dnf,
                                              Step::Snap};

SorvaneReport unexpected() {
  return {SorvaneReport::Kind::Unexpected, {}, {}};
}

std::optional<Step> step_named(std::string_view name) {
  for (size_t i = 0; i < MANAGER_NAMES.size(); ++i) {
    if (MANAGER_NAMES[i] == name) return STEP_OF_KIND.at(i);
  }
  return std::nullopt;
}

}  // namespace

SorvaneReport read_sorvane_report(std::string_view out, std::string_view err, int wait_status) {
  const bool exited = WIFEXITED(wait_status);
  if (exited && WEXITSTATUS(wait_status) == 1 && err.starts_with(ERROR_PREFIX) &&
      err.ends_with('\n') && std::count(err.begin(), err.end(), '\n') == 1) {
    err.remove_prefix(ERROR_PREFIX.size());
    err.remove_suffix(1);
    return {SorvaneReport::Kind::Failed, {}, std::string(err)};
  }
  if (!exited || WEXITSTATUS(wait_status) != 0 || !err.empty() || !out.starts_with(REPORT_BANNER)) {
    return unexpected();
  }
  out.remove_prefix(REPORT_BANNER.size());
  if (out == REPORT_NONE_FOUND) return {SorvaneReport::Kind::NoneFound, {}, {}};
  if (!out.starts_with(REPORT_LIST_HEADER) || !out.ends_with(REPORT_SUCCESS)) return unexpected();
  out.remove_prefix(REPORT_LIST_HEADER.size());
  out.remove_suffix(REPORT_SUCCESS.size());
  std::vector<Step> steps;
  while (!out.empty()) {
    const size_t lf = out.find('\n');
    if (lf == std::string_view::npos || !out.starts_with(REPORT_ENTRY_INDENT)) return unexpected();
    const size_t indent = REPORT_ENTRY_INDENT.size();
    const auto step = step_named(out.substr(indent, lf - indent));
    if (!step) return unexpected();
    steps.push_back(*step);
    out.remove_prefix(lf + 1);
  }
  if (steps.empty()) return unexpected();
  std::sort(steps.begin(), steps.end());
  steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
  return {SorvaneReport::Kind::Found, std::move(steps), {}};
}

SorvaneReport run_sorvane(const std::string& sorvane, const std::string& output,
                          const std::vector<std::string>& environment) {
  std::vector<std::string> env = environment;
  env.push_back(std::string(OUTPUT_PATH_ENV) + "=" + output);
  const auto ran = run_bounded({sorvane}, env, SORVANE_LIMIT);
  if (!ran) return {SorvaneReport::Kind::Failed, {}, ran.error().text()};
  if (ran.value().timed_out) return {SorvaneReport::Kind::TimedOut, {}, {}};
  return read_sorvane_report(ran.value().out, ran.value().err, ran.value().wait_status);
}

SudoNeeds probe_sudo(const std::string& sudo, const std::string& bash,
                     const std::vector<std::string>& environment, std::chrono::milliseconds limit) {
  const auto probe = run_bounded({sudo, "-k", "-n", "--", bash, "-c", ":"}, environment, limit);
  const bool ran = probe && !probe.value().timed_out && WIFEXITED(probe.value().wait_status) &&
                   WEXITSTATUS(probe.value().wait_status) == 0;
  return ran ? SudoNeeds::NoPassword : SudoNeeds::Password;
}

}  // namespace sorvane::gui
