// Running sorvane for the window, and reading what it said. The report
// format is the front-end contract: anything else is not believed.
#pragma once

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "script_output.hpp"

namespace sorvane::gui {

inline constexpr std::chrono::seconds SORVANE_LIMIT{30};
inline constexpr std::chrono::seconds SUDO_PROBE_LIMIT{10};

struct SorvaneReport {
  enum class Kind : unsigned char {
    Found,       // the script was written; `steps` will run
    NoneFound,   // nothing to update, nothing written
    Failed,      // `message` is sorvane's error, as it wrote it (after "ERROR: ")
    TimedOut,    // it did not finish within SORVANE_LIMIT
    Unexpected,  // it said something outside the contract
  };
  Kind kind;
  std::vector<Step> steps;  // for Found, in the script's order
  std::string message;
};

// Reads sorvane's standard output and error and its wait status.
SorvaneReport read_sorvane_report(std::string_view out, std::string_view err, int wait_status);

// Runs `sorvane` (an absolute path) writing to `output`, within the limit.
SorvaneReport run_sorvane(const std::string& sorvane, const std::string& output,
                          const std::vector<std::string>& environment);

enum class SudoNeeds : unsigned char { Password, NoPassword };

// Asks sudo, with no password and no cached credentials, whether it would
// run the trusted bash: a NOPASSWD rule (or a stored ticket sudo ignores
// with -k) means no password must be written. Every other answer, a
// timeout included, means it wants one. sudo's words are never read: they
// are translated.
SudoNeeds probe_sudo(const std::string& sudo, const std::string& bash,
                     const std::vector<std::string>& environment,
                     std::chrono::milliseconds limit = SUDO_PROBE_LIMIT);

// The groups that distributions' sudoers let administer the system.
inline constexpr std::array<std::string_view, 3> ADMIN_GROUPS = {"sudo", "wheel", "admin"};

// Whether this process is in one of ADMIN_GROUPS. Not in any, sudo will
// most likely refuse the user, though a sudoers rule may name them.
bool in_an_admin_group();

}  // namespace sorvane::gui
