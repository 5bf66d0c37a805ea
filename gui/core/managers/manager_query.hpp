// How a manager's own file asks it before the password: its tools by the
// path the update finds them on, as the desktop user, in the C locale,
// each within a time and output limit.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.hpp"
#include "files.hpp"
#include "pending_check.hpp"
#include "result.hpp"

namespace sorvane::gui {

// Small files the kernel or a manager keeps: /proc/locks, routes, comm.
inline constexpr size_t MAX_STATE_FILE = size_t{1024} * 1024;

// Why an answer is from what is already on this computer: the check may
// not use the network (CheckSetup::network_allowed).
inline constexpr std::string_view NOT_ON_THIS_CONNECTION = "not on this connection";

// A system path ("var/lib/..." or "/var/lib/...") under the places' root.
std::string under(const CheckPlaces& places, std::string_view path);

struct Asked {
  Captured run;
  int status = 0;
};

// Runs one query: the tool by its trusted path, the arguments as given.
Result<Asked, CheckProblem> ask(const CheckSetup& setup, std::string_view tool,
                                std::vector<std::string> args, std::chrono::milliseconds limit);
// The first line of what a query printed, for a reason a person can act on.
std::string first_words(const Captured& run);
CheckProblem could_not(std::string detail);
// A query that ran and failed, with its status and its first words.
CheckProblem failed(std::string_view tool, const Asked& asked);
ManagerCheck with_problem(ManagerCheck check, CheckProblem problem);
// Seconds since the newest of `paths` changed; nothing when none exists.
std::optional<std::int64_t> age_of(const std::vector<std::string>& paths);
// LockHeld, naming who holds any of `locks` (system paths).
std::optional<CheckProblem> a_lock_held(const CheckPlaces& places,
                                        std::span<const std::string_view> locks);

}  // namespace sorvane::gui
