// What the package managers say is pending: whatever their output holds,
// every parser returns, and what it returns is made of single-line words
// taken from that output.
#include <sys/sysmacros.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "apt.hpp"
#include "dnf.hpp"
#include "flatpak.hpp"
#include "pacman.hpp"
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
  (void)parse_apt_download_size(input);
  (void)parse_flatpak_size(input);
  (void)lock_holder(input, makedev(0xfe, 0), 11001903);
  const size_t half = size / 2;
  (void)has_default_route(input.substr(0, half), input.substr(half));
  return 0;
}
