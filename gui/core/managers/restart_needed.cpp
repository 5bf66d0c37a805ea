#include "restart_needed.hpp"

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "child_process.hpp"
#include "files.hpp"
#include "path.hpp"

namespace sorvane::gui {
namespace {

constexpr std::string_view REBOOT_REQUIRED = "run/reboot-required";
constexpr std::string_view REBOOT_REQUIRED_PACKAGES = "run/reboot-required.pkgs";
constexpr std::string_view MODULES = "usr/lib/modules";
// How many package names /run/reboot-required.pkgs gives at most.
constexpr size_t MAX_NAMED = 50;

// Packages named exactly so, or beginning so (linux-image-6.1.0-28-amd64,
// firmware-misc-nonfree).
constexpr std::array<std::string_view, 5> DEBIAN_EXACT = {"libc6", "systemd", "dbus", "dbus-daemon",
                                                          "dbus-broker"};
constexpr std::array<std::string_view, 4> DEBIAN_PREFIXES = {"linux-image-", "firmware-",
                                                             "intel-microcode", "amd64-microcode"};

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> named_in(const std::string& path) {
  std::vector<std::string> names;
  each_line_of(path, [&](std::string_view line) {
    if (!line.empty() && std::find(names.begin(), names.end(), line) == names.end()) {
      names.emplace_back(line);
    }
    return names.size() < MAX_NAMED;
  });
  return names;
}

bool ran(const RestartQuestion& question, Step step) {
  return std::find(question.steps.begin(), question.steps.end(), step) != question.steps.end();
}

}  // namespace

bool needs_restart_on_debian(const std::string& package) {
  return std::any_of(DEBIAN_EXACT.begin(), DEBIAN_EXACT.end(),
                     [&](std::string_view name) { return package == name; }) ||
         std::any_of(DEBIAN_PREFIXES.begin(), DEBIAN_PREFIXES.end(),
                     [&](std::string_view prefix) { return package.starts_with(prefix); });
}

RestartNeed restart_needed(const RestartQuestion& question, const CheckSetup& setup) {
  RestartNeed need;
  const auto because = [&need](const std::string& why) {
    need.needed = true;
    if (std::find(need.because.begin(), need.because.end(), why) == need.because.end()) {
      need.because.push_back(why);
    }
  };
  const CheckPlaces& places = setup.places;
  if (ran(question, Step::Apt)) {
    if (exists(join(places.root, REBOOT_REQUIRED))) {
      need.needed = true;
      for (const std::string& name : named_in(join(places.root, REBOOT_REQUIRED_PACKAGES))) {
        because(name);
      }
    }
    for (const std::string& name : question.updated_by_apt) {
      if (needs_restart_on_debian(name)) because(name);
    }
  }
  if (ran(question, Step::Pacman) && !question.kernel_release.empty() &&
      question.kernel_release.find('/') == std::string::npos &&
      exists(join(places.root, MODULES)) &&
      !exists(join(join(places.root, MODULES), question.kernel_release))) {
    because("linux");
  }
  if (ran(question, Step::Dnf)) {
    if (const auto dnf = trusted_tool(places, "dnf")) {
      std::vector<std::string> env = setup.environment;
      env.emplace_back("LC_ALL=C");
      const auto asked =
          run_captured({*dnf, "-q", "needs-restarting", "-r"}, env, setup.local_limit);
      // 1 with its sentence (in the C locale): a restart is due. dnf without
      // the plugin also exits 1, saying "No such command" on stderr.
      if (asked && !asked.value().timed_out && WIFEXITED(asked.value().wait_status) &&
          WEXITSTATUS(asked.value().wait_status) == 1 &&
          asked.value().out.find("Reboot is required") != std::string::npos) {
        need.needed = true;
      }
    }
  }
  return need;
}

}  // namespace sorvane::gui
