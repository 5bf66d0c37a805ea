#include "installation.hpp"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>

#include "path.hpp"

namespace sorvane::gui {

Installation installation_beside(std::string_view own_executable) {
  const std::string dir(parent(own_executable).value_or("."));
  return {join(dir, "sorvane"), join(dir, "../../scripts/detect-package-managers.sh")};
}

Result<std::string, OsError> own_executable() {
  std::array<char, PATH_MAX> path{};
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n < 0) return OsError::last();
  if (static_cast<size_t>(n) >= path.size()) return OsError::from_code(ENAMETOOLONG);
  return std::string(path.data(), static_cast<size_t>(n));
}

std::optional<Untrusted> untrusted_installation(const Installation& installation, uid_t user) {
  const std::array<uid_t, 2> owners = {0, user};
  if (auto fault = untrusted_on_the_way(installation.sorvane, owners)) return fault;
  return untrusted_on_the_way(installation.detector, owners);
}

}  // namespace sorvane::gui
