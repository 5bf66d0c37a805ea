// The update script Sorvane wrote, checked and read through one descriptor
// before anything of it runs: the file must be exactly what this build of
// Sorvane writes, where only the user could have put it.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "os_error.hpp"
#include "result.hpp"

namespace sorvane::gui {

struct ScriptRefusal {
  enum class Why : unsigned char {
    Unreadable,  // `error` says why
    DirectoryNotTheUsers,
    DirectoryWritableByOthers,
    NotARegularFile,  // a link, a directory, a device...
    FileNotTheUsers,
    WrongMode,  // anything but exactly 0600
    Changed,    // not byte for byte the payload
  };
  Why why;
  OsError error = OsError::from_code(0);
};

// Opens `name` in the directory `dir` without following a link at either,
// checks both, and returns the file's bytes: the very bytes that will run.
Result<std::string, ScriptRefusal> read_checked_script(const std::string& dir,
                                                       const std::string& name, uid_t user,
                                                       std::string_view payload);
// The same in a directory already open (O_DIRECTORY, no link followed).
Result<std::string, ScriptRefusal> read_checked_script(int dir_fd, const std::string& name,
                                                       uid_t user, std::string_view payload);

}  // namespace sorvane::gui
