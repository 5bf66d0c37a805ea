// What the package managers say is pending, why some of it is held back,
// and what is new in it: whatever their output holds, every parser
// returns, and what it returns is made of single-line words taken from that
// output. A changelog's newer entries are a part of it, and what is shown
// of outside text holds no control characters.
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "apt.hpp"
#include "apt_changelog.hpp"
#include "apt_held.hpp"
#include "dnf.hpp"
#include "dnf_advisories.hpp"
#include "dnf_excludes.hpp"
#include "flatpak.hpp"
#include "flatpak_release_notes.hpp"
#include "outside_text.hpp"
#include "pacman.hpp"
#include "pacman_ignored.hpp"
#include "pending_parsers.hpp"
#include "snap.hpp"

namespace {

void check_word(std::string_view word, std::string_view input, bool may_be_empty) {
  if ((!may_be_empty && word.empty()) || word.find('\n') != std::string_view::npos ||
      (!word.empty() && input.find(word) == std::string_view::npos))
    std::abort();
}

void check_updates(const std::vector<sorvane::gui::PendingUpdate>& updates,
                   std::string_view input) {
  for (const auto& update : updates) {
    // A flatpak name is rebuilt from its ref: only its parts come from the input.
    if (update.name.find("//") == std::string::npos) check_word(update.name, input, false);
    check_word(update.from, input, true);
    check_word(update.to, input, false);
  }
}

void check_words(const std::vector<std::string>& words, std::string_view input) {
  for (const std::string& word : words) check_word(word, input, false);
}

// What is new in an update, as fetched: newer entries, the advisories they
// name, and the text the window shows of it.
void check_what_is_new(std::string_view input) {
  using namespace sorvane::gui;
  const size_t line = std::min(input.find('\n'), input.size());
  const std::string_view installed = input.substr(0, line);
  if (input.find(changelog_since(input, installed)) == std::string_view::npos) std::abort();
  check_words(advisories_in(input), input);
  constexpr size_t LIMIT = 512;
  const std::string shown = plain_text(input, LIMIT);
  if (shown.size() > LIMIT + std::string_view("…").size()) std::abort();
  for (const char c : shown)
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7f) std::abort();
  for (size_t at = shown.find('\xc2'); at != std::string::npos; at = shown.find('\xc2', at + 1)) {
    const auto next = static_cast<unsigned char>(at + 1 < shown.size() ? shown[at + 1] : 0);
    if (next >= 0x80 && next < 0xa0) std::abort();  // a C1 control
  }
  for (const Described& described : parse_apt_descriptions(input)) {
    check_word(described.package, input, false);
    check_word(described.version, input, true);
    check_word(described.description, input, true);
  }
  // dpkg's order is an order: the same either way round, and equal to itself.
  const std::string_view other = input.substr(line == input.size() ? line : line + 1);
  const int forward = compare_debian_versions(installed, other);
  const int backward = compare_debian_versions(other, installed);
  if ((forward < 0) != (backward > 0) || (forward == 0) != (backward == 0) ||
      compare_debian_versions(installed, installed) != 0)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  using namespace sorvane::gui;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  check_updates(parse_apt_simulation(input), input);
  check_updates(parse_dnf_check_update(input), input);
  check_updates(parse_pacman_updates(input), input);
  check_updates(parse_snap_refresh_list(input), input);
  check_updates(parse_flatpak_updates(input).updates, input);
  for (auto* const list :
       {&parse_apt_kept_back, &parse_dnf_security, &parse_dnf_repolist, &parse_pacman_repo_list})
    for (const std::string& word : (*list)(input)) check_word(word, input, false);
  const size_t third = size / 3;
  for (const std::string& name :
       parse_dpkg_unfinished({input.substr(0, third), input.substr(third)}))
    check_word(name, input, false);
  for (auto* const list : {&parse_dpkg_holds, &parse_apt_phasing_deferred, &parse_pacman_ignored,
                           &parse_pacman_group_members, &parse_dnf_excludes})
    check_words((*list)(input), input);
  for (const auto& [name, candidate] : parse_apt_policy_candidates(input)) {
    check_word(name, input, false);
    check_word(candidate, input, true);
  }
  for (const auto& [name, percent] : parse_apt_phased_percentages(input)) {
    check_word(name, input, false);
    if (percent < 0 || percent > 100) std::abort();
  }
  // A flatpak's remote and architecture name one directory of a path.
  for (const FlatpakInstalled& ref : parse_flatpak_installed(input)) {
    check_word(ref.id, input, false);
    check_word(ref.branch, input, false);
    check_word(ref.version, input, true);
    for (const std::string* dir : {&ref.arch, &ref.origin}) {
      check_word(*dir, input, false);
      if (dir->find('/') != std::string::npos || *dir == "." || *dir == "..") std::abort();
    }
  }
  for (const DnfAdvisory& advisory : parse_dnf_advisories(input)) {
    check_word(advisory.id, input, false);
    check_word(advisory.package, input, false);
  }
  check_what_is_new(input);
  (void)parse_apt_download_size(input);
  (void)parse_flatpak_size(input);
  (void)lock_holder(input, makedev(0xfe, 0), 11001903);
  const size_t half = size / 2;
  (void)has_default_route(input.substr(0, half), input.substr(half));
  return 0;
}
