#include "bounded_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "unique_fd.hpp"

namespace sorvane::gui {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> c_strings(std::vector<std::string>& strings) {
  std::vector<char*> pointers(strings.size() + 1, nullptr);
  std::transform(strings.begin(), strings.end(), pointers.begin(),
                 [](std::string& s) { return s.data(); });
  return pointers;
}

}  // namespace

Result<BoundedRun, OsError> run_bounded(const std::vector<std::string>& argv,
                                        const std::vector<std::string>& environment,
                                        std::chrono::milliseconds limit, size_t max_output) {
  std::array<int, 2> out{};
  std::array<int, 2> err{};
  if (::pipe2(out.data(), O_CLOEXEC) != 0) return OsError::last();
  UniqueFd out_read(out[0]);
  UniqueFd out_write(out[1]);
  if (::pipe2(err.data(), O_CLOEXEC) != 0) return OsError::last();
  UniqueFd err_read(err[0]);
  UniqueFd err_write(err[1]);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  if (::posix_spawn_file_actions_init(&actions) != 0) return OsError::from_code(ENOMEM);
  if (::posix_spawnattr_init(&attr) != 0) {
    ::posix_spawn_file_actions_destroy(&actions);
    return OsError::from_code(ENOMEM);
  }
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, out_write.get(), STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, err_write.get(), STDERR_FILENO);
  ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  ::posix_spawnattr_setsigdefault(&attr, &all);
  ::posix_spawnattr_setsigmask(&attr, &none);
  ::posix_spawnattr_setpgroup(&attr, 0);
  ::posix_spawnattr_setflags(
      &attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  std::vector<std::string> args = argv;
  std::vector<std::string> env = environment;
  auto c_args = c_strings(args);
  auto c_env = c_strings(env);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, c_args[0], &actions, &attr, c_args.data(), c_env.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attr);
  if (rc != 0) return OsError::from_code(rc);
  out_write.reset();
  err_write.reset();

  BoundedRun run;
  const auto deadline = Clock::now() + limit;
  std::array<std::pair<UniqueFd*, std::string*>, 2> streams{
      {{&out_read, &run.out}, {&err_read, &run.err}}};
  while ((out_read.valid() || err_read.valid()) && !run.timed_out) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      run.timed_out = true;
      break;
    }
    std::array<pollfd, 2> fds{{{out_read.get(), POLLIN, 0}, {err_read.get(), POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), static_cast<int>(left)) < 0 && errno != EINTR) break;
    for (size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      std::array<char, 4096> chunk{};
      const ssize_t n = ::read(streams[i].first->get(), chunk.data(), chunk.size());
      if (n <= 0) {
        if (n == 0 || errno != EINTR) streams[i].first->reset();
        continue;
      }
      std::string& sink = *streams[i].second;
      const size_t kept = std::min(static_cast<size_t>(n), max_output - sink.size());
      run.cut = run.cut || kept < static_cast<size_t>(n);
      sink.append(chunk.data(), kept);
    }
  }
  // Within the limit the child exits on its own; past it, it and anything
  // it started go.
  while (!run.timed_out) {
    const pid_t done = ::waitpid(pid, &run.wait_status, WNOHANG);
    if (done == pid) return run;
    if (done < 0 && errno != EINTR) return OsError::last();
    if (Clock::now() >= deadline) break;
    ::usleep(1000);
  }
  run.timed_out = true;
  ::kill(-pid, SIGKILL);
  retry_on_eintr([&] { return ::waitpid(pid, &run.wait_status, 0); });
  return run;
}

}  // namespace sorvane::gui
