#include "trust.hpp"

#include <sys/stat.h>

#include "path.hpp"

namespace sorvane {
namespace {

constexpr mode_t GROUP_OR_OTHER_WRITE = S_IWGRP | S_IWOTH;
constexpr mode_t ANY_EXECUTE = S_IXUSR | S_IXGRP | S_IXOTH;

std::optional<struct stat> stat_following_links(std::string_view path) {
  const auto c_path = to_c_path(path);
  struct stat st {};
  if (!c_path || ::stat(c_path->c_str(), &st) != 0) return std::nullopt;
  return st;
}

bool has_no_foreign_write(const struct stat& st) {
  return (st.st_mode & GROUP_OR_OTHER_WRITE) == 0;
}
bool is_executable(const struct stat& st) {
  return (st.st_mode & ANY_EXECUTE) != 0;
}
bool is_regular(const struct stat& st) {
  return S_ISREG(st.st_mode);
}

}  // namespace

bool is_trusted_executable(std::string_view path) {
  const auto dir = parent(path);
  if (!dir) return false;
  const auto file = stat_following_links(path);
  const auto dir_st = stat_following_links(*dir);
  if (!file || !dir_st) return false;
  return has_no_foreign_write(*file) && is_executable(*file) && is_regular(*file) &&
         file->st_uid == dir_st->st_uid && has_no_foreign_write(*dir_st);
}

std::optional<std::string> trusted_system_program(std::string_view name) {
  return trusted_system_program(name, TRUSTED_DIRS);
}

std::optional<std::string> trusted_system_program(std::string_view name,
                                                  std::span<const std::string_view> dirs) {
  for (const std::string_view dir : dirs) {
    const std::string candidate = join(dir, name);
    std::string resolved = resolve(candidate).value_or(candidate);
    if (is_trusted_executable(resolved)) return resolved;
  }
  return std::nullopt;
}

}  // namespace sorvane
