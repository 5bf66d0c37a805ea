// Package-manager detection: find the detector script beside the
// executable, run it under a trusted bash, and believe only the lines that
// name a supported manager whose resolved executable passes the trust test.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os_error.hpp"
#include "result.hpp"

namespace sorvane {

enum class ManagerKind : std::uint8_t { Pacman, Flatpak, Apt, Dnf, Snap };

// Display names, indexed by ManagerKind; each is also the executable name
// that selects its kind in a detector line.
inline constexpr std::array<std::string_view, 5> MANAGER_NAMES = {"pacman", "flatpak", "apt", "dnf",
                                                                  "snap"};

inline std::string_view display_name(ManagerKind kind) {
  return MANAGER_NAMES.at(static_cast<size_t>(kind));
}

struct DetectedManager {
  std::string path;  // canonical, and it passed the trust test
  ManagerKind kind;  // from the line as written, before resolution

  friend bool operator==(const DetectedManager&, const DetectedManager&) = default;
};

inline constexpr std::string_view NO_TRUSTED_BASH =
    "a trusted system Bash executable was not found";
inline constexpr std::string_view DETECTOR_FAILED = "could not run package-manager detector: ";

// <dir of own executable>/../../scripts/detect-package-managers.sh, not
// normalised. Fails when the executable's own path cannot be read: there is
// no safe place to look for the script then (the working directory may be
// anyone's).
Result<std::string, OsError> detector_path();

// Runs the detector and returns the believed managers in its order, with
// duplicates; or the message of a failure: no trusted bash, a detector that
// cannot be opened, started or waited for, or one that did not exit with 0
// (its output is then not parsed).
Result<std::vector<DetectedManager>, std::string> detect_with_script(std::string_view script);

// What a detector line claims, before the file system is asked: the
// trimmed path and the kind its final component names.
struct NamedManager {
  std::string_view path;
  ManagerKind kind;
};

// The claim of one line of detector output (valid UTF-8), or nothing when
// its final component is not exactly a supported manager's name.
std::optional<NamedManager> name_in_detector_line(std::string_view line);

// One line of detector output (valid UTF-8) to a manager, or nothing.
std::optional<DetectedManager> parse_detector_line(std::string_view line);

// Splits decoded detector output into lines: LF ends a line, a CR before it
// goes too, and text after the last LF is a line of its own.
std::vector<std::string_view> split_lines(std::string_view text);

// Removes leading and trailing White_Space characters from valid UTF-8.
std::string_view trim_white_space(std::string_view text);

}  // namespace sorvane
