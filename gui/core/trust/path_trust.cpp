#include "path_trust.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "files.hpp"
#include "path.hpp"

namespace sorvane::gui {
namespace {

// As the kernel allows when it resolves a path.
constexpr int MAX_LINKS = 40;

std::vector<std::string> components(std::string_view path) {
  std::vector<std::string> parts;
  while (!path.empty()) {
    const size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    if (!part.empty() && part != ".") parts.emplace_back(part);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

std::optional<Untrusted> refuse(std::string path, Untrusted::Why why) {
  return Untrusted{std::move(path), why};
}

std::optional<Untrusted> check_entry(const std::string& path, const struct stat& st,
                                     std::span<const uid_t> owners) {
  if (std::find(owners.begin(), owners.end(), st.st_uid) == owners.end()) {
    return refuse(path, Untrusted::Why::OwnedBySomeoneElse);
  }
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return refuse(path, Untrusted::Why::WritableByOthers);
  return std::nullopt;
}

// The directory above a checked one ("/" stays "/"): already checked too.
std::string up_from(const std::string& dir) {
  const auto up = parent(dir);
  return std::string(up && !up->empty() ? *up : std::string_view("/"));
}

struct Walk {
  std::span<const uid_t> owners;
  int links = 0;

  // `dir` is a checked, link-free directory; `rest` is what to walk below it.
  std::optional<Untrusted> below(std::string dir, std::vector<std::string> rest) {
    for (size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == "..") {
        dir = up_from(dir);
        continue;
      }
      const std::string next = join(dir, rest[i]);
      struct stat st {};
      if (::lstat(next.c_str(), &st) != 0) return refuse(next, Untrusted::Why::Missing);
      if (S_ISLNK(st.st_mode)) {
        // The link lives in `dir`, which is checked; now where it leads.
        if (++links > MAX_LINKS) return refuse(next, Untrusted::Why::TooManyLinks);
        auto read = read_link(next, static_cast<size_t>(st.st_size) + 1);
        if (!read) return refuse(next, Untrusted::Why::Missing);
        const std::string target = std::move(read.value());
        std::vector<std::string> remaining = components(target);
        remaining.insert(remaining.end(), rest.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         rest.end());
        if (target.starts_with('/')) return from_root(std::move(remaining));
        return below(dir, std::move(remaining));
      }
      if (auto fault = check_entry(next, st, owners)) return fault;
      const bool last = i + 1 == rest.size();
      if (!last && !S_ISDIR(st.st_mode)) return refuse(next, Untrusted::Why::Missing);
      dir = next;
    }
    return std::nullopt;
  }

  std::optional<Untrusted> from_root(std::vector<std::string> rest) {
    struct stat st {};
    if (::lstat("/", &st) != 0) return refuse("/", Untrusted::Why::Missing);
    if (auto fault = check_entry("/", st, owners)) return fault;
    return below("/", std::move(rest));
  }
};

}  // namespace

std::optional<Untrusted> untrusted_on_the_way(std::string_view path,
                                              std::span<const uid_t> owners) {
  if (!path.starts_with('/') || path.find('\0') != std::string_view::npos) {
    return refuse(std::string(path), Untrusted::Why::Missing);
  }
  return Walk{owners}.from_root(components(path));
}

}  // namespace sorvane::gui
