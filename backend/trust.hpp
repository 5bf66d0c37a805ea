// The one ownership-and-permission test that every executable passes before
// Sorvane runs it (bash) or reports it (a package manager). Both queries are
// silent: any failure to look at the file system is a refusal.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sorvane {

// Searched in this order; the first trusted candidate wins.
inline constexpr std::array<std::string_view, 4> TRUSTED_DIRS = {"/usr/bin", "/usr/sbin", "/bin",
                                                                 "/sbin"};

// True only if, following symbolic links: the file is a regular file with an
// execute bit and no group or other write bit, its owner is the owner of the
// parent directory of `path` (as spelt), and that directory has no group or
// other write bit. Owner need not be root; set-id and sticky bits, ACLs and
// directories above the parent are not examined.
bool is_trusted_executable(std::string_view path);

// The canonical path of the first trusted `name` in TRUSTED_DIRS.
std::optional<std::string> trusted_system_program(std::string_view name);

// The same search over other directories, for tests of the search itself.
std::optional<std::string> trusted_system_program(std::string_view name,
                                                  std::span<const std::string_view> dirs);

}  // namespace sorvane
