#include "failure_cause.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <vector>

#include "manager_facts.hpp"
#include "path.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

// A system path ("/var/...") inside the root the places name.
std::string under(const std::string& root, string_view path) {
  while (path.starts_with('/')) path.remove_prefix(1);
  return path.empty() ? root : join(root, path);
}

}  // namespace

std::optional<std::uint64_t> free_bytes(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  return std::uint64_t{fs.f_bavail} * fs.f_frsize;
}

namespace {

// The mount point of `path`: the highest directory on its device.
std::string mount_point(const std::string& root, std::string_view path) {
  struct stat st {};
  if (::stat(under(root, path).c_str(), &st) != 0) return std::string(path);
  std::string at(path);
  while (at != "/") {
    const size_t slash = at.rfind('/');
    const std::string above = slash == 0 ? "/" : at.substr(0, slash);
    struct stat up {};
    if (::stat(under(root, above).c_str(), &up) != 0 || up.st_dev != st.st_dev) break;
    at = above;
  }
  return at;
}

}  // namespace

FailureCause no_space(const std::string& root, string_view path) {
  FailureCause found{Cause::NoSpace, mount_point(root, path), 0, {}, {}, {}, {}};
  found.free_bytes = free_bytes(under(root, path)).value_or(0);
  return found;
}

// The host of the first URL in the line.
std::string url_host(string_view line) {
  const size_t scheme = line.find("://");
  if (scheme == string_view::npos) return {};
  string_view rest = line.substr(scheme + 3);
  const size_t end = rest.find_first_of("/ \t'\"");
  return std::string(rest.substr(0, end));
}

// The path in the line that starts with `prefix` (and then ends, or goes
// on with a "/"), as a whole word.
bool names_path(string_view line, string_view prefix) {
  for (size_t at = line.find(prefix); at != string_view::npos; at = line.find(prefix, at + 1)) {
    const size_t end = at + prefix.size();
    const bool starts = at == 0 || line[at - 1] == ' ' || line[at - 1] == '\'' ||
                        line[at - 1] == '"' || line[at - 1] == '(';
    const bool ends = end == line.size() || line[end] == '/' || line[end] == ' ' ||
                      line[end] == '.' || line[end] == ',' || line[end] == '\'' ||
                      line[end] == '"' || line[end] == ')' || line[end] == ':';
    if (starts && ends) return true;
  }
  return false;
}

FailureCause find_failure_cause(Step step, string_view error_line, const CheckPlaces& places) {
  // Another program holds a manager's lock: the managers name its file.
  for (const Manager& row : MANAGERS) {
    const FailureSignals& signals = row.facts->failure;
    for (const string_view lock : signals.locks) {
      if (!names_path(error_line, lock)) continue;
      FailureCause found{Cause::Locked, {}, 0, {}, {}, {}, {}};
      found.holder = signals.lock_holder != nullptr
                         ? signals.lock_holder(lock, places)
                         : lock_held(places, under(places.root, lock)).value_or("");
      return found;
    }
  }
  const auto cause = facts(step).failure.cause;
  return cause != nullptr ? cause(error_line, places) : FailureCause{};
}

std::optional<FailureCause> failure_cause(const Finish& finish, const CheckPlaces& places) {
  if (finish.outcome != Outcome::Failed || !finish.failed_step) return std::nullopt;
  return find_failure_cause(*finish.failed_step, finish.message, places);
}

}  // namespace sorvane::gui
