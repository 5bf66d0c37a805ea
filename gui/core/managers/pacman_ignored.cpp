#include "pacman_ignored.hpp"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>

#include "files.hpp"
#include "manager_text.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;
using text::for_each_line;
using text::trim;
using text::words;

constexpr int MAX_INCLUDE_DEPTH = 10;
constexpr size_t MAX_CONF = size_t{1024} * 1024;

std::string rooted(const std::string& root, string_view path) {
  std::string whole = root;
  while (!whole.empty() && whole.back() == '/') whole.pop_back();
  if (!path.starts_with('/')) whole += '/';
  return whole + std::string(path);
}

// The files an Include names, sorted as pacman's glob sorts them. A
// pattern is taken in its last part only ("/etc/pacman.d/*.conf"), as
// pacman.conf's own are; glob(3) itself is not safe in the check's threads.
std::vector<std::string> included(const std::string& root, string_view pattern) {
  const std::filesystem::path whole(rooted(root, pattern));
  const std::string name = whole.filename();
  if (name.find_first_of("*?[") == std::string::npos) return {whole};
  std::vector<std::string> paths;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(whole.parent_path(), error);
       !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    const std::string found = entry->path().filename();
    if (::fnmatch(name.c_str(), found.c_str(), FNM_PERIOD) == 0) paths.push_back(entry->path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// One file, in section `section` (an Include'd file starts in the one that
// included it).
void read_conf(const std::string& root, const std::string& path, std::string section, int depth,
               PacmanIgnores& ignores) {
  if (depth > MAX_INCLUDE_DEPTH) return;
  const auto text = read_file(path, MAX_CONF);
  if (!text) return;
  for_each_line(*text, [&](string_view line) {
    line = trim(line.substr(0, line.find('#')));
    if (line.starts_with('[') && line.ends_with(']')) {
      section = std::string(line.substr(1, line.size() - 2));
      return true;
    }
    const size_t equals = line.find('=');
    if (equals == string_view::npos) return true;
    const string_view key = trim(line.substr(0, equals));
    const string_view value = trim(line.substr(equals + 1));
    if (key == "Include") {
      for (const std::string& file : included(root, value)) {
        read_conf(root, file, section, depth + 1, ignores);
      }
    } else if (section == "options" && (key == "IgnorePkg" || key == "IgnoreGroup")) {
      auto& into = key == "IgnorePkg" ? ignores.packages : ignores.groups;
      const auto found = words(value);
      into.insert(into.end(), found.begin(), found.end());
    }
    return true;
  });
}

}  // namespace

PacmanIgnores read_pacman_ignores(const std::string& root, string_view conf) {
  PacmanIgnores ignores;
  read_conf(root, rooted(root, conf), {}, 0, ignores);
  return ignores;
}

std::vector<std::string> parse_pacman_ignored(string_view out) {
  std::vector<std::string> names;
  for_each_line(out, [&](string_view line) {
    const auto found = words(line, 5);
    if (found.size() == 5 && found[2] == "->" && found[4] == "[ignored]") {
      names.emplace_back(found[0]);
    }
    return true;
  });
  return names;
}

bool pacman_ignores(const PacmanIgnores& ignores, string_view name,
                    const std::vector<std::string>& group_members) {
  const std::string whole(name);
  return std::any_of(ignores.packages.begin(), ignores.packages.end(),
                     [&](const std::string& pattern) {
                       return ::fnmatch(pattern.c_str(), whole.c_str(), 0) == 0;
                     }) ||
         std::find(group_members.begin(), group_members.end(), whole) != group_members.end();
}

std::vector<std::string> parse_pacman_group_members(string_view out) {
  std::vector<std::string> names;
  for_each_line(out, [&](string_view line) {
    const auto found = words(line, 2);
    if (found.size() == 2) names.emplace_back(found[1]);
    return true;
  });
  return names;
}

}  // namespace sorvane::gui
