// Helpers shared by the tests: private temporary directories, files with
// exact modes, and running a program with a chosen environment.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "run_dir.hpp"
#include "run_status.hpp"
#include "update_process.hpp"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SORVANE_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define SORVANE_TEST_ASAN 1
#endif

namespace sorvane::test {

#ifdef SORVANE_TEST_ASAN
inline constexpr bool UNDER_ADDRESS_SANITIZER = true;
#else
inline constexpr bool UNDER_ADDRESS_SANITIZER = false;
#endif

bool in_ci();

// Root-only cases skip elsewhere, but CI runs as root and must never skip.
#define REQUIRE_ROOT()                                                                \
  do {                                                                                \
    if (::geteuid() != 0) {                                                           \
      if (::sorvane::test::in_ci()) FAIL() << "needs root, and CI=true runs as root"; \
      GTEST_SKIP() << "needs root (chown to other users, mount namespaces)";          \
    }                                                                                 \
  } while (0)

// Cases that need a tool a distribution's build may lack (strace, dash,
// busybox) skip with its name there, and fail in CI, which installs it.
#define REQUIRE_TOOL(path)                                                               \
  do {                                                                                   \
    if (::access(path, X_OK) != 0) {                                                     \
      if (::sorvane::test::in_ci()) FAIL() << path << " is missing, and CI=true has it"; \
      GTEST_SKIP() << path << " is not installed";                                       \
    }                                                                                    \
  } while (0)

// A fresh directory (mode 0755) removed with everything in it at the end:
// under the system's temporary directory, or under `base`.
class TempDir {
 public:
  TempDir();
  explicit TempDir(const std::string& base);
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] std::string operator/(std::string_view name) const {
    return path_ + "/" + std::string(name);
  }

 private:
  std::string path_;
};

void write_file(const std::string& path, std::string_view contents, mode_t mode = 0644);
std::string read_file(const std::string& path);
void make_dir(const std::string& path, mode_t mode = 0755);
void set_mode(const std::string& path, mode_t mode);
struct stat stat_of(const std::string& path);
struct stat lstat_of(const std::string& path);
bool exists(const std::string& path);
std::vector<std::string> list_dir(const std::string& path);

struct ProcessResult {
  std::string out;
  std::string err;
  int status = -1;  // raw wait status
  [[nodiscard]] int exit_code() const;
};

struct ProcessOptions {
  std::vector<std::string> env;           // exactly this environment
  std::string cwd;                        // empty: inherit
  std::optional<std::string> stdin_file;  // default /dev/null
  std::optional<int> stdout_fd;           // default: captured into out
};

// Runs a program to its end, its stdout and stderr captured.
ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options);

// Starts a program with stdout and stderr going to the given files (such
// as "/dev/null"); wait_for() reaps it and returns its raw wait status.
pid_t start_process(const std::vector<std::string>& argv, const ProcessOptions& options,
                    const std::string& out_path, const std::string& err_path);
int wait_for(pid_t pid);

// Runs body in a forked child (which may drop to another user or chroot
// without touching the test): true when it returned true.
bool in_child(const std::function<bool()>& body);
// In such a child: the user nobody, with no other group.
bool drop_to_nobody();

// Runs body with the working directory set to dir, then goes back.
void in_directory(const std::string& dir, const std::function<void()>& body);

// The built executable and the repository it came from.
std::string sorvane_binary();
std::string source_dir();
std::string fault_shim();

// A copy of the executable at <root>/app/bin/sorvane, with <root>/scripts
// holding `detector` as detect-package-managers.sh: the layout the program
// expects, with a detector of the test's choosing.
struct Layout {
  explicit Layout(std::string_view detector);
  TempDir root;
  std::string binary;
};

// A manager executable that passes the trust test: mode 0755 in a private
// directory owned by the caller.
std::string make_trusted_manager(const TempDir& dir, std::string_view name);

// A child's wait status for an exit with `status`.
inline int exited(int status) {
  return W_EXITCODE(status, 0);
}

// An update started as the window starts one: in a run directory of its
// own, which this test holds as the window does, under the real monitor.
struct Monitored {
  explicit Monitored(const std::string& base);
  Result<gui::StartedUpdate, OsError> start(std::string_view script,
                                            const std::vector<std::string>& environment = {},
                                            int held = -1,
                                            const std::string& bash = "/usr/bin/bash");
  // The monitor's end, then the status it recorded.
  std::optional<gui::RunStatus> ended(gui::StartedUpdate& update) const;
  [[nodiscard]] std::string log() const { return read_file(run.path() + "/update.log"); }
  gui::RunDir run;
};

// What a careless window might have set up (SIGTERM ignored, SIGUSR1
// blocked, an odd umask), undone when it goes: no child it starts may
// inherit any of it.
class CarelessWindow {
 public:
  explicit CarelessWindow(mode_t umask_value) : old_term_(std::signal(SIGTERM, SIG_IGN)) {
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &block, &old_mask_);
    old_umask_ = ::umask(umask_value);
  }
  ~CarelessWindow() {
    ::umask(old_umask_);
    ::pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
    (void)std::signal(SIGTERM, old_term_);
  }
  CarelessWindow(const CarelessWindow&) = delete;
  CarelessWindow& operator=(const CarelessWindow&) = delete;
  CarelessWindow(CarelessWindow&&) = delete;
  CarelessWindow& operator=(CarelessWindow&&) = delete;

 private:
  void (*old_term_)(int);
  sigset_t old_mask_{};
  mode_t old_umask_ = 0;
};

}  // namespace sorvane::test
