// One detector line: whatever it says, a manager is believed only with the
// kind its final component names and a canonical path that passes the
// trust test. Runs in a private temporary directory holding a few managers,
// trusted and not, so relative lines can succeed. The working directory
// changes at start-up: give libFuzzer absolute corpus paths.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "detection.hpp"
#include "path.hpp"
#include "trust.hpp"
#include "utf8.hpp"

namespace {

// Set once at start-up and read by the exit handler that removes it.
std::string work_dir;  // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
constexpr const char* FILES[] = {"apt", "snap", "dnf-3", "pacman", "flatpak", "dnf", "sub"};

void remove_work_dir() {
  for (const char* name : FILES) ::remove((work_dir + "/" + name).c_str());
  ::rmdir(work_dir.c_str());
}

void make_executable(const std::string& path, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) std::abort();
  ::close(fd);
  ::chmod(path.c_str(), mode);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  std::string dir = "/tmp/sorvane-fuzz-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr || ::chmod(dir.c_str(), 0755) != 0 ||
      ::chdir(dir.c_str()) != 0) {
    std::abort();
  }
  work_dir = dir;
  std::atexit(remove_work_dir);
  make_executable("apt", 0755);
  make_executable("snap", 0700);
  make_executable("dnf-3", 0755);
  make_executable("pacman", 0775);   // group-writable: never believed
  make_executable("flatpak", 0644);  // not executable
  if (::symlink("dnf-3", "dnf") != 0 || ::mkdir("sub", 0755) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string line =
      sorvane::to_plain(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto manager = sorvane::parse_detector_line(line);
  if (!manager) return 0;
  const std::string_view trimmed = sorvane::trim_white_space(line);
  const auto name = sorvane::final_component(trimmed);
  if (!name || *name != sorvane::display_name(manager->kind)) std::abort();
  if (!manager->path.starts_with('/') || sorvane::resolve(trimmed) != manager->path) std::abort();
  if (!sorvane::is_trusted_executable(manager->path)) std::abort();
  return 0;
}
