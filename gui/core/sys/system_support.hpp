// How long this system gets security updates: /etc/os-release's
// SUPPORT_END (Fedora and others set it), else Debian's and Ubuntu's
// distro-info-data tables for its VERSION_CODENAME. A rolling release (Arch)
// says neither, and nothing is said of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane::gui {

// A value of an os-release text, unquoted; nullopt when it has none.
std::optional<std::string> os_release_value(std::string_view os_release, std::string_view key);
// "YYYY-MM-DD" as midnight UTC, seconds since the epoch.
std::optional<std::int64_t> date_of(std::string_view date);
// /etc/os-release, else /usr/lib/os-release, under `root`; empty when neither.
std::string read_os_release(const std::string& root);

struct SupportFacts {
  std::string name;           // "Debian 12"
  std::string regular_until;  // YYYY-MM-DD: the last day of regular security updates
  std::string lts_until;      // of long-term support; empty when none is known
  std::string notes_url;      // where to read about upgrading
  friend bool operator==(const SupportFacts&, const SupportFacts&) = default;
};

// From an os-release text and the two distro-info-data tables (CSV:
// version,codename,series,created,release,eol,…; Debian's eol-lts is its
// long-term support).
std::optional<SupportFacts> support_of(std::string_view os_release, std::string_view debian_csv,
                                       std::string_view ubuntu_csv);
// The same from the files under `root`.
std::optional<SupportFacts> system_support(const std::string& root);

// Said on the Ready screen from this long before regular support ends.
inline constexpr std::int64_t SUPPORT_WARNING_SECONDS = std::int64_t{90} * 24 * 60 * 60;
enum class SupportState : std::uint8_t { Supported, EndsSoon, Ended };
// At `now` (seconds since the epoch): regular support ends after the last
// day it names.
SupportState support_state(const SupportFacts& support, std::int64_t now);

// What the support means now: regular support (near its end or not), the
// long-term support that follows it, or none left at all.
enum class SupportPhase : std::uint8_t { Regular, RegularEndsSoon, LongTerm, Ended };
SupportPhase support_phase(const SupportFacts& support, std::int64_t now);

}  // namespace sorvane::gui
