#include "history.hpp"

#include <fcntl.h>

#include <algorithm>
#include <ctime>

#include "manager_facts.hpp"
#include "manager_text.hpp"
#include "past_update.hpp"
#include "path.hpp"
#include "run_dir.hpp"
#include "unique_fd.hpp"
#include "update_log.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::number;

// A manager records its transaction a moment after the script began it,
// to the second.
constexpr std::int64_t SLACK_SECONDS = 2;

struct Parts {
  struct tm fields {};
  string_view rest;
};

// "YYYY-MM-DD", blanks or a "T", "HH:MM:SS": the fields, and what follows.
std::optional<Parts> date_time(string_view text) {
  constexpr size_t DATE = 10;
  constexpr size_t TIME = 8;
  if (text.size() < DATE + 1 + TIME || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = number<int>(text.substr(0, 4));
  const auto month = number<int>(text.substr(5, 2));
  const auto day = number<int>(text.substr(8, 2));
  string_view rest = text.substr(DATE);
  if (rest.front() == 'T') {
    rest.remove_prefix(1);
  } else {
    const size_t blanks = rest.find_first_not_of(' ');
    if (blanks == 0 || blanks == string_view::npos) return std::nullopt;
    rest.remove_prefix(blanks);
  }
  if (rest.size() < TIME || rest[2] != ':' || rest[5] != ':') return std::nullopt;
  const auto hour = number<int>(rest.substr(0, 2));
  const auto minute = number<int>(rest.substr(3, 2));
  const auto second = number<int>(rest.substr(6, 2));
  if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 ||
      *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60) {
    return std::nullopt;
  }
  Parts parts;
  parts.fields.tm_year = *year - 1900;
  parts.fields.tm_mon = *month - 1;
  parts.fields.tm_mday = *day;
  parts.fields.tm_hour = *hour;
  parts.fields.tm_min = *minute;
  parts.fields.tm_sec = *second;
  parts.fields.tm_isdst = -1;
  parts.rest = rest.substr(TIME);
  return parts;
}

Ended ended_of(Outcome outcome) {
  switch (outcome) {
    case Outcome::Success: return Ended::Succeeded;
    case Outcome::SuccessWithWarnings: return Ended::Warnings;
    case Outcome::PasswordRefused:
    case Outcome::Failed: break;
  }
  return Ended::Failed;
}

// Sorvane Update's finished runs, as it kept them.
std::vector<KeptRunFacts> kept_runs(const HistorySetup& setup) {
  std::vector<KeptRunFacts> runs;
  const std::optional<std::int64_t> boot = boot_time(setup.proc);
  for (FinishedRun& finished : finished_runs(setup.runs, setup.user)) {
    const PastUpdate past =
        read_past_update(finished.log.get(), finished.wait_status, finished.started, finished.ended,
                         setup.check.places.root, finished.sudo_end);
    KeptRunFacts kept;
    kept.started = finished.started;
    kept.ended = finished.ended;
    kept.steps_run = past.steps_run;
    kept.run.log_path = finished.log_path;
    kept.run.outcome = past.finish.outcome;
    kept.run.kept_configs = past.kept_configs.size();
    kept.run.restarted = boot && *boot > finished.ended;
    runs.push_back(std::move(kept));
  }
  return runs;
}

void newest_first(History& history) {
  std::stable_sort(history.entries.begin(), history.entries.end(),
                   [](const HistoryEntry& a, const HistoryEntry& b) { return a.time > b.time; });
}

}  // namespace

std::optional<std::int64_t> local_seconds(string_view text) {
  auto parts = date_time(text);
  if (!parts) return std::nullopt;
  const time_t when = std::mktime(&parts->fields);
  if (when == static_cast<time_t>(-1)) return std::nullopt;
  return std::int64_t{when};
}

std::optional<std::int64_t> iso_seconds(string_view text) {
  auto parts = date_time(text);
  if (!parts) return std::nullopt;
  string_view zone = parts->rest;
  // Fractions of a second (snap's) are dropped.
  if (zone.starts_with('.')) {
    zone.remove_prefix(1);
    while (!zone.empty() && zone.front() >= '0' && zone.front() <= '9') zone.remove_prefix(1);
  }
  if (zone.empty() || text::is_blank(zone.front()) || zone.front() == ']') {
    return local_seconds(text);
  }
  const time_t utc = ::timegm(&parts->fields);
  if (zone.starts_with('Z')) return std::int64_t{utc};
  if (zone.size() < 5 || (zone.front() != '+' && zone.front() != '-')) return std::nullopt;
  const auto hours = number<int>(zone.substr(1, 2));
  const size_t minutes_at = zone[3] == ':' ? 4 : 3;
  const auto minutes = number<int>(zone.substr(minutes_at, 2));
  if (!hours || !minutes) return std::nullopt;
  // East of UTC is ahead of it.
  const std::int64_t offset =
      (zone.front() == '+' ? 1 : -1) * (std::int64_t{*hours} * 3600 + std::int64_t{*minutes} * 60);
  return std::int64_t{utc} - offset;
}

void match_sorvane_runs(History& history, const std::vector<KeptRunFacts>& runs) {
  for (const KeptRunFacts& run : runs) {
    bool matched = false;
    for (HistoryEntry& entry : history.entries) {
      if (std::find(run.steps_run.begin(), run.steps_run.end(), entry.manager) ==
              run.steps_run.end() ||
          entry.time < run.started - SLACK_SECONDS || entry.time > run.ended + SLACK_SECONDS) {
        continue;
      }
      entry.sorvane = run.run;
      matched = true;
    }
    // A run no manager recorded (it failed before one changed anything)
    // is history too: where it stopped.
    if (!matched && !run.steps_run.empty()) {
      HistoryEntry entry;
      entry.time = run.started;
      entry.end = run.ended;
      entry.manager = run.steps_run.back();
      entry.ended = ended_of(run.run.outcome);
      entry.sorvane = run.run;
      history.entries.push_back(std::move(entry));
    }
  }
  newest_first(history);
}

History read_history(const std::vector<Step>& steps, const HistorySetup& setup) {
  History history;
  for (const Step step : steps) {
    if (facts(step).history != nullptr) facts(step).history(setup, history);
  }
  match_sorvane_runs(history, kept_runs(setup));
  return history;
}

History filtered(History history, std::optional<std::int64_t> since, const std::string& package) {
  std::erase_if(history.entries, [&](HistoryEntry& entry) {
    if (since && entry.time < *since) return true;
    if (package.empty()) return false;
    std::erase_if(entry.packages, [&](const PackageChange& p) { return p.name != package; });
    return entry.packages.empty();
  });
  return history;
}

}  // namespace sorvane::gui
