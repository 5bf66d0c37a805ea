#include "flatpak_history.hpp"

#include <array>
#include <ctime>

#include "flatpak.hpp"
#include "history_source.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::trim;

constexpr std::int64_t SAME_TRANSACTION_SECONDS = 60;
constexpr std::array<string_view, 12> MONTHS = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "Dec  9 10:00:01" in the year that puts it at or before `now`.
std::optional<std::int64_t> flatpak_time(string_view text, std::int64_t now) {
  const auto found = text::words(text, 3);
  if (found.size() != 3) return std::nullopt;
  size_t month = 0;
  while (month < MONTHS.size() && MONTHS.at(month) != found[0]) ++month;
  const auto day = text::number<int>(found[1]);
  if (month == MONTHS.size() || !day) return std::nullopt;
  const time_t at = now;
  struct tm today {};
  if (::localtime_r(&at, &today) == nullptr) return std::nullopt;
  for (int year = today.tm_year + 1900; year >= today.tm_year + 1900 - 1; --year) {
    // Appended rather than "0" + ...: GCC 12 at -O3 sees a false -Wrestrict there.
    const auto two = [](size_t n) {
      std::string padded = n < 10 ? "0" : "";
      padded += std::to_string(n);
      return padded;
    };
    std::string date = std::to_string(year);
    date += "-";
    date += two(month + 1);
    date += "-";
    date += two(static_cast<size_t>(*day));
    date += " ";
    date += found[2];
    const auto when = local_seconds(date);
    if (when && *when <= now) return when;
  }
  return std::nullopt;
}

Change change_of(string_view change) {
  if (change.find("uninstall") != string_view::npos) return Change::Removed;
  if (change.find("install") != string_view::npos) return Change::Installed;
  if (change.find("update") != string_view::npos) return Change::Upgraded;
  return Change::Other;
}

}  // namespace

std::vector<HistoryEntry> parse_flatpak_history(string_view out, std::int64_t now) {
  std::vector<HistoryEntry> entries;
  std::string installation;
  text::for_each_line(out, [&](string_view line) {
    const auto row = flatpak_columns<5>(line);
    if (!row) return true;
    const auto& columns = *row;
    const auto when = flatpak_time(columns[0], now);
    if (!when) return true;               // its header, or a time it does not print
    if (columns[2].empty()) return true;  // no application named: nothing to list
    const PackageChange change{
        std::string(columns[2]), {}, std::string(columns[3]), change_of(columns[1])};
    if (entries.empty() || installation != columns[4] ||
        *when - entries.back().end > SAME_TRANSACTION_SECONDS) {
      installation = columns[4];
      entries.push_back({*when,
                         *when,
                         Step::Flatpak,
                         "flatpak (" + installation + ")",
                         Ended::Succeeded,
                         {},
                         0,
                         {}});
    }
    entries.back().end = *when;
    entries.back().packages.push_back(change);
    return true;
  });
  return entries;
}

void flatpak_history(const HistorySetup& setup, History& into) {
  const auto out =
      history_command(setup, "flatpak", {"history", std::string(FLATPAK_HISTORY_COLUMNS)}, into);
  if (!out) return;
  auto entries = parse_flatpak_history(*out, std::int64_t{std::time(nullptr)});
  std::move(entries.begin(), entries.end(), std::back_inserter(into.entries));
}

}  // namespace sorvane::gui
