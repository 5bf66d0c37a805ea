#include "nagios_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "foreseen.hpp"
#include "managers.hpp"

// Read by the monitoring engine and by administrators' rules, in one fixed
// form: not translated, as the monitoring plugins' own output is not.
namespace sorvane::gui {
namespace {

std::optional<double> number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Words from outside (a mount point) on a line whose '|' begins the
// performance data: nothing that could end the line or start the data.
std::string plain(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '|' || static_cast<unsigned char>(c) < ' ' || c == '\x7f') c = '_';
  }
  return out;
}

std::string count(size_t n) {
  return std::to_string(n);
}

// " (2 security)", or nothing when none is.
std::string of_them_security(size_t security) {
  return security > 0 ? " (" + count(security) + " security)" : std::string();
}

std::string updates_phrase(size_t updates, size_t security) {
  return (updates == 1 ? "1 update" : count(updates) + " updates") + of_them_security(security);
}

const char* status_word(int status) {
  switch (status) {
    case NAGIOS_OK: return "OK";
    case NAGIOS_WARNING: return "WARNING";
    case NAGIOS_CRITICAL: return "CRITICAL";
    default: return "UNKNOWN";
  }
}

std::string perf(std::string_view label, std::int64_t value, std::string_view unit,
                 const NagiosRange* warn, const NagiosRange* crit,
                 std::optional<std::int64_t> max = std::nullopt) {
  std::string text(label);
  text += '=' + std::to_string(value);
  text += unit;
  text += ';';
  if (warn) text += warn->text;
  text += ';';
  if (crit) text += crit->text;
  text += ";0";
  if (max) text += ';' + std::to_string(*max);
  return text;
}

std::string manager_line(const ManagerCheck& manager, const Foreseen& foreseen) {
  std::string line(manager_name(manager.step));
  line += ": ";
  if (manager.problem) {
    line += problem_label(manager.problem->why);
    if (foreseen.stopping == manager.step) line += ", the update would stop here";
    return line;
  }
  line += updates_phrase(manager.updates.size(), security_updates(manager));
  if (!manager.kept_back.empty()) {
    line += ", " + count(manager.kept_back.size()) + " held back" +
            of_them_security(security_held_back(manager.kept_back));
  }
  if (manager.download_bytes && !manager.updates.empty()) {
    line += ", " + std::to_string(*manager.download_bytes) + " bytes to download";
  }
  if (manager.data_age_seconds) {
    line += ", data " + std::to_string(*manager.data_age_seconds) + " s old";
  }
  return line;
}

}  // namespace

std::optional<NagiosRange> NagiosRange::parse(std::string_view text) {
  NagiosRange range;
  range.text = std::string(text);
  if (text.starts_with('@')) {
    range.inside = true;
    text.remove_prefix(1);
  }
  const size_t colon = text.find(':');
  std::string_view low =
      colon == std::string_view::npos ? std::string_view() : text.substr(0, colon);
  const std::string_view high = colon == std::string_view::npos ? text : text.substr(colon + 1);
  if (low.empty() && high.empty()) return std::nullopt;
  if (low == "~") {
    range.low_unbounded = true;
  } else if (!low.empty()) {
    const auto value = number(low);
    if (!value) return std::nullopt;
    range.low = *value;
  }
  if (!high.empty()) {
    const auto value = number(high);
    if (!value || (!range.low_unbounded && *value < range.low)) return std::nullopt;
    range.high = value;
  }
  return range;
}

bool NagiosRange::alerts(double value) const {
  const bool within = (low_unbounded || value >= low) && (!high || value <= *high);
  return inside ? within : !within;
}

Result<NagiosLimits, std::string> nagios_limits(const std::vector<std::string_view>& options) {
  NagiosLimits limits;
  for (size_t i = 0; i < options.size(); ++i) {
    std::string_view name = options[i];
    std::optional<std::string_view> value;
    if (const size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string_view::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    } else if (i + 1 < options.size()) {
      value = options[++i];
    }
    constexpr std::array<std::string_view, 6> KNOWN = {
        "-w", "--warning", "-c", "--critical", "--warning-age", "--critical-age"};
    if (std::find(KNOWN.begin(), KNOWN.end(), name) == KNOWN.end()) {
      return "sorvane-gui: unknown option: " + std::string(name);
    }
    if (!value) return "sorvane-gui: " + std::string(name) + " needs a range";
    const auto range = NagiosRange::parse(*value);
    if (!range) return "sorvane-gui: not a range: " + std::string(*value);
    if (name == "-w" || name == "--warning") {
      limits.warning = *range;
    } else if (name == "-c" || name == "--critical") {
      limits.critical = *range;
    } else if (name == "--warning-age") {
      limits.warning_age = *range;
    } else {
      limits.critical_age = *range;
    }
  }
  return limits;
}

NagiosReport nagios_text(const FleetCheck& check, const NagiosLimits& limits) {
  if (check.failed) return {"SORVANE UNKNOWN - " + plain(*check.failed) + '\n', NAGIOS_UNKNOWN};
  if (check.checks.empty()) {
    return {"SORVANE OK - no supported package manager found\n", NAGIOS_OK};
  }
  const FleetCounts counts = fleet_counts(check);
  const Foreseen foreseen = foresee(check.checks, check.online);
  std::vector<std::string> why;
  if (foreseen.offline) why.emplace_back("offline");
  if (foreseen.stopping) {
    why.push_back("the update would stop at " + std::string(manager_name(*foreseen.stopping)));
  }
  for (const SpaceShortage& shortage : foreseen.short_of_space) {
    why.push_back("short of space on " + plain(shortage.mount_point));
  }
  const bool unchecked =
      std::any_of(check.checks.begin(), check.checks.end(), [](const ManagerCheck& manager) {
        return manager.problem && !stops_update(manager.problem->why);
      });
  for (const ManagerCheck& manager : check.checks) {
    if (manager.problem && !stops_update(manager.problem->why)) {
      why.push_back("could not check " + std::string(manager_name(manager.step)));
    }
  }
  const auto age = static_cast<double>(counts.oldest_data.value_or(0));
  const bool age_known = counts.oldest_data.has_value();
  const bool age_critical = age_known && limits.critical_age && limits.critical_age->alerts(age);
  const bool age_warning = age_known && limits.warning_age && limits.warning_age->alerts(age);
  if (age_critical || age_warning) {
    why.push_back("package lists " + std::to_string(*counts.oldest_data) + " s old");
  }
  if (check.restart_due) why.emplace_back("restart due");
  // A security fix held back is no failure, but no one should miss it.
  if (counts.held_security > 0) {
    why.push_back(count(counts.held_security) + " security update" +
                  (counts.held_security == 1 ? "" : "s") + " held back");
  }

  int status = NAGIOS_OK;
  if (foreseen.stops_update() || limits.critical.alerts(static_cast<double>(counts.security)) ||
      age_critical) {
    status = NAGIOS_CRITICAL;
  } else if (unchecked) {
    status = NAGIOS_UNKNOWN;
  } else if (limits.warning.alerts(static_cast<double>(counts.updates)) || age_warning ||
             counts.held_security > 0) {
    status = NAGIOS_WARNING;
  }

  std::string text = "SORVANE ";
  text += status_word(status);
  text += " - " + updates_phrase(counts.updates, counts.security);
  for (const std::string& part : why) text += "; " + part;
  text += " | " +
          perf("updates", static_cast<std::int64_t>(counts.updates), "", &limits.warning, nullptr);
  text += ' ' + perf("security", static_cast<std::int64_t>(counts.security), "", nullptr,
                     &limits.critical);
  text +=
      ' ' + perf("held_back", static_cast<std::int64_t>(counts.held_back), "", nullptr, nullptr);
  text += ' ' + perf("held_security", static_cast<std::int64_t>(counts.held_security), "", nullptr,
                     nullptr);
  if (age_known) {
    text += ' ' + perf("data_age", *counts.oldest_data, "s",
                       limits.warning_age ? &*limits.warning_age : nullptr,
                       limits.critical_age ? &*limits.critical_age : nullptr);
  }
  text += ' ' + perf("restart", check.restart_due ? 1 : 0, "", nullptr, nullptr, 1);
  text += '\n';
  for (const ManagerCheck& manager : check.checks) text += manager_line(manager, foreseen) + '\n';
  return {std::move(text), status};
}

}  // namespace sorvane::gui
