#include "run.hpp"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "detection.hpp"
#include "payload.hpp"
#include "utf8.hpp"
#include "writer.hpp"

namespace sorvane {
namespace {

void print(std::string_view text) {
  // A failed write (closed pipe, full disk) is deliberately ignored: the
  // exit status reports the job, not the terminal.
  (void)std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string_view output_path() {
  const char* value =
      std::getenv(OUTPUT_PATH_ENV.data());  // NOLINT(concurrency-mt-unsafe): single-threaded
  if (value == nullptr || *value == '\0') return DEFAULT_OUTPUT_PATH;
  return value;
}

void print_report(const std::vector<DetectedManager>& managers) {
  print(REPORT_BANNER);
  if (managers.empty()) {
    print(REPORT_NONE_FOUND);
    return;
  }
  print(REPORT_LIST_HEADER);
  for (const DetectedManager& manager : managers) {
    print(std::string(REPORT_ENTRY_INDENT) + std::string(display_name(manager.kind)) + "\n");
  }
}

Result<Ok, std::string> run_once() {
  const std::string_view output = output_path();

  auto script = detector_path();
  if (!script) return std::string(DETECTOR_FAILED) + script.error().text();
  auto detected = detect_with_script(script.value());
  if (!detected) return std::move(detected.error());

  const std::vector<DetectedManager>& managers = detected.value();
  print_report(managers);
  if (managers.empty()) return Ok{};

  // Same script whichever managers were found; it checks again when it runs.
  auto written = write_script(output, UPDATE_SCRIPT);
  if (!written) {
    return "could not write " + to_plain(output) + ": " + to_text(written.error());
  }
  print(REPORT_SUCCESS);
  return Ok{};
}

}  // namespace

void prepare_process() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is fd itself, since the ones below are open.
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
  (void)std::signal(SIGPIPE, SIG_IGN);
  // A caller that ignores SIGCHLD would have the kernel reap the detector
  // behind our back, and waiting for it would fail.
  (void)std::signal(SIGCHLD, SIG_DFL);
  (void)std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

Result<Ok, std::string> run() {
  // Detection turns its own allocation failures into its error line; this
  // is the last stop for any other, so none ever aborts the process.
  try {
    return run_once();
  } catch (const std::bad_alloc&) {
    return OsError::from_code(ENOMEM).text();
  }
}

void report_error(std::string_view message) {
  // One gathered write and no new string: memory may be what ran out, and a
  // reader of a shared pipe gets the line whole.
  constexpr std::string_view END = "\n";
  std::array<iovec, 3> pieces{{{const_cast<char*>(ERROR_PREFIX.data()), ERROR_PREFIX.size()},
                               {const_cast<char*>(message.data()), message.size()},
                               {const_cast<char*>(END.data()), END.size()}}};
  // Nothing is left to tell if even this fails; the exit status still says it.
  [[maybe_unused]] const ssize_t written =
      ::writev(STDERR_FILENO, pieces.data(), static_cast<int>(pieces.size()));
}

}  // namespace sorvane
