// How the managers' files read their history: the log and its rotations
// (oldest first, gzip-compressed ones through the trusted gzip), line by
// line, and their history commands, as the user in the C locale. What
// exists but cannot be read is added to the history's unreadable sources.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "history.hpp"

namespace sorvane::gui {

using TakeLine = std::function<void(std::string_view line)>;

// The rotations of `name` in `dir` (a system path under the root):
// name.N.gz ... name.2.gz, name.1, name, oldest first. Empty when none
// exists; each one that exists is in the list.
std::vector<std::string> rotations(const HistorySetup& setup, std::string_view dir,
                                   std::string_view name);

// Each line of `path` (as rotations() gives it) to `take`; false, with the
// path added to `into.unreadable`, when it could not be read.
bool read_log_lines(const HistorySetup& setup, const std::string& path, History& into,
                    const TakeLine& take);

// Runs `tool args` (found as the update finds it) and gives its output;
// nothing, with the reason in `into.unreadable`, when it failed or is not
// to be trusted; nothing alone when no such program is on the PATH.
std::optional<std::string> history_command(const HistorySetup& setup, std::string_view tool,
                                           std::vector<std::string> args, History& into);

}  // namespace sorvane::gui
