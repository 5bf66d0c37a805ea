#include "dnf_advisories.hpp"

#include <algorithm>

#include "dnf.hpp"
#include "manager_query.hpp"
#include "outside_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// FEDORA-2024-1a2b3c, RHSA-2024:1234, ALSA-2024:1: a capital first, a
// dash, nothing a header or a sentence would hold.
bool advisory_id(string_view word) {
  constexpr size_t MAX_ID = 64;
  if (word.size() < 3 || word.size() > MAX_ID || word.front() < 'A' || word.front() > 'Z' ||
      word.find('-') == string_view::npos) {
    return false;
  }
  return std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == ':' || c == '.' || c == '_';
  });
}

}  // namespace

std::vector<DnfAdvisory> parse_dnf_advisories(string_view out) {
  std::vector<DnfAdvisory> found;
  text::for_each_line(out, [&](string_view line) {
    const auto words = text::words(line, 1);
    if (words.empty() || !advisory_id(words.front())) return true;
    // The package is the row's one NEVRA; the id is never one.
    const string_view id = words.front();
    const string_view rest = line.substr(static_cast<size_t>(id.data() - line.data()) + id.size());
    for (std::string& name : parse_dnf_security(rest)) {
      DnfAdvisory advisory{std::string(id), std::move(name)};
      if (std::find(found.begin(), found.end(), advisory) == found.end()) {
        found.push_back(std::move(advisory));
      }
    }
    return true;
  });
  return found;
}

void name_dnf_advisories(const CheckSetup& setup, ManagerCheck& check) {
  const auto listed = ask(setup, "dnf", dnf_args(setup, {"-q", "updateinfo", "list", "--updates"}),
                          setup.network_limit);
  if (!listed || listed.value().status != 0) return;
  for (const DnfAdvisory& advisory : parse_dnf_advisories(listed.value().run.out)) {
    const bool pending =
        std::any_of(check.updates.begin(), check.updates.end(),
                    [&](const PendingUpdate& update) { return update.name == advisory.package; });
    if (!pending) continue;
    UpdateAbout& about = check.about[advisory.package];
    about.advisories.push_back(advisory.id);
    about.changelog_available = true;
  }
}

WhatIsNew dnf_what_is_new(const CheckSetup& setup, const PendingUpdate& update) {
  WhatIsNew news;
  const std::vector<std::vector<std::string>> asks = {
      {"-q", "updateinfo", "info", "--updates", update.name},
      {"-q", "advisory", "info", "--updates", "--contains-pkgs=" + update.name},
  };
  for (const auto& args : asks) {
    const auto asked = ask(setup, "dnf", args, setup.network_limit);
    if (!asked) {
      news.why_not = asked.error().detail;
      return news;
    }
    string_view out = asked.value().run.out;
    while (!out.empty() && (out.back() == '\n' || text::is_blank(out.back()))) out.remove_suffix(1);
    if (asked.value().status == 0 && !text::trim(out).empty()) {
      news.text = plain_text(out, MAX_ADVISORY_TEXT);
      news.advisories = advisories_in(news.text);
      return news;
    }
  }
  news.why_not = "dnf names no advisory for " + update.name;
  return news;
}

}  // namespace sorvane::gui
