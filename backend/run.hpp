// The whole job in one pass: detect, report, write the update script.
#pragma once

#include <string>
#include <string_view>

#include "result.hpp"

namespace sorvane {

inline constexpr std::string_view OUTPUT_PATH_ENV = "SORVANE_SCRIPT_OUTPUT";
inline constexpr std::string_view DEFAULT_OUTPUT_PATH = "./scripts/update-script-output.sh";

// Makes the standard streams safe to use before anything else happens:
// descriptors 0-2 that are closed are opened on /dev/null (so no file of
// ours takes their numbers), SIGPIPE is ignored (a closed stdout pipe is a
// failed write, not a dead process), and stdout is line-buffered.
void prepare_process();

// Prints the report on stdout and returns the message of the one failure,
// if any. Failed writes to stdout are ignored: they never change the outcome.
Result<Ok, std::string> run();

// Writes "ERROR: <message>\n" to stderr.
void report_error(std::string_view message);

}  // namespace sorvane
