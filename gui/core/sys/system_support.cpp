#include "system_support.hpp"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <fstream>
#include <vector>

namespace sorvane::gui {
namespace {

using std::string_view;

constexpr std::int64_t DAY = std::int64_t{24} * 60 * 60;

std::vector<string_view> split(string_view line, char by) {
  std::vector<string_view> parts;
  while (true) {
    const size_t at = line.find(by);
    parts.push_back(line.substr(0, at));
    if (at == string_view::npos) return parts;
    line.remove_prefix(at + 1);
  }
}

string_view without_cr(string_view line) {
  return line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
}

// The row of `csv` whose series (third column) is `series`.
std::optional<std::vector<string_view>> row_of(string_view csv, string_view series) {
  for (const string_view line : split(csv, '\n')) {
    auto cells = split(without_cr(line), ',');
    if (cells.size() > 5 && cells[2] == series) return cells;
  }
  return std::nullopt;
}

// Where each distribution tells how to upgrade to its next release; any
// other names its HOME_URL.
std::string notes_url(string_view id, const std::optional<std::string>& home) {
  if (id == "debian") return "https://www.debian.org/releases/stable/releasenotes";
  if (id == "ubuntu") return "https://ubuntu.com/tutorials/upgrading-ubuntu-desktop";
  if (id == "fedora")
    return "https://docs.fedoraproject.org/en-US/quick-docs/upgrading-fedora-offline/";
  return home.value_or("");
}

std::optional<std::string> read_small(const std::string& path) {
  // os-release is a few hundred bytes, distro-info's tables a few
  // kilobytes; more is not one.
  constexpr std::streamsize MOST = std::streamsize{256} * 1024;
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::string text(static_cast<size_t>(MOST), '\0');
  file.read(text.data(), MOST);
  text.resize(static_cast<size_t>(file.gcount()));
  return text;
}

std::string rooted(const std::string& root, string_view path) {
  std::string whole = root;
  while (!whole.empty() && whole.back() == '/') whole.pop_back();
  return whole + "/" + std::string(path);
}

}  // namespace

std::optional<std::string> os_release_value(string_view os_release, string_view key) {
  for (string_view line : split(os_release, '\n')) {
    line = without_cr(line);
    if (line.size() <= key.size() || !line.starts_with(key) || line[key.size()] != '=') continue;
    line.remove_prefix(key.size() + 1);
    // The value may be quoted, as every os-release value may.
    if (line.size() >= 2 && (line.front() == '"' || line.front() == '\'') &&
        line.back() == line.front()) {
      line = line.substr(1, line.size() - 2);
    }
    return std::string(line);
  }
  return std::nullopt;
}

std::optional<std::int64_t> date_of(string_view date) {
  constexpr int FIRST_YEAR = 1970;
  constexpr int LAST_YEAR = 9999;
  constexpr int MONTHS = 12;
  constexpr int DAYS = 31;
  constexpr size_t DATE_LENGTH = 10;  // YYYY-MM-DD
  if (date.size() != DATE_LENGTH || date[4] != '-' || date[7] != '-') return std::nullopt;
  const auto number = [&date](size_t from, size_t length, int& into) {
    const char* first = date.data() + from;
    const auto [ptr, ec] = std::from_chars(first, first + length, into);
    return ec == std::errc() && ptr == first + length;
  };
  int year = 0;
  int month = 0;
  int day = 0;
  if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) || year < FIRST_YEAR ||
      year > LAST_YEAR || month < 1 || month > MONTHS || day < 1 || day > DAYS) {
    return std::nullopt;
  }
  std::tm when{};
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day;
  return static_cast<std::int64_t>(::timegm(&when));
}

std::string read_os_release(const std::string& root) {
  for (const char* name : {"etc/os-release", "usr/lib/os-release"}) {
    // cppcheck-suppress useStlAlgorithm
    if (auto text = read_small(rooted(root, name))) return std::move(*text);
  }
  return {};
}

std::optional<SupportFacts> support_of(string_view os_release, string_view debian_csv,
                                       string_view ubuntu_csv) {
  const std::string id = os_release_value(os_release, "ID").value_or("");
  const auto home = os_release_value(os_release, "HOME_URL");
  SupportFacts facts;
  facts.notes_url = notes_url(id, home);
  if (const auto end = os_release_value(os_release, "SUPPORT_END"); end && date_of(*end)) {
    const auto name = os_release_value(os_release, "NAME");
    const auto version = os_release_value(os_release, "VERSION_ID");
    facts.name = name.value_or(id) + (version ? " " + *version : std::string());
    facts.regular_until = *end;
    return facts;
  }
  const auto codename = os_release_value(os_release, "VERSION_CODENAME");
  if (!codename || codename->empty() || (id != "debian" && id != "ubuntu")) return std::nullopt;
  const auto row = row_of(id == "debian" ? debian_csv : ubuntu_csv, *codename);
  // The release still in the making has no end yet.
  if (!row || !date_of((*row)[5])) return std::nullopt;
  facts.name = std::string(id == "debian" ? "Debian " : "Ubuntu ") + std::string((*row)[0]);
  facts.regular_until = std::string((*row)[5]);
  // Debian's LTS is free; Ubuntu's later columns need a subscription.
  if (id == "debian" && row->size() > 6 && date_of((*row)[6])) {
    facts.lts_until = std::string((*row)[6]);
  }
  return facts;
}

std::optional<SupportFacts> system_support(const std::string& root) {
  const std::string os_release = read_os_release(root);
  return support_of(os_release,
                    read_small(rooted(root, "usr/share/distro-info/debian.csv")).value_or(""),
                    read_small(rooted(root, "usr/share/distro-info/ubuntu.csv")).value_or(""));
}

SupportState support_state(const SupportFacts& support, std::int64_t now) {
  const auto until = date_of(support.regular_until);
  if (!until) return SupportState::Supported;
  // The named day is the last one supported.
  const std::int64_t end = *until + DAY;
  if (now >= end) return SupportState::Ended;
  return now >= end - SUPPORT_WARNING_SECONDS ? SupportState::EndsSoon : SupportState::Supported;
}

SupportPhase support_phase(const SupportFacts& support, std::int64_t now) {
  switch (support_state(support, now)) {
    case SupportState::Supported: return SupportPhase::Regular;
    case SupportState::EndsSoon: return SupportPhase::RegularEndsSoon;
    case SupportState::Ended: break;
  }
  // As with regular support, the named day is the last one.
  const auto lts = date_of(support.lts_until);
  return lts && now < *lts + DAY ? SupportPhase::LongTerm : SupportPhase::Ended;
}

}  // namespace sorvane::gui
