// Reading what the system says in files and links, with memory bounded
// however large they are: /proc's files, dpkg's database, a state file.
#pragma once

#include <climits>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "os_error.hpp"
#include "result.hpp"

namespace sorvane::gui {

// Where the link at `path` leads. A target of `capacity` bytes or more is
// ENAMETOOLONG: it may have been cut short, and a cut path names another
// file.
Result<std::string, OsError> read_link(const std::string& path, size_t capacity = PATH_MAX);

// The file's bytes, read a piece at a time until at least `limit` of them
// or its end; nothing when it cannot be opened or read.
std::optional<std::string> read_file(const std::string& path, size_t limit);

// Passes each line of the file at `path`, without its line feed, to `take`
// until it returns false, reading a piece at a time: memory stays bounded
// however long the file is (/proc/locks holds every lock of every user). A
// line longer than `max_line` is passed to no one. False when the file
// could not be opened or read.
bool each_line_of(const std::string& path, const std::function<bool(std::string_view)>& take,
                  size_t max_line = 4096);

}  // namespace sorvane::gui
