// What the managers recorded of past transactions (their logs and their
// history commands' output, readable by whoever can read them): whatever
// those hold, every reader returns, and each package it names is a word
// taken from them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "apt_history.hpp"
#include "dnf_history.hpp"
#include "flatpak_history.hpp"
#include "history.hpp"
#include "pacman_history.hpp"
#include "snap_history.hpp"

namespace {

using sorvane::gui::HistoryEntry;
using sorvane::gui::PackageChange;

void check_word(std::string_view word, std::string_view input) {
  if (word.find('\n') != std::string_view::npos ||
      (!word.empty() && input.find(word) == std::string_view::npos))
    std::abort();
}

void check_changes(const std::vector<PackageChange>& changes, std::string_view input) {
  for (const PackageChange& change : changes) {
    if (change.name.empty()) std::abort();
    check_word(change.name, input);
    check_word(change.from, input);
    check_word(change.to, input);
  }
}

void check_entries(const std::vector<HistoryEntry>& entries, std::string_view input) {
  for (const HistoryEntry& entry : entries) check_changes(entry.packages, input);
}

// A log reader fed the input's lines, as a log file gives them.
template <typename Reader>
void check_log(std::string_view input) {
  Reader reader;
  for (size_t at = 0; at < input.size();) {
    const size_t end = std::min(input.find('\n', at), input.size());
    reader.line(input.substr(at, end - at));
    at = end + 1;
  }
  reader.end();
  check_entries(reader.entries, input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  using namespace sorvane::gui;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  check_log<AptHistoryReader>(input);
  check_log<DpkgLogReader>(input);
  check_log<PacmanLogReader>(input);
  // A field's list is one line of history.log.
  const std::string_view field = input.substr(0, std::min(input.find('\n'), input.size()));
  check_changes(parse_apt_packages("Upgrade", field), input);
  check_changes(parse_dnf_history_info(input), input);
  for (const DnfTransaction& transaction : parse_dnf_history_list(input)) {
    check_word(transaction.id, input);
    check_changes(transaction.entry.packages, input);
  }
  check_entries(parse_flatpak_history(input, 1'765'000'000), input);
  check_entries(parse_snap_changes(input), input);
  (void)local_seconds(input);
  (void)iso_seconds(input);
  return 0;
}
