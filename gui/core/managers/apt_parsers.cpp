// apt's answers before the password: its simulation, its download list
// and apt-cache's sizes.
#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>
#include <vector>

#include "apt.hpp"
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

// One origin of an "Inst" line: "[label:][version/]archive".
bool security_origin(string_view origin) {
  const size_t colon = origin.find(':');
  if (colon != string_view::npos && origin.substr(0, colon) == "Debian-Security") return true;
  const size_t slash = origin.rfind('/');
  string_view archive = origin;
  if (slash != string_view::npos)
    archive = origin.substr(slash + 1);
  else if (colon != string_view::npos)
    archive = origin.substr(colon + 1);
  return is_security_archive(archive);
}

std::optional<PendingUpdate> apt_inst(string_view line) {
  constexpr string_view INST = "Inst ";
  if (!line.starts_with(INST)) return std::nullopt;
  line.remove_prefix(INST.size());
  PendingUpdate update;
  const size_t name_end = line.find(' ');
  if (name_end == 0 || name_end == string_view::npos) return std::nullopt;
  update.name = line.substr(0, name_end);
  line = line.substr(name_end + 1);
  if (line.starts_with('[')) {
    const size_t close = line.find("] ");
    if (close == string_view::npos) return std::nullopt;
    update.from = line.substr(1, close - 1);
    if (update.from.empty() || has_blank(update.from)) return std::nullopt;
    line = line.substr(close + 2);
  }
  if (!line.starts_with('(')) return std::nullopt;
  line.remove_prefix(1);
  // The arch in brackets closes the parenthesis; a label may hold anything.
  const size_t close = line.find("])");
  if (close == string_view::npos) return std::nullopt;
  line = line.substr(0, close);
  const size_t arch = line.rfind(" [");
  if (arch == string_view::npos) return std::nullopt;
  line = line.substr(0, arch);
  const size_t version_end = line.find(' ');
  update.to = line.substr(0, version_end);
  if (update.to.empty()) return std::nullopt;
  string_view origins =
      version_end == string_view::npos ? string_view{} : line.substr(version_end + 1);
  while (!origins.empty() && !update.security) {
    const size_t comma = origins.find(", ");
    update.security = security_origin(origins.substr(0, comma));
    if (comma == string_view::npos) break;
    origins.remove_prefix(comma + 2);
  }
  return update;
}

}  // namespace

bool is_security_archive(string_view suite) {
  return suite.size() > 9 && suite.ends_with("-security");
}

std::vector<PendingUpdate> parse_apt_simulation(string_view out) {
  std::vector<PendingUpdate> updates;
  for_each_line(out, [&](string_view line) {
    if (auto update = apt_inst(line)) updates.push_back(std::move(*update));
    return true;
  });
  return updates;
}

std::vector<std::string> apt_names_listed_under(string_view out, string_view heading) {
  std::vector<std::string> names;
  bool in_list = false;
  for_each_line(out, [&](string_view line) {
    if (!in_list) {
      in_list = trim(line) == heading;
      return true;
    }
    if (line.empty() || !is_blank(line.front())) return false;
    const auto found = words(line, line.size());
    names.insert(names.end(), found.begin(), found.end());
    return true;
  });
  return names;
}

std::vector<std::string> parse_apt_kept_back(string_view out) {
  return apt_names_listed_under(out, "The following packages have been kept back:");
}

std::optional<std::uint64_t> parse_apt_download_size(string_view out) {
  std::uint64_t total = 0;
  bool understood = true;
  for_each_line(out, [&](string_view line) {
    if (trim(line).empty()) return true;
    // 'uri' file size hash: the uri is quoted, the rest are single words.
    const size_t uri_end = line.find("' ", 1);
    if (!line.starts_with('\'') || uri_end == string_view::npos) return understood = false;
    const auto rest = words(line.substr(uri_end + 2), 3);
    const auto size =
        rest.size() >= 2 && rest.size() <= 3 ? number<std::uint64_t>(rest[1]) : std::nullopt;
    understood = size && add(total, *size);
    return understood;
  });
  if (!understood) return std::nullopt;
  return total;
}

std::vector<InstalledSize> parse_apt_installed_sizes(string_view out) {
  std::vector<InstalledSize> sizes;
  InstalledSize stanza;
  std::optional<std::uint64_t> kib;
  const auto end_stanza = [&] {
    if (!stanza.package.empty() && !stanza.version.empty() && kib) {
      stanza.kib = *kib;
      sizes.push_back(std::move(stanza));
    }
    stanza = {};
    kib.reset();
  };
  for_each_line(out, [&](string_view line) {
    if (trim(line).empty()) {
      end_stanza();
    } else if (const auto name = text::field_value(line, "Package:")) {
      stanza.package = *name;
    } else if (const auto version = text::field_value(line, "Version:")) {
      stanza.version = *version;
    } else if (const auto arch = text::field_value(line, "Architecture:")) {
      stanza.architecture = *arch;
    } else if (const auto size = text::field_value(line, "Installed-Size:")) {
      kib = number<std::uint64_t>(*size);
    }
    return true;
  });
  end_stanza();
  return sizes;
}

}  // namespace sorvane::gui
