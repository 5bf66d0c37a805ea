#include "prometheus_text.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

#include "foreseen.hpp"
#include "managers.hpp"

// Read by machines, never by a person: nothing here is translated, and the
// names, labels and their values are the same in every language.
namespace sorvane::gui {
namespace {

struct Family {
  std::string_view name;
  std::string_view help;
};

constexpr Family CHECK_SUCCESS{"sorvane_check_success",
                               "Whether the manager answered the check (1) or not (0)."};
constexpr Family PENDING{"sorvane_updates_pending", "Updates the manager would install."};
constexpr Family HELD_BACK{"sorvane_updates_held_back",
                           "Pending updates the update would leave as they are."};
constexpr Family HELD_SECURITY{"sorvane_security_updates_held_back",
                               "Of the updates held back, those from a security archive."};
constexpr Family DOWNLOAD{"sorvane_download_bytes", "What the update would download."};
constexpr Family DATA_AGE{"sorvane_data_age_seconds",
                          "How old the package lists are that the manager answered from."};
constexpr Family PROBLEM{"sorvane_problem",
                         "A problem the check found: 1 when the update would stop there."};
constexpr Family REBOOT{"sorvane_reboot_required", "Whether a restart is due (1) or not (0)."};
constexpr Family LAST_UPDATE{"sorvane_last_update_timestamp_seconds",
                             "When the last update recorded ended, by its outcome."};
constexpr Family SUPPORT_END{"sorvane_support_end_timestamp_seconds",
                             "When the installed release stops getting updates."};

class Exposition {
 public:
  void family(const Family& family) {
    text_ += "# HELP ";
    text_ += family.name;
    text_ += ' ';
    text_ += family.help;
    text_ += "\n# TYPE ";
    text_ += family.name;
    text_ += " gauge\n";
  }
  // Label values are the managers' and problems' fixed names: nothing to
  // escape.
  void sample(const Family& family,
              std::initializer_list<std::pair<std::string_view, std::string_view>> labels,
              std::int64_t value) {
    text_ += family.name;
    if (labels.size() > 0) {
      text_ += '{';
      bool first = true;
      for (const auto& [name, label_value] : labels) {
        if (!first) text_ += ',';
        first = false;
        text_ += name;
        text_ += "=\"";
        text_ += label_value;
        text_ += '"';
      }
      text_ += '}';
    }
    text_ += ' ';
    text_ += std::to_string(value);
    text_ += '\n';
  }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

// One sample per manager and reason, as the format allows a series once:
// apt short of space on both /var and /boot is one problem of apt's.
void problems(Exposition& out, const FleetCheck& check) {
  struct Sample {
    std::string_view manager;
    std::string_view reason;
    std::int64_t value;
  };
  std::vector<Sample> samples;
  const auto add = [&samples](std::string_view manager, std::string_view reason,
                              std::int64_t value) {
    const auto same = std::find_if(samples.begin(), samples.end(), [&](const Sample& sample) {
      return sample.manager == manager && sample.reason == reason;
    });
    if (same == samples.end()) {
      samples.push_back({manager, reason, value});
    } else {
      same->value = std::max(same->value, value);
    }
  };
  const Foreseen foreseen = foresee(check.checks, check.online);
  for (const ManagerCheck& manager : check.checks) {
    const std::string_view name = manager_name(manager.step);
    if (manager.problem) {
      add(name, problem_label(manager.problem->why), foreseen.stopping == manager.step ? 1 : 0);
    } else if (foreseen.offline) {
      add(name, problem_label(Problem::Offline), 1);
    }
  }
  for (const SpaceShortage& shortage : foreseen.short_of_space) {
    for (const Step step : shortage.steps) add(manager_name(step), "short_of_space", 1);
  }
  for (const Sample& sample : samples) {
    out.sample(PROBLEM, {{"manager", sample.manager}, {"reason", sample.reason}}, sample.value);
  }
}

}  // namespace

std::string prometheus_text(const FleetCheck& check) {
  Exposition out;
  out.family(CHECK_SUCCESS);
  // A look that failed asked no manager: one sample without a manager says so.
  if (check.failed) out.sample(CHECK_SUCCESS, {}, 0);
  for (const ManagerCheck& manager : check.checks) {
    out.sample(CHECK_SUCCESS, {{"manager", manager_name(manager.step)}}, manager.problem ? 0 : 1);
  }
  out.family(PENDING);
  for (const ManagerCheck& manager : check.checks) {
    if (manager.problem) continue;
    const auto security = static_cast<std::int64_t>(security_updates(manager));
    const auto all = static_cast<std::int64_t>(manager.updates.size());
    const std::string_view name = manager_name(manager.step);
    out.sample(PENDING, {{"manager", name}, {"security", "true"}}, security);
    out.sample(PENDING, {{"manager", name}, {"security", "false"}}, all - security);
  }
  out.family(HELD_BACK);
  for (const ManagerCheck& manager : check.checks) {
    if (manager.problem) continue;
    out.sample(HELD_BACK, {{"manager", manager_name(manager.step)}},
               static_cast<std::int64_t>(manager.kept_back.size()));
  }
  out.family(HELD_SECURITY);
  for (const ManagerCheck& manager : check.checks) {
    if (manager.problem) continue;
    out.sample(HELD_SECURITY, {{"manager", manager_name(manager.step)}},
               static_cast<std::int64_t>(security_held_back(manager.kept_back)));
  }
  out.family(DOWNLOAD);
  for (const ManagerCheck& manager : check.checks) {
    if (manager.problem || !manager.download_bytes) continue;
    out.sample(DOWNLOAD, {{"manager", manager_name(manager.step)}},
               static_cast<std::int64_t>(*manager.download_bytes));
  }
  out.family(DATA_AGE);
  for (const ManagerCheck& manager : check.checks) {
    if (!manager.data_age_seconds) continue;
    out.sample(DATA_AGE, {{"manager", manager_name(manager.step)}}, *manager.data_age_seconds);
  }
  out.family(PROBLEM);
  problems(out, check);
  out.family(REBOOT);
  out.sample(REBOOT, {}, check.restart_due ? 1 : 0);
  out.family(LAST_UPDATE);
  if (check.last_update) {
    out.sample(LAST_UPDATE, {{"outcome", outcome_label(check.last_update->outcome)}},
               static_cast<std::int64_t>(check.last_update->ended));
  }
  out.family(SUPPORT_END);
  if (check.support_end) out.sample(SUPPORT_END, {}, *check.support_end);
  return out.take();
}

}  // namespace sorvane::gui
