#include "apt_held.hpp"

#include <algorithm>
#include <set>

#include "apt.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::for_each_line;
using text::is_blank;
using text::number;
using text::trim;
using text::words;

// dpkg and apt name a foreign package "name:arch"; the simulation names it
// by its name alone when it is of the native architecture.
string_view without_arch(string_view name) {
  return name.substr(0, name.find(':'));
}

// Each record of a deb822 text (records split by empty lines): `each`
// sees its lines; `end` is called after each record.
template <typename Line, typename End>
void for_each_record(string_view text, Line&& each, End&& end) {
  bool open = false;
  for_each_line(text, [&](string_view line) {
    if (trim(line).empty()) {
      if (open) end();
      open = false;
      return true;
    }
    open = true;
    each(line);
    return true;
  });
  if (open) end();
}

// Each package the user holds in dpkg's status file, with its Depends and
// Pre-Depends joined by commas.
template <typename Take>
void for_each_held(string_view status, Take&& take) {
  std::string package;
  std::string depends;
  bool hold = false;
  for_each_record(
      status,
      [&](string_view line) {
        if (const auto name = text::field_value(line, "Package:")) package = std::string(*name);
        // "Status: want flag state": the selection is its first word.
        if (const auto value = text::field_value(line, "Status:")) {
          const auto parts = words(*value, 3);
          hold = parts.size() == 3 && parts[0] == "hold";
        }
        for (const char* field : {"Depends:", "Pre-Depends:"}) {
          if (const auto value = text::field_value(line, field)) {
            depends += ',';
            depends += *value;
          }
        }
      },
      [&] {
        if (hold && !package.empty()) take(package, string_view(depends));
        package.clear();
        depends.clear();
        hold = false;
      });
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parse_dpkg_hold_pins(string_view status) {
  std::vector<std::pair<std::string, std::string>> pins;
  for_each_held(status, [&](const std::string& package, string_view depends) {
    // "a (= 1), b (>= 2) | c": only a whole clause of one package at one
    // version pins it.
    for (size_t at = 0; at <= depends.size();) {
      const size_t end = std::min(depends.find(',', at), depends.size());
      const string_view clause = trim(depends.substr(at, end - at));
      at = end + 1;
      const size_t open = clause.find('(');
      if (open == string_view::npos || clause.find('|') != string_view::npos) continue;
      if (!trim(clause.substr(open + 1)).starts_with("=")) continue;
      const string_view name = without_arch(trim(clause.substr(0, open)));
      if (!name.empty()) pins.emplace_back(std::string(name), package);
    }
  });
  return pins;
}

std::vector<std::string> parse_dpkg_holds(string_view status) {
  std::vector<std::string> held;
  for_each_held(status, [&](const std::string& package, string_view) { held.push_back(package); });
  return held;
}

std::vector<std::string> parse_apt_phasing_deferred(string_view simulation) {
  return apt_names_listed_under(simulation,
                                "The following upgrades have been deferred due to phasing:");
}

namespace {

// One package of `apt-cache policy`'s answer that has a candidate.
struct PolicyEntry {
  std::string name;
  std::string candidate;
  bool security = false;  // the candidate comes from a security archive
};

std::vector<PolicyEntry> read_policy(string_view out) {
  std::vector<PolicyEntry> entries;
  std::string package;
  bool has_entry = false;  // the package's candidate is entries.back()
  bool of_candidate = false;
  for_each_line(out, [&](string_view line) {
    // "name:" (or "name:arch:") starts a package's part at the line's start.
    if (!line.empty() && !is_blank(line.front()) && line.ends_with(':')) {
      package = std::string(without_arch(line.substr(0, line.size() - 1)));
      has_entry = of_candidate = false;
      return true;
    }
    const auto parts = words(line, 8);
    if (package.empty() || parts.empty()) return true;
    if (parts[0] == "Candidate:") {
      if (!has_entry && parts.size() == 2 && parts[1] != "(none)") {
        entries.push_back({package, std::string(parts[1])});
        has_entry = true;
      }
      return true;
    }
    if (!has_entry) return true;
    // "     2.0 500" or " *** 1.0 100" starts a version's origins,
    // "        500 http://host/debian bookworm-security/main amd64 Packages"
    // is one of them: told apart by apt's indent, as a version may be a
    // number too.
    constexpr size_t ORIGIN_INDENT = 8;
    if (line.find_first_not_of(" \t") < ORIGIN_INDENT) {
      const string_view version = parts[0] == "***" && parts.size() > 1 ? parts[1] : parts[0];
      of_candidate = version == entries.back().candidate;
    } else if (of_candidate && parts.size() >= 3) {
      const string_view suite = string_view(parts[2]).substr(0, parts[2].find('/'));
      entries.back().security = entries.back().security || is_security_archive(suite);
    }
    return true;
  });
  return entries;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> parse_apt_policy_candidates(string_view out) {
  std::vector<PolicyEntry> entries = read_policy(out);
  std::vector<std::pair<std::string, std::string>> candidates(entries.size());
  std::transform(entries.begin(), entries.end(), candidates.begin(), [](PolicyEntry& entry) {
    return std::pair{std::move(entry.name), std::move(entry.candidate)};
  });
  return candidates;
}

std::vector<std::string> parse_apt_policy_security(string_view out) {
  std::vector<std::string> security;
  for (PolicyEntry& entry : read_policy(out)) {
    if (entry.security) security.push_back(std::move(entry.name));
  }
  return security;
}

std::vector<std::pair<std::string, int>> parse_apt_phased_percentages(string_view out) {
  std::vector<std::pair<std::string, int>> found;
  std::string package;
  std::optional<int> percent;
  for_each_record(
      out,
      [&](string_view line) {
        if (const auto name = text::field_value(line, "Package:")) package = std::string(*name);
        if (const auto value = text::field_value(line, "Phased-Update-Percentage:")) {
          percent = number<int>(*value);
          if (percent && (*percent < 0 || *percent > 100)) percent.reset();
        }
      },
      [&] {
        if (percent && !package.empty()) found.emplace_back(package, *percent);
        package.clear();
        percent.reset();
      });
  return found;
}

HeldBacks apt_held_reasons(const std::vector<std::string>& kept, string_view dpkg_status,
                           string_view simulation, const AptAsk& ask) {
  const std::vector<std::string> holds = parse_dpkg_holds(dpkg_status);
  const std::vector<std::string> deferred = parse_apt_phasing_deferred(simulation);
  const auto among = [](const std::vector<std::string>& names, string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& one) {
      return one == name || without_arch(one) == without_arch(name);
    });
  };
  const auto pins = parse_dpkg_hold_pins(dpkg_status);
  HeldBacks held;
  std::vector<std::string> unheld;
  for (const std::string& name : kept) {
    if (among(holds, name)) {
      held.push_back({name, HeldReason::HeldByUser, {}, {}});
      continue;
    }
    const auto pin = std::find_if(pins.begin(), pins.end(),
                                  [&](const auto& one) { return one.first == without_arch(name); });
    if (pin != pins.end()) {
      held.push_back({name, HeldReason::NeededByHeld, {}, pin->second});
      continue;
    }
    held.push_back({name, HeldReason::NewDependencies, {}, {}});
    unheld.push_back(name);
  }
  // One run of apt-cache says where each candidate comes from (a security
  // update held back is never "nothing to do"); only a package not held
  // by the user can be phased, so its candidates alone are shown.
  std::vector<std::pair<std::string, int>> percentages;
  std::optional<std::string> policy;
  if (!kept.empty()) {
    std::vector<std::string> args = {"policy"};
    args.insert(args.end(), kept.begin(), kept.end());
    policy = ask("apt-cache", std::move(args));
  }
  if (policy) {
    const std::vector<std::string> security = parse_apt_policy_security(*policy);
    for (HeldBack& one : held) one.security = among(security, one.name);
  }
  if (!unheld.empty()) {
    std::vector<std::string> show = {"show"};
    if (policy) {
      for (const auto& [name, version] : parse_apt_policy_candidates(*policy)) {
        if (!among(unheld, name)) continue;
        std::string pinned = name;
        pinned += '=';
        pinned += version;
        show.push_back(std::move(pinned));
      }
    }
    if (show.size() > 1) {
      if (const auto records = ask("apt-cache", std::move(show))) {
        percentages = parse_apt_phased_percentages(*records);
      }
    }
  }
  for (HeldBack& one : held) {
    if (one.reason != HeldReason::NewDependencies) continue;
    const auto percent =
        std::find_if(percentages.begin(), percentages.end(),
                     [&](const auto& found) { return found.first == without_arch(one.name); });
    // At 100 % the rollout is over: something else keeps it back.
    if (percent != percentages.end() && percent->second < 100) {
      one.reason = HeldReason::PhasedRollout;
      one.rollout_percent = percent->second;
    } else if (among(deferred, one.name)) {
      one.reason = HeldReason::PhasedRollout;
    }
  }
  return held;
}

}  // namespace sorvane::gui
