// Runs a helper program (sorvane itself, or sudo's password probe) to its
// end, its output captured, within a time limit: a helper that hangs must
// not hang the window with it.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "os_error.hpp"
#include "result.hpp"

namespace sorvane::gui {

using BoundedRun = Captured;

// Starts argv[0] (an absolute path) with exactly `environment`, standard
// input on /dev/null, in its own process group, and waits at most `limit`.
// Output beyond `max_output` bytes per stream is dropped. The child is
// always reaped.
inline constexpr size_t MAX_OUTPUT = size_t{64} * 1024;
Result<BoundedRun, OsError> run_bounded(const std::vector<std::string>& argv,
                                        const std::vector<std::string>& environment,
                                        std::chrono::milliseconds limit,
                                        size_t max_output = MAX_OUTPUT);

}  // namespace sorvane::gui
