#include "installation.hpp"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>

#include "files.hpp"
#include "path.hpp"

namespace sorvane::gui {

Result<std::string, OsError> own_executable() {
  return read_link("/proc/self/exe");
}

Installation installation_beside(std::string_view own_executable) {
  const std::string dir(parent(own_executable).value_or("."));
  return {join(dir, "sorvane"), join(dir, "../../scripts/detect-package-managers.sh")};
}

std::optional<Untrusted> untrusted_installation(const Installation& installation, uid_t user) {
  const std::array<uid_t, 2> owners = {0, user};
  if (auto fault = untrusted_on_the_way(installation.sorvane, owners)) return fault;
  return untrusted_on_the_way(installation.detector, owners);
}

}  // namespace sorvane::gui
