// Runs the detector script under bash as a child process and collects what
// it writes. The child sees only what is passed here: an argument vector of
// bash and the script, an environment of exactly LC_ALL=C and a fixed PATH,
// standard input on /dev/null, and no descriptor other than 0, 1 and 2.
#pragma once

#include <string>
#include <string_view>

#include "os_error.hpp"
#include "result.hpp"

namespace sorvane {

// The child's PATH: system directories only, whatever the caller's PATH is.
inline constexpr std::string_view DETECTOR_PATH_ENV =
    "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";

// What the detector left: all it wrote to standard output, and how it
// ended. Its standard error is read as it comes and dropped, so a chatty
// detector costs no memory.
struct ChildOutput {
  std::string out;
  int wait_status = 0;  // as waitpid gives it
};

// Starts `bash script`, reads both output pipes to their end and reaps the
// child. How the child ended is reported, not judged; failing to start the
// child, to read its pipes (running out of memory included) or to wait for
// it is an error. The child is always reaped before this returns, with or
// without an error.
Result<ChildOutput, OsError> run_detector_child(std::string_view bash, std::string_view script);

}  // namespace sorvane
