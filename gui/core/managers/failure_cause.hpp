// Why a step of the update failed, found from signals that are the same in
// every language: the manager's first error line only for what it names
// verbatim (lock file paths, and what its own file reads: apt's "E:", a
// URL, apt's "(28: " errno, dpkg's status database), the free space of the
// filesystems the update writes to, and /proc/locks for a lock's holder. The words for each cause
// are the window's; where no cause is recognised, the manager's own line
// is shown as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "managers.hpp"
#include "pending_check.hpp"
#include "script_output.hpp"

namespace sorvane::gui {

enum class Cause : std::uint8_t {
  Unknown,
  NoSpace,         // filesystem, free_bytes
  Unreachable,     // host: the server that could not be reached
  Locked,          // holder: "apt-get (process 1234)", or empty
  ScriptFailed,    // package: its maintainer script failed
  ConfigQuestion,  // package, file: dpkg asked about a changed config file
};

struct FailureCause {
  Cause cause = Cause::Unknown;
  std::string filesystem;  // where it is mounted, as the root sees it
  std::uint64_t free_bytes = 0;
  std::string host;
  std::string holder;
  std::string package;
  std::string file;

  friend bool operator==(const FailureCause&, const FailureCause&) = default;
};

// Below this much free space a filesystem the update writes to counts as
// full after a failure.
inline constexpr std::uint64_t NEARLY_FULL_BYTES = std::uint64_t{16} << 20;

// `error_line`: the step's first error line (ScriptOutput::error_line()),
// empty when it printed none. `places.root` prefixes every system path,
// `places.proc` is where /proc is.
FailureCause find_failure_cause(Step step, std::string_view error_line, const CheckPlaces& places);

// For a Failed finish with a step: its cause, from the step's first error
// line (the finish's message).
std::optional<FailureCause> failure_cause(const Finish& finish, const CheckPlaces& places);

// What the managers' own causes are made of (their files find the rest).
FailureCause no_space(const std::string& root, std::string_view path);
std::optional<std::uint64_t> free_bytes(const std::string& path);
// The host of the first URL in the line.
std::string url_host(std::string_view line);
// Whether the line names the path that starts with `prefix` (and then
// ends, or goes on with a "/"), as a whole word.
bool names_path(std::string_view line, std::string_view prefix);

}  // namespace sorvane::gui
