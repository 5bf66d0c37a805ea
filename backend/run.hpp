// The whole job in one pass: detect, report, write the update script.
#pragma once

#include <string>
#include <string_view>

#include "result.hpp"

namespace sorvane {

inline constexpr std::string_view OUTPUT_PATH_ENV = "SORVANE_SCRIPT_OUTPUT";
inline constexpr std::string_view DEFAULT_OUTPUT_PATH = "./scripts/update-script-output.sh";

// The report's fixed lines, byte for byte: front ends read them (the
// front-end contract), so they are spelt once, here.
inline constexpr std::string_view REPORT_BANNER =
    "Sorvane\n=======\n\nDetecting package managers...\n\n";
inline constexpr std::string_view REPORT_NONE_FOUND = "No supported package managers detected.\n";
inline constexpr std::string_view REPORT_LIST_HEADER = "Detected package managers:\n";
inline constexpr std::string_view REPORT_ENTRY_INDENT = "  ";
inline constexpr std::string_view REPORT_SUCCESS = "\nUpdate script prepared successfully.\n";
inline constexpr std::string_view ERROR_PREFIX = "ERROR: ";

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
