#include "flatpak_release_notes.hpp"

#include <array>

#include "flatpak.hpp"
#include "manager_query.hpp"
#include "path.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// A remote's or an architecture's name is one directory of the
// catalogue's path, never a way out of it.
bool one_directory(string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == string_view::npos &&
         !text::has_blank(name);
}

}  // namespace

std::vector<FlatpakInstalled> parse_flatpak_installed(string_view out) {
  std::vector<FlatpakInstalled> installed;
  text::for_each_line(out, [&](string_view line) {
    const auto cells = flatpak_columns<5>(line);
    if (!cells) return true;
    const auto& [id, branch, version, arch, origin] = *cells;
    if (id.empty() || branch.empty() || !one_directory(arch) || !one_directory(origin)) return true;
    installed.push_back({std::string(id), std::string(branch), std::string(version),
                         std::string(arch), std::string(origin)});
    return true;
  });
  return installed;
}

WhatIsNew flatpak_what_is_new(const CheckSetup& setup, const PendingUpdate& update) {
  WhatIsNew news;
  const size_t slashes = update.name.find("//");
  if (slashes == std::string::npos) return news;
  const string_view id = string_view(update.name).substr(0, slashes);
  const string_view branch = string_view(update.name).substr(slashes + 2);
  const std::array<std::pair<const char*, std::string>, 2> installations = {{
      {"--system", under(setup.places, FLATPAK_SYSTEM)},
      {"--user", user_flatpak_data(setup)},
  }};
  for (const auto& [installation, data] : installations) {
    if (data.empty()) continue;
    const auto listed =
        ask(setup, "flatpak", {"list", installation, std::string(FLATPAK_INSTALLED_COLUMNS)},
            setup.local_limit);
    if (!listed) {
      news.why_not = listed.error().detail;
      return news;
    }
    if (listed.value().status != 0) continue;
    for (const FlatpakInstalled& ref : parse_flatpak_installed(listed.value().run.out)) {
      if (ref.id != id || ref.branch != branch) continue;
      const std::string catalogue =
          join(join(join(join(data, "appstream"), ref.origin), ref.arch), "active/appstream.xml");
      news.appstream = AppStreamNotes{catalogue, ref.id + "/" + ref.arch + "/" + ref.branch, ref.id,
                                      ref.version};
      return news;
    }
  }
  news.why_not = "flatpak does not list " + update.name + " as installed";
  return news;
}

}  // namespace sorvane::gui
