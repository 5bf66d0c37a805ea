#include "run.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "detection.hpp"
#include "payload.hpp"
#include "utf8.hpp"
#include "writer.hpp"

namespace sorvane {
namespace {

constexpr std::string_view PROGRAM_NAME = "Sorvane";

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
  print(std::string(PROGRAM_NAME) + "\n" + std::string(PROGRAM_NAME.size(), '=') + "\n\n");
  print("Detecting package managers...\n\n");
  if (managers.empty()) {
    print("No supported package managers detected.\n");
    return;
  }
  print("Detected package managers:\n");
  for (const DetectedManager& manager : managers) {
    print("  " + std::string(display_name(manager.kind)) + "\n");
  }
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
  (void)std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

Result<Ok, std::string> run() {
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
  print("\nUpdate script prepared successfully.\n");
  return Ok{};
}

void report_error(std::string_view message) {
  const std::string line = "ERROR: " + std::string(message) + "\n";
  (void)std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace sorvane
