// Whole-process cost of a Sorvane run, side by side with the floor (the
// same trusted bash running the same detector with the same scrubbed
// environment, alone) and with the shell script a user might write
// instead, and with an empty process. The commands take turns, so drift in the machine's load
// touches all of them alike. Also reports the peak resident memory of the
// Sorvane process itself, read at its exit, without its bash child.
//
// usage: sorvane_measure <sorvane> <detector> <alternative.sh> <output dir> <runs>
//        sorvane_measure --peak <sorvane> <output file>
// The second form only reports the peak resident memory of one run, for a
// Sorvane whose detector was chosen by the caller (such as one that floods
// its standard error).

#include <fcntl.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "detector_process.hpp"
#include "payload.hpp"
#include "trust.hpp"

extern char** environ;

namespace {

struct Command {
  std::string label;
  std::vector<std::string> argv;
  std::vector<std::string> env;
  std::string output;  // the file the command must leave behind, if any
};

std::vector<char*> c_strings(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  pointers.reserve(strings.size() + 1);
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

[[noreturn]] void die(const std::string& what) {
  std::fprintf(stderr, "sorvane_measure: %s\n", what.c_str());
  std::exit(2);
}

// Starts the command with stdin and stdout on /dev/null, stderr inherited.
pid_t spawn(Command& command) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  auto argv = c_strings(command.argv);
  auto envp = c_strings(command.env);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) die("cannot start " + command.argv[0]);
  return pid;
}

void expect_success(const Command& command, int status) {
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) die(command.label + " failed");
  if (!command.output.empty()) {
    if (::access(command.output.c_str(), F_OK) != 0) die(command.label + " wrote nothing");
    ::unlink(command.output.c_str());
  }
}

double run_once_us(Command& command) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = spawn(command);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) die("waitpid");
  }
  const auto end = std::chrono::steady_clock::now();
  expect_success(command, status);
  return std::chrono::duration<double, std::micro>(end - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// VmHWM of a stopped process, in KiB.
long peak_resident_kib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  die("no VmHWM for " + std::to_string(pid));
}

// Runs the command traced only so that it stops at its exit, while its
// memory is still there to read. Its children are not traced.
long peak_resident_at_exit_kib(Command& command) {
  const pid_t pid = ::fork();
  if (pid < 0) die("fork");
  if (pid == 0) {
    ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    auto argv = c_strings(command.argv);
    auto envp = c_strings(command.env);
    const int null_fd = ::open("/dev/null", O_RDWR);
    ::dup2(null_fd, STDIN_FILENO);
    ::dup2(null_fd, STDOUT_FILENO);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  long peak = -1;
  int status = 0;
  bool options_set = false;
  while (::waitpid(pid, &status, 0) == pid && WIFSTOPPED(status)) {
    int deliver = 0;
    if (!options_set) {  // the stop after execve
      ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT);
      options_set = true;
    } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      peak = peak_resident_kib(pid);
    } else {
      deliver = WSTOPSIG(status);  // an ordinary signal, such as SIGCHLD
    }
    ::ptrace(PTRACE_CONT, pid, nullptr, deliver);
  }
  expect_success(command, status);
  if (peak < 0) die("did not see the exit of " + command.label);
  return peak;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--peak") {
    Command command{"sorvane", {argv[2]}, {"SORVANE_SCRIPT_OUTPUT=" + std::string(argv[3])}, ""};
    const long peak_kib = peak_resident_at_exit_kib(command);
    std::printf("Peak resident memory: %ld KiB, %.2f MiB (target <= 4 MiB)\n", peak_kib,
                static_cast<double>(peak_kib) / 1024);
    return 0;
  }
  if (argc != 6) die("usage: sorvane_measure <sorvane> <detector> <alternative.sh> <dir> <runs>");
  const std::string sorvane = argv[1];
  const std::string detector = argv[2];
  const std::string alternative = argv[3];
  const std::string dir = argv[4];
  const int runs = std::atoi(argv[5]);
  if (runs < 1) die("runs must be at least 1");

  const auto bash = sorvane::trusted_system_program("bash");
  if (!bash) die("no trusted bash");
  const std::string path_var = "PATH=" + std::string(sorvane::DETECTOR_PATH_ENV);

  std::array<Command, 4> commands{{
      {"sorvane", {sorvane}, {"SORVANE_SCRIPT_OUTPUT=" + dir + "/sorvane.sh"}, dir + "/sorvane.sh"},
      {"floor (bash + detector)", {*bash, detector}, {"LC_ALL=C", path_var}, ""},
      {"shell-script alternative",
       {*bash, alternative},
       {"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + dir + "/alternative.sh",
        "BENCH_DETECTOR=" + detector, "BENCH_BASH=" + *bash,
        "BENCH_PAYLOAD=" + std::string(sorvane::UPDATE_SCRIPT)},
       dir + "/alternative.sh"},
      // The price of any one more process on this machine: Sorvane is one.
      {"an empty process (true)", {"/usr/bin/true"}, {}, ""},
  }};

  // One untimed round warms the page cache for all three.
  for (auto& command : commands) run_once_us(command);
  std::array<std::vector<double>, commands.size()> times;
  for (int round = 0; round < runs; ++round) {
    for (size_t turn = 0; turn < commands.size(); ++turn) {
      const size_t i = (turn + static_cast<size_t>(round)) % commands.size();
      times[i].push_back(run_once_us(commands[i]));
    }
  }

  const double sorvane_us = median(times[0]);
  const double floor_us = median(times[1]);
  const double alternative_us = median(times[2]);
  const double empty_us = median(times[3]);
  std::printf("Wall time, median of %d runs each (output in %s):\n", runs, dir.c_str());
  for (size_t i = 0; i < commands.size(); ++i) {
    std::printf("  %-26s %9.1f us\n", commands[i].label.c_str(), median(times[i]));
  }
  std::printf("  sorvane / floor             %8.3f   (target <= 1.15)\n", sorvane_us / floor_us);
  std::printf("  sorvane / alternative       %8.3f   (target <= 0.25)\n",
              sorvane_us / alternative_us);
  std::printf(
      "  sorvane - floor            %9.1f us, of which starting and ending a process\n"
      "  costs %.1f us (the empty process): Sorvane's own work %.1f us\n",
      sorvane_us - floor_us, empty_us, sorvane_us - floor_us - empty_us);

  std::vector<double> peaks;
  for (int i = 0; i < std::min(runs, 20); ++i) {
    peaks.push_back(static_cast<double>(peak_resident_at_exit_kib(commands[0])));
  }
  const double peak_kib = *std::max_element(peaks.begin(), peaks.end());
  std::printf("Peak resident memory of the sorvane process: %.0f KiB, %.2f MiB (target <= 4 MiB)\n",
              peak_kib, peak_kib / 1024);
  return 0;
}
