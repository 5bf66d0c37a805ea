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

#include "path.hpp"
#include "unique_fd.hpp"
#include "update_log.hpp"

namespace sorvane::gui {
namespace {

using std::string_view;

constexpr size_t MAX_DPKG_DATABASE = size_t{64} * 1024 * 1024;

// The lock files apt and pacman name in their error when another program
// holds them (untranslated paths).
constexpr std::array<string_view, 5> LOCK_FILES = {
    "/var/lib/dpkg/lock-frontend", "/var/lib/dpkg/lock", "/var/lib/apt/lists/lock",
    "/var/cache/apt/archives/lock", "/var/lib/pacman/db.lck"};
// Where apt and dpkg write during an update, most specific first: the
// download cache, the package lists, dpkg's database, then what packages
// install into.
constexpr std::array<string_view, 7> APT_WRITES = {
    "/var/cache/apt/archives", "/var/lib/apt/lists", "/var/lib/dpkg", "/boot", "/usr", "/var", "/"};

// A system path ("/var/...") inside the root the places name.
std::string under(const std::string& root, string_view path) {
  while (path.starts_with('/')) path.remove_prefix(1);
  return path.empty() ? root : join(root, path);
}

std::string file_text(const std::string& path, size_t limit) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  std::string text;
  if (fd.valid())
    read_whole_file(
        fd.get(), [&](string_view part) { text += part; }, limit);
  return text;
}

std::optional<std::uint64_t> free_bytes(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  return std::uint64_t{fs.f_bavail} * fs.f_frsize;
}

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

}  // namespace

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
        if (::lstat(under(root, file + ".dpkg-new").c_str(), &st) == 0) {
          left.question_package = name;
          left.question_file = file;
          break;
        }
      }
    }
  }
  return left;
}

FailureCause find_failure_cause(Step step, string_view error_line, const CheckPlaces& places) {
  const std::string& root = places.root;
  // Another program holds the manager's lock: apt and pacman name its file.
  for (const string_view lock : LOCK_FILES) {
    if (!names_path(error_line, lock)) continue;
    FailureCause found{Cause::Locked, {}, 0, {}, {}, {}, {}};
    const std::string held = under(root, lock);
    if (lock.starts_with("/var/lib/dpkg/lock")) {
      // apt waits for the frontend lock; dpkg's own is held with it.
      found.holder = lock_held(places, under(root, "/var/lib/dpkg/lock-frontend"))
                         .value_or(lock_held(places, held).value_or(""));
    } else {
      found.holder = lock_held(places, held).value_or("");
    }
    return found;
  }
  if (step == Step::Apt) {
    // apt's own check before downloading names the directory; its write
    // errors carry the errno, 28 (ENOSPC), as a number.
    if (error_line.starts_with("E:") && names_path(error_line, "/var/cache/apt/archives") &&
        error_line.find("://") == string_view::npos) {
      return no_space(root, "/var/cache/apt/archives");
    }
    if (error_line.starts_with("E:") && error_line.find("(28: ") != string_view::npos) {
      const auto named = std::find_if(APT_WRITES.begin(), APT_WRITES.end(), [&](string_view path) {
        return path != "/" && names_path(error_line, path);
      });
      if (named != APT_WRITES.end()) return no_space(root, *named);
      // A download that could not be written: apt writes it to its cache.
      if (error_line.find("://") != string_view::npos) {
        return no_space(root, "/var/cache/apt/archives");
      }
    }
    if (error_line.starts_with("E:") && error_line.find("://") != string_view::npos) {
      return {Cause::Unreachable, {}, 0, url_host(error_line), {}, {}, {}};
    }
    const DpkgLeftOver left =
        dpkg_left_over(file_text(under(root, "/var/lib/dpkg/status"), MAX_DPKG_DATABASE), root);
    // Out of room: a filesystem dpkg writes to is (nearly) full now.
    for (const string_view path : APT_WRITES) {
      const auto free = free_bytes(under(root, path));
      if (free && *free < NEARLY_FULL_BYTES && left.question_package.empty()) {
        return no_space(root, path);
      }
    }
    if (!left.failed_script.empty()) {
      return {Cause::ScriptFailed, {}, 0, {}, {}, left.failed_script, {}};
    }
    if (!left.question_package.empty()) {
      return {Cause::ConfigQuestion, {}, 0, {}, {}, left.question_package, left.question_file};
    }
  }
  return {};
}

std::optional<FailureCause> failure_cause(const Finish& finish, const CheckPlaces& places) {
  if (finish.outcome != Outcome::Failed || !finish.failed_step) return std::nullopt;
  return find_failure_cause(*finish.failed_step, finish.message, places);
}

}  // namespace sorvane::gui
