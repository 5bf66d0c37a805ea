#include "child_process.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <csignal>

#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::CarelessWindow;
using test::exited;
using test::TempDir;
using namespace std::chrono_literals;

// Children of this process that ended and were never reaped.
int zombie_children() {
  int zombies = 0;
  for (const std::string& name : test::list_dir("/proc")) {
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = test::read_file("/proc/" + name + "/stat");
    const size_t end_of_name = stat.rfind(')');
    if (end_of_name == std::string::npos || stat.size() < end_of_name + 4) continue;
    const char state = stat[end_of_name + 2];
    const long parent = std::strtol(stat.c_str() + end_of_name + 4, nullptr, 10);
    if (state == 'Z' && parent == ::getpid()) ++zombies;
  }
  return zombies;
}

// Waits a little for a killed process to go: a zombie is gone for this
// purpose, it runs nothing any more.
bool process_gone(pid_t pid) {
  for (int tries = 0; tries < 200; ++tries) {
    const std::string stat = test::read_file("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty() || stat.find(") Z ") != std::string::npos) return true;
    ::usleep(10000);
  }
  return false;
}

std::string read_to_end(int fd) {
  std::string all;
  std::array<char, 4096> chunk{};
  ssize_t n = 0;
  while ((n = retry_on_eintr([&] { return ::read(fd, chunk.data(), chunk.size()); })) > 0) {
    all.append(chunk.data(), static_cast<size_t>(n));
  }
  return all;
}

// What a child can see of its own start, one fact a line; the signal
// state as a program it starts gets it.
constexpr std::string_view CHILD_REPORT =
    R"SCRIPT((cd /proc/$$/fd && fds=(*) && echo "fds=${fds[*]}")
printf 'env=%s\n' "$(/usr/bin/tr '\0' ' ' </proc/$$/environ)"
printf 'cwd=%s umask=%s\n' "$PWD" "$(umask)"
read -r -a stat </proc/$$/stat
[[ ${stat[4]} == "$$" ]] && echo "own group"
[[ ${stat[5]} == "$$" ]] && echo "own session"
/usr/bin/grep -E '^Sig(Blk|Ign)' /proc/self/status | /usr/bin/tr -d '\n\t'
)SCRIPT";

TEST(ChildProcess, TheChildGetsExactlyWhatItIsDescribedWith) {
  const TempDir dir;
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
  // Not close-on-exec: only the layout may decide what the child gets.
  const UniqueFd leaked(::open("/dev/null", O_RDONLY));
  ASSERT_TRUE(null.valid() && leaked.valid());
  struct Case {
    std::vector<int> more_fds;  // /dev/null at each, beside the output at 1
    std::vector<std::string> env;
    ChildGroup group;
    std::optional<std::string> directory;
    std::optional<mode_t> umask;
    std::string shown;
  };
  const std::string quiet = "SigBlk:0000000000000000SigIgn:0000000000000000";
  const Case cases[] = {
      {{},
       {},
       ChildGroup::NewProcessGroup,
       std::nullopt,
       022,
       "fds=1\nenv=\ncwd=" + dir.path() + " umask=0022\nown group\n" + quiet},
      {{0, 2},
       {"A=1", "B=two words"},
       ChildGroup::NewSession,
       "/",
       077,
       "fds=0 1 2\nenv=A=1 B=two words \ncwd=/ umask=0077\nown group\nown session\n" + quiet},
      {{7, 3},
       {"PATH=/nowhere"},
       ChildGroup::NewProcessGroup,
       "/tmp",
       std::nullopt,
       "fds=1 3 7\nenv=PATH=/nowhere \ncwd=/tmp umask=0022\nown group\n" + quiet},
      {{0, 2, 3, 4, 5},
       {},
       ChildGroup::NewSession,
       "/",
       0,
       "fds=0 1 2 3 4 5\nenv=\ncwd=/ umask=0000\nown group\nown session\n" + quiet},
  };
  const CarelessWindow careless(022);  // no child may inherit it
  test::in_directory(dir.path(), [&] {
    for (const Case& c : cases) {
      std::array<int, 2> pipe{};
      ASSERT_EQ(::pipe2(pipe.data(), O_CLOEXEC), 0);
      UniqueFd read_end(pipe[0]);
      UniqueFd write_end(pipe[1]);
      ChildSetup setup{{"/usr/bin/bash", "-c", std::string(CHILD_REPORT)},
                       c.env,
                       {{STDOUT_FILENO, write_end.get()}},
                       c.group,
                       c.directory,
                       c.umask};
      for (const int fd : c.more_fds) setup.fds.push_back({fd, null.get()});
      auto child = ChildProcess::spawn(setup);
      ASSERT_TRUE(child.ok()) << child.error().text();
      write_end.reset();
      EXPECT_EQ(read_to_end(read_end.get()), c.shown);
      const auto status = child.value().wait_until();
      ASSERT_TRUE(status.ok());
      EXPECT_EQ(status.value(), exited(0));
    }
  });
  EXPECT_EQ(zombie_children(), 0);
}

TEST(ChildProcess, AChildThatCannotStartIsAnErrorAndNoZombie) {
  const TempDir dir;
  test::write_file(dir / "plain", "echo not a program\n", 0644);
  test::write_file(dir / "no-format", "echo no interpreter line\n", 0755);
  test::write_file(dir / "file", "");
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
  struct Case {
    std::string program;
    std::optional<std::string> directory;
    std::vector<ChildFd> fds;
    int error;
  };
  const Case cases[] = {
      {dir / "missing", std::nullopt, {}, ENOENT},
      {dir / "plain", std::nullopt, {}, EACCES},
      {dir / "no-format", std::nullopt, {}, ENOEXEC},
      {dir.path(), std::nullopt, {}, EACCES},
      {"true", std::nullopt, {}, EINVAL},  // never looked for on PATH
      {"", std::nullopt, {}, EINVAL},
      {"/bin/true", dir / "missing", {}, ENOENT},
      {"/bin/true", dir / "file", {}, ENOTDIR},
      {"/bin/true", std::nullopt, {{0, -1}}, EBADF},
      {"/bin/true", std::nullopt, {{-1, null.get()}}, EBADF},
      {"/bin/true", std::nullopt, {{3, null.get()}, {3, null.get()}}, EINVAL},
  };
  for (const Case& c : cases) {
    ChildSetup setup{{c.program}, {},          c.fds, ChildGroup::NewProcessGroup,
                     c.directory, std::nullopt};
    const auto child = ChildProcess::spawn(setup);
    ASSERT_FALSE(child.ok()) << c.program;
    EXPECT_EQ(child.error().code(), c.error) << c.program << " " << child.error().text();
    EXPECT_EQ(zombie_children(), 0) << c.program;
  }
}

// Attaches strace to this very process, so that one system call fails in
// whatever it starts next; gone again when this ends.
class InjectedFault {
 public:
  explicit InjectedFault(const std::string& injection) {
    const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
    auto strace = ChildProcess::spawn({{"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-e",
                                        "inject=" + injection, "-p", std::to_string(::getpid())},
                                       {},
                                       {{0, null.get()}, {1, null.get()}, {2, null.get()}},
                                       ChildGroup::NewProcessGroup,
                                       std::nullopt,
                                       std::nullopt});
    if (!strace) return;
    strace_.emplace(std::move(strace.value()));
    for (int tries = 0; tries < 500 && !traced(); ++tries) ::usleep(10000);
  }
  InjectedFault(const InjectedFault&) = delete;
  InjectedFault& operator=(const InjectedFault&) = delete;
  InjectedFault(InjectedFault&&) = delete;
  InjectedFault& operator=(InjectedFault&&) = delete;
  ~InjectedFault() {
    if (!strace_) return;
    ::kill(strace_->pid(), SIGINT);  // detaches from this process as it goes
    (void)strace_->wait_until();
  }
  [[nodiscard]] static bool traced() {
    const std::string status = test::read_file("/proc/self/status");
    return status.find("TracerPid:\t0\n") == std::string::npos;
  }

 private:
  std::optional<ChildProcess> strace_;
};

TEST(ChildProcess, EverySetUpStepThatFailsIsReported) {
  REQUIRE_TOOL("/usr/bin/strace");
  const TempDir dir;
  struct Case {
    std::string injection;
    ChildGroup group;
    int error;
  };
  // In the child before exec, and in the window after the fork: pidfd_open
  // failing must leave no child running.
  const Case cases[] = {
      {"setsid:error=EPERM", ChildGroup::NewSession, EPERM},
      {"setpgid:error=EACCES", ChildGroup::NewProcessGroup, EACCES},
      {"dup2:error=EMFILE", ChildGroup::NewProcessGroup, EMFILE},
      {"close_range:error=ENOMEM", ChildGroup::NewProcessGroup, ENOMEM},
      {"chdir:error=EIO", ChildGroup::NewProcessGroup, EIO},
      {"rt_sigaction:error=EFAULT", ChildGroup::NewProcessGroup, EFAULT},
      {"execve:error=E2BIG", ChildGroup::NewProcessGroup, E2BIG},
      {"pidfd_open:error=EMFILE", ChildGroup::NewProcessGroup, EMFILE},
      {"clone:error=EAGAIN", ChildGroup::NewProcessGroup, EAGAIN},
  };
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
  for (const Case& c : cases) {
    {
      const InjectedFault fault(c.injection);
      if (!InjectedFault::traced()) GTEST_SKIP() << "strace cannot attach here";
      const auto child = ChildProcess::spawn({{"/bin/sh", "-c", "touch " + (dir / "ran")},
                                              {},
                                              {{0, null.get()}, {1, null.get()}, {2, null.get()}},
                                              c.group,
                                              "/",
                                              std::nullopt});
      ASSERT_FALSE(child.ok()) << c.injection;
      EXPECT_EQ(child.error().code(), c.error) << c.injection;
    }
    EXPECT_EQ(zombie_children(), 0) << c.injection;
    ::usleep(50000);
    EXPECT_FALSE(test::exists(dir / "ran")) << c.injection;
  }
}

TEST(ChildProcess, AChildIsReapedWhicheverWayItsOwnerGoes) {
  const TempDir dir;
  const UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
  const auto start = [&](const std::string& script) {
    auto child = ChildProcess::spawn({{"/bin/sh", "-c", script},
                                      {},
                                      {{0, null.get()}, {1, null.get()}, {2, null.get()}},
                                      ChildGroup::NewProcessGroup,
                                      std::nullopt,
                                      std::nullopt});
    EXPECT_TRUE(child.ok());
    return std::move(child.value());
  };
  const std::string hang = "sleep 30 & echo $! > " + (dir / "grandchild") + "; wait";
  const auto grandchild = [&] {
    for (int tries = 0; tries < 500 && test::read_file(dir / "grandchild").empty(); ++tries)
      ::usleep(10000);
    return static_cast<pid_t>(
        std::strtol(test::read_file(dir / "grandchild").c_str(), nullptr, 10));
  };
  pid_t pid = -1;
  pid_t started = -1;
  {
    // Out of scope: killed with all it started, and reaped.
    const ChildProcess child = start(hang);
    pid = child.pid();
    started = grandchild();
  }
  EXPECT_TRUE(process_gone(pid));
  EXPECT_TRUE(process_gone(started));
  EXPECT_EQ(zombie_children(), 0);

  // Replaced: the same.
  ::unlink((dir / "grandchild").c_str());
  ChildProcess replaced = start(hang);
  pid = replaced.pid();
  started = grandchild();
  replaced = start("exit 4");
  EXPECT_TRUE(process_gone(pid));
  EXPECT_TRUE(process_gone(started));
  const auto status = replaced.wait_until();
  ASSERT_TRUE(status.ok());
  EXPECT_EQ(status.value(), exited(4));
  EXPECT_EQ(replaced.try_reap().value(), exited(4));  // asked again, the same
  EXPECT_EQ(zombie_children(), 0);

  // Still running: no status yet, and a deadline passes without one.
  ChildProcess running = start("sleep 30; exit 5");
  EXPECT_EQ(running.try_reap().value(), std::nullopt);
  const auto waited = running.wait_until(std::chrono::steady_clock::now() + 50ms);
  ASSERT_TRUE(waited.ok());
  EXPECT_EQ(waited.value(), std::nullopt);
  running.kill_group();
  EXPECT_EQ(running.wait_until().value(), W_EXITCODE(0, SIGKILL));

  // Released: the child lives on, and its pid is the caller's to reap.
  ChildProcess kept = start("sleep 0.5; exit 6");
  pid = kept.pid();
  EXPECT_EQ(kept.release(), pid);
  { const ChildProcess gone = std::move(kept); }
  const std::string stat = test::read_file("/proc/" + std::to_string(pid) + "/stat");
  EXPECT_FALSE(stat.empty() || stat.find(") Z ") != std::string::npos) << stat;
  EXPECT_EQ(test::wait_for(pid), exited(6));
}

TEST(RunCaptured, EveryRunEndsReapedWithinItsLimits) {
  const TempDir dir;
  struct Case {
    std::string script;
    std::chrono::milliseconds limit;
    size_t max_output;
    std::string out, err;
    bool timed_out;
    int status;
  };
  // What a run starts in the background says where it is.
  const std::string grandchild = dir / "grandchild";
  const std::string start_grandchild = "sleep 30 & echo $! > " + grandchild + "; ";
  const Case cases[] = {
      {"echo out; echo err >&2; exit 3", 10s, 100, "out\n", "err\n", false, exited(3)},
      // Beyond the limit output is read and dropped: the writer never blocks.
      {"head -c 300000 /dev/zero | tr '\\0' a; echo done >&2", 10s, 5, "aaaaa", "done\n", false,
       exited(0)},
      {"echo 1234567; echo 12 >&2", 10s, 3, "123", "12\n", false, exited(0)},
      {"echo bye; kill -9 $$", 10s, 100, "bye\n", "", false, W_EXITCODE(0, SIGKILL)},
      // Past the deadline it goes with everything it started.
      {start_grandchild + "echo started; sleep 30", 300ms, 100, "started\n", "", true,
       W_EXITCODE(0, SIGKILL)},
      // Ended, but what it started still holds the output open.
      {start_grandchild + "exit 2", 300ms, 100, "", "", true, exited(2)},
      // Its output closed, but still running.
      {"echo early; exec >&- 2>&-; sleep 30", 300ms, 100, "early\n", "", true,
       W_EXITCODE(0, SIGKILL)},
  };
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    const auto run = run_captured({"/bin/sh", "-c", c.script}, {}, c.limit, c.max_output);
    ASSERT_TRUE(run.ok()) << c.script;
    EXPECT_LT(std::chrono::steady_clock::now() - start, c.limit + 5s) << c.script;
    EXPECT_EQ(run.value().out, c.out) << c.script;
    EXPECT_EQ(run.value().err, c.err) << c.script;
    EXPECT_EQ(run.value().timed_out, c.timed_out) << c.script;
    EXPECT_EQ(run.value().wait_status, c.status) << c.script;
    EXPECT_EQ(zombie_children(), 0) << c.script;
    if (test::exists(grandchild)) {
      const long started = std::strtol(test::read_file(grandchild).c_str(), nullptr, 10);
      EXPECT_TRUE(process_gone(static_cast<pid_t>(started))) << c.script;
      ::unlink(grandchild.c_str());
    }
  }
  const auto missing = run_captured({dir / "missing"}, {}, 10s, 100);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code(), ENOENT);
}

}  // namespace
}  // namespace sorvane::gui
