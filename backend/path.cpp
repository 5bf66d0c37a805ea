#include "path.hpp"

#include <climits>
#include <cstdlib>
#include <memory>

namespace sorvane {
namespace {

// Length of the part that is not a body component: the root "/", or a
// leading "." that stands for the current directory.
size_t prefix_length(std::string_view path) {
  const bool root = path.starts_with('/');
  const bool current_dir = path == "." || path.starts_with("./");
  return (root || current_dir) ? 1 : 0;
}

// Removes trailing separators and "." components, never eating the prefix.
std::string_view trim_trailing(std::string_view path) {
  const size_t keep = prefix_length(path);
  while (path.size() > keep) {
    const bool trailing_separator = path.back() == '/';
    const bool trailing_dot_component = path.ends_with("/.");
    if (!trailing_separator && !trailing_dot_component) break;
    path.remove_suffix(1);  // the "/", or the "." of a final "/."
  }
  return path;
}

struct Split {
  std::string_view head;  // everything before the last component
  std::string_view last;  // the last component; empty when only a prefix is left
};

Split split_last(std::string_view path) {
  const std::string_view trimmed = trim_trailing(path);
  const size_t prefix = prefix_length(trimmed);
  if (trimmed.size() <= prefix) return {trimmed, {}};
  const size_t slash = trimmed.rfind('/');
  const size_t start = (slash == std::string_view::npos) ? 0 : slash + 1;
  return {trimmed.substr(0, start), trimmed.substr(start)};
}

}  // namespace

std::optional<std::string_view> parent(std::string_view path) {
  const Split split = split_last(path);
  if (split.last.empty()) {
    // Only a prefix: the root has no parent, a lone "." has the empty one.
    if (split.head == ".") return std::string_view{};
    return std::nullopt;
  }
  return trim_trailing(split.head);
}

std::optional<std::string_view> final_component(std::string_view path) {
  const Split split = split_last(path);
  if (split.last.empty() || split.last == "..") return std::nullopt;
  return split.last;
}

std::string join(std::string_view base, std::string_view rest) {
  if (rest.starts_with('/')) return std::string(rest);
  std::string joined(base);
  if (!joined.empty() && !joined.ends_with('/')) joined += '/';
  joined += rest;
  return joined;
}

std::optional<std::string> to_c_path(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

std::optional<std::string> resolve(std::string_view path) {
  const auto c_path = to_c_path(path);
  if (!c_path) return std::nullopt;
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(c_path->c_str(), nullptr),
                                                             &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

}  // namespace sorvane
