#include "flatpak.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

#include "flatpak_history.hpp"
#include "flatpak_release_notes.hpp"
#include "manager_query.hpp"
#include "outside_text.hpp"
#include "path.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::add;
using text::for_each_line;
using text::has_blank;
using text::is_blank;
using text::number;
using text::trim;
using text::words;

constexpr string_view USER_FLATPAK = ".local/share/flatpak";

// "app/org.example.App/x86_64/stable" as "org.example.App//stable".
std::optional<std::string> flatpak_name(string_view ref) {
  std::array<string_view, 4> parts{};
  for (size_t i = 0; i < parts.size(); ++i) {
    const size_t slash = ref.find('/');
    if ((slash == string_view::npos) != (i + 1 == parts.size())) return std::nullopt;
    parts.at(i) = ref.substr(0, slash);
    if (parts.at(i).empty() || has_blank(parts.at(i))) return std::nullopt;
    if (slash != string_view::npos) ref.remove_prefix(slash + 1);
  }
  if (parts[0] != "app" && parts[0] != "runtime") return std::nullopt;
  std::string name{parts[1]};
  name.append("//").append(parts[3]);
  return name;
}

std::optional<SpaceNeed> user_flatpak_need(const CheckSetup& setup, std::uint64_t bytes) {
  const std::string data = user_flatpak_data(setup);
  if (data.empty()) return std::nullopt;
  return space_need(setup.places.proc, "/", data.substr(1), bytes);
}

bool is_flatpak_error_line(string_view line) {
  return line.starts_with("error:");
}

std::vector<std::string> file_names(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(dir, error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    names.push_back(entry->path().filename());
  }
  return names;
}

// flatpak: the system installation and the user's, each asked of its
// remotes, live; the update covers both. Not allowed the network, it reads
// the remotes' summaries it cached (--cached), of an age it does not tell;
// without them (or a flatpak too old for --cached) it is not asked.
ManagerCheck check_flatpak(const CheckSetup& setup) {
  ManagerCheck check;
  check.step = Step::Flatpak;
  check.refreshed_first = true;
  check.download_bytes = 0;
  for (const char* installation : {"--system", "--user"}) {
    std::vector<std::string> args = {"remote-ls", installation, "--updates",
                                     std::string(FLATPAK_UPDATES_COLUMNS)};
    if (!setup.network_allowed) args.emplace_back("--cached");
    const auto pending = ask(setup, "flatpak", std::move(args), setup.network_limit);
    if (!pending) return with_problem(check, pending.error());
    if (pending.value().status != 0 && !setup.network_allowed) {
      return with_problem(check, {Problem::Metered, first_words(pending.value().run)});
    }
    if (pending.value().status != 0) return with_problem(check, failed("flatpak", pending.value()));
    FlatpakPending found = parse_flatpak_updates(pending.value().run.out);
    check.about.merge(found.about);
    check.updates.insert(check.updates.end(), found.updates.begin(), found.updates.end());
    if (found.download_bytes && *found.download_bytes > 0) {
      // The download goes into the installation's own repository.
      auto need = installation == std::string_view("--system")
                      ? space_need(setup.places.proc, setup.places.root, FLATPAK_SYSTEM,
                                   *found.download_bytes)
                      : user_flatpak_need(setup, *found.download_bytes);
      if (need) check.space.push_back(std::move(*need));
    }
    if (!found.download_bytes) {
      check.download_bytes.reset();
    } else if (check.download_bytes) {
      *check.download_bytes += *found.download_bytes;
    }
  }
  if (setup.network_allowed) {
    check.fetched_for_check = true;
    check.data_age_seconds = 0;
  } else {
    check.not_fetched = NOT_ON_THIS_CONNECTION;
  }
  return check;
}

}  // namespace

std::string user_flatpak_data(const CheckSetup& setup) {
  return setup.data_home.empty() ? "" : join(setup.data_home, "flatpak");
}

std::optional<std::uint64_t> parse_flatpak_size(string_view text) {
  text = trim(text);
  size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 0) return std::nullopt;
  auto whole = number<std::uint64_t>(text.substr(0, digits));
  text.remove_prefix(digits);
  std::uint64_t tenths = 0;
  bool has_tenths = false;
  if (text.starts_with('.') && text.size() >= 2 && text[1] >= '0' && text[1] <= '9') {
    tenths = static_cast<std::uint64_t>(text[1] - '0');
    has_tenths = true;
    text.remove_prefix(2);
  }
  // "bytes" follows a space; a unit follows a no-break space, which the C
  // locale's ASCII shows as "?".
  if (text.starts_with(' ') || text.starts_with('?'))
    text.remove_prefix(1);
  else if (text.starts_with("\xC2\xA0"))
    text.remove_prefix(2);
  else
    return std::nullopt;
  if (!has_tenths && (text == "bytes" || text == "byte")) return whole;
  // g_format_size's decimal units.
  constexpr std::array<std::pair<string_view, std::uint64_t>, 6> UNITS = {{
      {"kB", 1000U},
      {"MB", 1000000U},
      {"GB", 1000000000U},
      {"TB", 1000000000000U},
      {"PB", 1000000000000000U},
      {"EB", 1000000000000000000U},
  }};
  const auto* const unit = std::find_if(UNITS.begin(), UNITS.end(),
                                        [&](const auto& entry) { return entry.first == text; });
  if (unit == UNITS.end() || !whole) return std::nullopt;
  const std::uint64_t scale = unit->second;
  std::uint64_t bytes = 0;
  if (__builtin_mul_overflow(*whole, scale, &bytes) || !add(bytes, tenths * (scale / 10)))
    return std::nullopt;
  return bytes;
}

FlatpakPending parse_flatpak_updates(string_view out) {
  FlatpakPending pending;
  pending.download_bytes = 0;
  for_each_line(out, [&](string_view line) {
    const auto cells = flatpak_columns<5>(line);
    if (!cells) return true;
    const auto& [ref, description, version, commit, size_cell] = *cells;
    auto name = flatpak_name(ref);
    if (!name || (version.empty() && commit.empty())) return true;
    // A version comes from the remote's AppStream data, which may tell
    // what is new in it.
    if (!version.empty() || !description.empty()) {
      UpdateAbout& about = pending.about[*name];
      about.description = plain_text(description, MAX_DESCRIPTION);
      about.changelog_available = !version.empty();
    }
    pending.updates.push_back(
        {std::move(*name), {}, std::string{version.empty() ? commit : version}, false});
    const auto size = parse_flatpak_size(size_cell);
    if (!size || !pending.download_bytes || !add(*pending.download_bytes, *size))
      pending.download_bytes = std::nullopt;
    return true;
  });
  return pending;
}

// A flatpak name is "id//branch"; its deployment may be an app or a
// runtime, of any architecture, in either installation.
std::string flatpak_active_link(const ProgressPlaces& places, string_view name) {
  const size_t slashes = name.find("//");
  if (slashes == string_view::npos) return {};
  const std::string id(name.substr(0, slashes));
  const std::string branch(name.substr(slashes + 2));
  std::vector<std::string> bases = {join(places.root, FLATPAK_SYSTEM)};
  if (!places.home.empty()) bases.push_back(join(places.home, USER_FLATPAK));
  for (const std::string& base : bases) {
    for (const char* kind : {"app", "runtime"}) {
      const std::string dir = join(join(base, kind), id);
      for (const std::string& arch : file_names(dir)) {
        std::string active = join(join(join(dir, arch), branch), "active");
        struct stat st {};
        if (::lstat(active.c_str(), &st) == 0) return active;
      }
    }
  }
  return {};
}

constexpr std::array<std::string_view, 1> FLATPAK_MAKE_ROOM = {"flatpak uninstall --unused"};

const ManagerFacts FLATPAK = {
    check_flatpak,
    {{}, {}, nullptr, false, flatpak_active_link, nullptr, nullptr, nullptr, true},
    {is_flatpak_error_line, false, {}, nullptr, nullptr},
    nullptr,
    flatpak_history,
    flatpak_what_is_new,
    {DataName::PackageDatabase, NoRepositoryWords::NoneEnabled, FLATPAK_MAKE_ROOM},
};

}  // namespace sorvane::gui
