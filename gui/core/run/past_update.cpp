#include "past_update.hpp"

#include <fcntl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "manager_facts.hpp"
#include "manager_text.hpp"
#include "path.hpp"
#include "unique_fd.hpp"
#include "update_log.hpp"
#include "update_progress.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// Far more than a month of dpkg's or pacman's log; the rest is not read.
constexpr size_t MAX_MANAGER_LOG = size_t{32} << 20;

std::string file_text(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  std::string text;
  if (fd.valid())
    read_whole_file(
        fd.get(), [&](std::string_view part) { text += part; }, MAX_MANAGER_LOG);
  return text;
}

std::string local_time(time_t when) {
  struct tm parts {};
  std::array<char, LOG_TIME_LENGTH + 1> text{};
  if (::localtime_r(&when, &parts) == nullptr ||
      ::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &parts) != LOG_TIME_LENGTH) {
    return {};
  }
  return text.data();
}

// The steps the script began, in its order: their lines, as the script
// prints them, in the log; of the steps after sudo, not those a package
// printed while sudo ran.
std::vector<Step> steps_begun(int log, std::optional<SudoEnd> sudo_end) {
  std::vector<Step> steps;
  size_t passed_over = sudo_end ? sudo_end->step_lines : 0;
  read_lines(
      log,
      [&](string_view line) {
        if (is_after_sudo_step_line(line) && passed_over > 0) {
          --passed_over;
          return;
        }
        for (const Manager& row : MANAGERS) {
          if (line.ends_with(row.step_line) &&
              std::find(steps.begin(), steps.end(), row.step) == steps.end()) {
            steps.push_back(row.step);
          }
        }
      },
      ScriptOutput::MAX_LINE_BYTES, MAX_LOG_TEXT);
  return steps;
}

}  // namespace

PastUpdate read_past_update(int log, std::optional<int> wait_status, time_t started, time_t ended,
                            const std::string& root, std::optional<SudoEnd> sudo_end) {
  PastUpdate past;
  past.started = started;
  const std::vector<Step> steps = steps_begun(log, sudo_end);
  ScriptOutput output(steps);
  if (sudo_end) output.pass_over_sudo_lines(sudo_end->step_lines);
  read_whole_file(
      log, [&](std::string_view part) { (void)output.feed(part); }, MAX_LOG_TEXT);
  (void)output.flush();
  // Its output decides nothing: a package can print anything.
  if (wait_status) past.finish = output.finish(*wait_status);
  for (size_t i = 0; i < output.started(); ++i) past.steps_run.push_back(output.steps()[i]);

  const std::string from = local_time(started);
  const std::string to = local_time(ended);
  if (from.empty() || to.empty()) return past;
  for (const Step step : output.steps()) {
    const ProgressSignals& signals = facts(step).progress;
    if (!signals.log.path.empty()) {
      const std::string log_text = file_text(join(root, signals.log.path));
      const std::vector<std::string> upgraded = signals.log.upgraded(log_text, from, to);
      past.updated.emplace_back(step, upgraded.size());
      past.updated_names.emplace_back(step, upgraded);
      const auto kept = signals.log.kept_between(log_text, from, to);
      past.kept_configs.insert(past.kept_configs.end(), kept.begin(), kept.end());
    }
    if (signals.kept_files != nullptr) {
      // Its end is known to the second: to the end of that second.
      constexpr std::int64_t SECOND = 1'000'000'000;
      const auto kept = signals.kept_files(root, std::int64_t{started} * SECOND,
                                           (std::int64_t{ended} + 1) * SECOND - 1);
      past.kept_configs.insert(past.kept_configs.end(), kept.begin(), kept.end());
    }
  }
  return past;
}

RestartNeed past_restart(const PastUpdate& past, const CheckSetup& setup) {
  if (past.steps_run.empty()) return {};
  RestartQuestion question{past.steps_run, past.updated_names, {}};
  struct utsname system {};
  if (::uname(&system) == 0) question.kernel_release = system.release;
  return restart_needed(question, setup);
}

std::optional<std::int64_t> boot_time(const std::string& proc) {
  const UniqueFd fd(::open(join(proc, "stat").c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return std::nullopt;
  std::optional<std::int64_t> boot;
  read_lines(fd.get(), [&](std::string_view line) {
    if (line.starts_with("btime ")) boot = text::number<std::int64_t>(text::trim(line.substr(6)));
  });
  return boot;
}

std::optional<NewestRun> newest_finished_run(const std::string& logs, uid_t user,
                                             const std::string& root) {
  std::vector<FinishedRun> runs = finished_runs(logs, user);
  const auto newest = std::max_element(
      runs.begin(), runs.end(),
      [](const FinishedRun& a, const FinishedRun& b) { return a.ended < b.ended; });
  if (newest == runs.end()) return std::nullopt;
  PastUpdate past = read_past_update(newest->log.get(), newest->wait_status, newest->started,
                                     newest->ended, root, newest->sudo_end);
  return NewestRun{std::move(*newest), std::move(past)};
}

bool restart_still_due(const NewestRun& newest, const CheckSetup& setup,
                       std::optional<std::int64_t> boot) {
  if (boot && *boot > newest.run.ended) return false;
  return past_restart(newest.past, setup).needed;
}

}  // namespace sorvane::gui
