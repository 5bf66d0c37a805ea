#include "script_programs.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "detector_process.hpp"
#include "path.hpp"

namespace sorvane::gui {
namespace {

constexpr std::array<uid_t, 1> ROOT_ONLY = {0};

// Whether there is anything at `path` itself, a link (even a dangling one)
// included. Anything that may exist but cannot be looked at counts: the
// trust check then refuses it rather than this one passing it over.
bool exists_here(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) return true;
  return errno != ENOENT && errno != ENOTDIR;
}

}  // namespace

std::vector<std::string> script_path_dirs() {
  // The update script sets exactly the PATH the detector gets (a test
  // holds the two together).
  std::vector<std::string> dirs;
  std::string_view rest = DETECTOR_PATH_ENV;
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    dirs.emplace_back(rest.substr(0, colon));
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return dirs;
}

std::optional<std::string> find_like_the_script(std::string_view name) {
  return find_like_the_script(name, script_path_dirs());
}

std::optional<std::string> find_like_the_script(std::string_view name,
                                                std::span<const std::string> dirs) {
  for (const std::string& dir : dirs) {
    const std::string candidate = join(dir, name);
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

std::vector<Step> managers_found(std::span<const std::string> dirs) {
  std::vector<Step> found;
  for (const Manager& row : MANAGERS) {
    if (find_like_the_script(row.name, dirs)) found.push_back(row.step);
  }
  return found;
}

std::optional<Untrusted> untrusted_script_program(std::span<const std::string> dirs) {
  for (const std::string& dir : dirs) {
    if (!exists_here(dir)) continue;  // a missing directory holds nothing
    if (auto fault = untrusted_on_the_way(dir, ROOT_ONLY)) return fault;
  }
  for (const std::string_view name : SCRIPT_PROGRAMS) {
    for (const std::string& dir : dirs) {
      const std::string candidate = join(dir, name);
      if (!exists_here(candidate)) continue;
      if (auto fault = untrusted_on_the_way(candidate, ROOT_ONLY)) return fault;
    }
  }
  return std::nullopt;
}

std::optional<Untrusted> untrusted_script_program() {
  return untrusted_script_program(script_path_dirs());
}

}  // namespace sorvane::gui
