#include "sorvane_report.hpp"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "child_process.hpp"
#include "detection.hpp"
#include "run.hpp"

namespace sorvane::gui {
namespace {

SorvaneReport unexpected() {
  return {SorvaneReport::Kind::Unexpected, {}, {}};
}

// The report names managers as sorvane displays them.
std::optional<Step> reported_step(std::string_view name) {
  for (size_t i = 0; i < MANAGER_NAMES.size(); ++i) {
    if (MANAGER_NAMES[i] == name) return step_of(static_cast<ManagerKind>(i));
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
    const auto step = reported_step(out.substr(indent, lf - indent));
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
  const auto ran = run_captured({sorvane}, env, SORVANE_LIMIT);
  if (!ran) return {SorvaneReport::Kind::Failed, {}, ran.error().text()};
  if (ran.value().timed_out) return {SorvaneReport::Kind::TimedOut, {}, {}};
  return read_sorvane_report(ran.value().out, ran.value().err, ran.value().wait_status);
}

SudoNeeds probe_sudo(const std::string& sudo, const std::string& bash,
                     const std::vector<std::string>& environment, std::chrono::milliseconds limit) {
  const auto probe = run_captured({sudo, "-k", "-n", "--", bash, "-c", ":"}, environment, limit);
  const bool ran = probe && !probe.value().timed_out && WIFEXITED(probe.value().wait_status) &&
                   WEXITSTATUS(probe.value().wait_status) == 0;
  return ran ? SudoNeeds::NoPassword : SudoNeeds::Password;
}

bool in_an_admin_group() {
  const int count = ::getgroups(0, nullptr);
  if (count < 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count) + 1);
  const int got = ::getgroups(count, groups.data());
  if (got < 0) return false;
  groups.resize(static_cast<size_t>(got));
  groups.push_back(::getegid());
  std::vector<char> buffer(size_t{16} * 1024);
  for (const gid_t gid : groups) {
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
      continue;
    }
    const std::string_view name = found->gr_name;
    if (std::find(ADMIN_GROUPS.begin(), ADMIN_GROUPS.end(), name) != ADMIN_GROUPS.end())
      return true;
  }
  return false;
}

}  // namespace sorvane::gui
