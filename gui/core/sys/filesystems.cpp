#include "filesystems.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>

#include "files.hpp"
#include "path.hpp"
#include "unique_fd.hpp"

namespace sorvane::gui {

std::optional<MountLine> mount_of(const std::string& proc, const std::string& path) {
  struct statx st {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_MNT_ID, &st) != 0 ||
      (st.stx_mask & STATX_MNT_ID) == 0) {
    return std::nullopt;
  }
  std::optional<MountLine> found;
  each_line_of(
      join(proc, "self/mountinfo"),
      [&](std::string_view line) {
        auto mount = parse_mountinfo_line(line);
        if (mount && mount->id == st.stx_mnt_id) found = std::move(mount);
        return !found;
      },
      size_t{64} * 1024);
  return found;
}

namespace {

// `path` as the user sees it: without the test root it may lie under.
std::string seen_from(const std::string& root, const std::string& path) {
  if (root.empty() || root == "/") return path;
  if (path == root) return "/";
  if (path.starts_with(root) && path[root.size()] == '/') return path.substr(root.size());
  return path;
}

}  // namespace

std::optional<SpaceNeed> space_need(const std::string& proc, const std::string& root,
                                    std::string_view where, std::uint64_t bytes) {
  std::string path = join(root, where);
  // What does not exist yet is made in the nearest directory that does.
  struct statvfs fs {};
  struct stat st {};
  while (::statvfs(path.c_str(), &fs) != 0 || ::stat(path.c_str(), &st) != 0) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || path.size() <= 1) return std::nullopt;
    path.resize(slash == 0 ? 1 : slash);
  }
  SpaceNeed need;
  need.path = seen_from(root, join(root, where));
  need.bytes = bytes;
  need.free_bytes = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
  need.device = st.st_dev;
  need.mount_point = seen_from(root, path);
  if (auto mount = mount_of(proc, path)) {
    need.device = mount->device;
    need.mount_point = seen_from(root, mount->mount_point);
  }
  return need;
}

}  // namespace sorvane::gui
