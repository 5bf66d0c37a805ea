// Atomic, owner-only replacement of a file.
//
// write_script() guarantees that, as long as the kernel and file system keep
// their promises for rename(2) and fsync(2), the destination is seen either
// as it was or holding exactly the new contents with mode 0600, owned by the
// effective user, never half written. The temporary file it creates is
// removed on every failure path; directories it created are kept.
//
// What it does not promise: the directory entry itself is not synced after
// the rename, so after a power loss the destination may still show the old
// contents; and the written file can be changed by any process of the same
// user, or replaced by anyone who may write to its directory, after this
// returns.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string_view>
#include <variant>

#include "os_error.hpp"
#include "result.hpp"
#include "temp_file.hpp"

namespace sorvane {

inline constexpr mode_t DIR_CREATE_MODE = 0777;
inline constexpr std::string_view WRITE_ZERO_MESSAGE = "failed to write whole buffer";

using WriteError = std::variant<OsError, PathError>;
std::string to_text(const WriteError& error);

// Creates `dir` and every missing ancestor with DIR_CREATE_MODE (less the
// umask). An existing directory, or a link to one, is fine.
Result<Ok, OsError> create_dir_all(std::string_view dir);

// Writes all of `contents`, continuing short writes and retrying EINTR. A
// write that makes no progress is an error (WRITE_ZERO_MESSAGE).
std::optional<OsError> write_all(int fd, std::string_view contents);

// Puts `contents` at `path` atomically, creating missing parent directories.
Result<Ok, WriteError> write_script(std::string_view path, std::string_view contents);

}  // namespace sorvane
