#include "dnf_excludes.hpp"

#include <fnmatch.h>

#include <algorithm>

#include "manager_text.hpp"

namespace sorvane::gui {

using std::string_view;
using text::for_each_line;
using text::trim;

std::vector<std::string> parse_dnf_excludes(string_view conf) {
  std::vector<std::string> patterns;
  bool main = false;
  for_each_line(conf, [&](string_view line) {
    line = trim(line);
    if (line.starts_with('#') || line.starts_with(';')) return true;
    if (line.starts_with('[')) {
      main = line == "[main]";
      return true;
    }
    const size_t equals = line.find('=');
    if (!main || equals == string_view::npos) return true;
    const string_view key = trim(line.substr(0, equals));
    if (key != "excludepkgs" && key != "exclude") return true;
    string_view value = line.substr(equals + 1);
    while (!value.empty()) {
      const size_t end = value.find_first_of(", \t");
      const string_view word = value.substr(0, end);
      if (!word.empty()) patterns.emplace_back(word);
      if (end == string_view::npos) break;
      value.remove_prefix(end + 1);
    }
    return true;
  });
  return patterns;
}

bool dnf_excludes(const std::vector<std::string>& patterns, string_view name) {
  const std::string whole(name);
  return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
    return ::fnmatch(pattern.c_str(), whole.c_str(), 0) == 0;
  });
}

}  // namespace sorvane::gui
