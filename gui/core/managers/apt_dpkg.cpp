// dpkg's database and its log, as apt's update leaves them.
#include <sys/stat.h>

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
using text::for_each_line;
using text::is_blank;
using text::number;
using text::trim;
using text::words;

struct Stanza {
  std::string state;
  std::vector<std::string> conffiles;
};

// "Package:", "Status:" (its last word) and "Conffiles:" of each stanza;
// a later stanza of a package (the journal's) replaces an earlier one.
void read_stanzas(string_view text, std::vector<std::string>& order,
                  std::map<std::string, Stanza>& packages) {
  std::string name;
  Stanza stanza;
  bool in_conffiles = false;
  const auto end_stanza = [&] {
    if (!name.empty()) {
      if (!packages.contains(name)) order.push_back(name);
      packages[name] = std::move(stanza);
    }
    name.clear();
    stanza = {};
    in_conffiles = false;
  };
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty()) {
      end_stanza();
      continue;
    }
    if (line.front() == ' ') {
      if (in_conffiles) {
        const string_view file = line.substr(1, line.find(' ', 1) - 1);
        if (!file.empty()) stanza.conffiles.emplace_back(file);
      }
      continue;
    }
    in_conffiles = line.starts_with("Conffiles:");
    if (line.starts_with("Package: ")) name = line.substr(9);
    if (line.starts_with("Status: ")) stanza.state = line.substr(line.rfind(' ') + 1);
  }
  end_stanza();
}

// A system path ("/etc/...") inside `root`.
std::string under_root(const std::string& root, string_view path) {
  while (path.starts_with('/')) path.remove_prefix(1);
  return path.empty() ? root : join(root, path);
}

}  // namespace

std::vector<std::string> parse_dpkg_unfinished(const std::vector<string_view>& in_order) {
  return parse_dpkg_left(in_order).packages;
}

DpkgLeft parse_dpkg_left(const std::vector<string_view>& in_order) {
  constexpr std::array<string_view, 5> UNFINISHED = {
      "half-installed", "unpacked", "half-configured", "triggers-awaited", "triggers-pending"};
  std::vector<std::string> seen;  // "name:arch", in the order first seen
  std::vector<bool> unfinished;
  std::vector<bool> broken;  // reinstreq or half-installed
  std::unordered_map<std::string, size_t> index;
  const auto record = [&](string_view name, string_view arch, string_view status) {
    if (name.empty() || status.empty()) return;
    const auto word = words(status, 3);
    if (word.size() != 3) return;
    const bool reinstall = word[1] == "reinstreq" || word[2] == "half-installed";
    const bool left =
        reinstall || std::find(UNFINISHED.begin(), UNFINISHED.end(), word[2]) != UNFINISHED.end();
    std::string key = std::string(name) + ':' + std::string(arch);
    const auto [at, added] = index.try_emplace(key, seen.size());
    if (added) {
      seen.push_back(std::move(key));
      unfinished.push_back(left);
      broken.push_back(reinstall);
    } else {
      unfinished[at->second] = left;
      broken[at->second] = reinstall;
    }
  };
  for (const string_view text : in_order) {
    string_view name;
    string_view arch;
    string_view status;
    for_each_line(text, [&](string_view line) {
      if (trim(line).empty()) {
        record(name, arch, status);
        name = arch = status = {};
      } else if (const auto package = text::field_value(line, "Package:")) {
        name = *package;
      } else if (const auto architecture = text::field_value(line, "Architecture:")) {
        arch = *architecture;
      } else if (const auto state = text::field_value(line, "Status:")) {
        status = *state;
      }
      return true;
    });
    record(name, arch, status);
  }
  DpkgLeft left;
  for (size_t i = 0; i < seen.size(); ++i) {
    if (unfinished[i]) left.packages.push_back(seen[i].substr(0, seen[i].rfind(':')));
    left.reinstall = left.reinstall || broken[i];
  }
  return left;
}

std::vector<Conffile> parse_dpkg_conffiles(string_view status,
                                           const std::vector<std::string>& packages) {
  // Wanted by name, and by architecture when the name carries one.
  std::unordered_map<string_view, std::vector<string_view>> wanted;
  for (const std::string& name : packages) {
    const size_t colon = name.find(':');
    auto& arches = wanted[string_view(name).substr(0, colon)];
    arches.push_back(colon == std::string::npos ? string_view{}
                                                : string_view(name).substr(colon + 1));
  }
  std::vector<Conffile> found;
  string_view package;
  string_view arch;
  std::vector<Conffile> stanza;
  bool in_conffiles = false;
  const auto end_stanza = [&] {
    const auto entry = wanted.find(package);
    const bool is_wanted =
        entry != wanted.end() && std::any_of(entry->second.begin(), entry->second.end(),
                                             [&](string_view a) { return a.empty() || a == arch; });
    if (is_wanted) found.insert(found.end(), stanza.begin(), stanza.end());
    package = arch = {};
    stanza.clear();
    in_conffiles = false;
  };
  for_each_line(status, [&](string_view line) {
    if (trim(line).empty()) {
      end_stanza();
      return true;
    }
    if (is_blank(line.front())) {
      if (!in_conffiles) return true;
      const auto entry = words(line, 3);
      const bool hex = entry.size() == 2 && entry[1].size() == 32 &&
                       std::all_of(entry[1].begin(), entry[1].end(), [](char c) {
                         return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                       });
      if (hex && entry[0].starts_with('/')) {
        stanza.push_back({std::string(entry[0]), std::string(entry[1])});
      }
      return true;
    }
    in_conffiles = line.starts_with("Conffiles:");
    if (line.starts_with("Package:")) package = trim(line.substr(8));
    if (line.starts_with("Architecture:")) arch = trim(line.substr(13));
    return true;
  });
  end_stanza();
  return found;
}

std::vector<Conffile> parse_md5sum_z(string_view out) {
  std::vector<Conffile> sums;
  while (!out.empty()) {
    const size_t end = out.find('\0');
    const string_view record = out.substr(0, end);
    // "md5  path": two spaces (a star for binary mode) between them.
    if (record.size() > 34 && (record.substr(32, 2) == "  " || record.substr(32, 2) == " *")) {
      sums.push_back({std::string(record.substr(34)), std::string(record.substr(0, 32))});
    }
    if (end == string_view::npos) break;
    out.remove_prefix(end + 1);
  }
  return sums;
}

DpkgLeftOver dpkg_left_over(string_view status, const std::string& root) {
  std::vector<std::string> order;
  std::map<std::string, Stanza> packages;
  read_stanzas(status, order, packages);
  DpkgLeftOver left;
  for (const std::string& name : order) {
    const Stanza& stanza = packages[name];
    // half-installed may be an unpack that ran out of room as well as a
    // failed preinst: only a failed configuration is surely the script's.
    if (left.failed_script.empty() && stanza.state == "half-configured") {
      left.failed_script = name;
    }
    if (left.question_package.empty() && stanza.state == "unpacked") {
      for (const std::string& file : stanza.conffiles) {
        struct stat st {};
        if (::lstat(under_root(root, file + ".dpkg-new").c_str(), &st) == 0) {
          left.question_package = name;
          left.question_file = file;
          break;
        }
      }
    }
  }
  return left;
}

}  // namespace sorvane::gui
