#include "detection.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/time.h>

#include <csignal>
#include <cstdlib>
#include <vector>

#include "detector_process.hpp"
#include "test_support.hpp"

namespace sorvane {
namespace {

using test::TempDir;

TEST(SplitLines, LineFeedsAndCarriageReturns) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(split_lines(""), V{});
  EXPECT_EQ(split_lines("\n"), V{""});
  EXPECT_EQ(split_lines("a"), V{"a"});
  EXPECT_EQ(split_lines("a\n"), V{"a"});
  EXPECT_EQ(split_lines("a\r\nb\r\n"), (V{"a", "b"}));
  EXPECT_EQ(split_lines("a\n\n b \nc"), (V{"a", "", " b ", "c"}));
  EXPECT_EQ(split_lines("a\r\r\nb\rc"), (V{"a\r", "b\rc"}));
}

TEST(TrimWhiteSpace, UnicodeWhiteSpaceAtBothEnds) {
  EXPECT_EQ(trim_white_space("  /usr/bin/apt \t\r"), "/usr/bin/apt");
  EXPECT_EQ(trim_white_space("\xE3\x80\x80/a b\xC2\x85\xE2\x80\xA8"), "/a b");
  EXPECT_EQ(trim_white_space("\xC2\xA0\xE1\x9A\x80x\xE2\x80\x8A\xE2\x80\xAF\xE2\x81\x9F"), "x");
  EXPECT_EQ(trim_white_space("\xE2\x80\x8Bx"), "\xE2\x80\x8Bx");  // ZWSP is not White_Space
  EXPECT_EQ(trim_white_space(" \v\f "), "");
}

// Fake managers in a private directory that passes the trust test.
class ParseLine : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"pacman", "apt", "dnf-3", "snap"})
      test::make_trusted_manager(dir_, name);
    test::write_file(dir_ / "Pacman", "", 0755);
    test::write_file(dir_ / "apt-get", "", 0755);
    test::write_file(dir_ / "dnf5", "", 0755);
    test::write_file(dir_ / "flatpak", "", 0775);  // group-writable: never believed
    ASSERT_EQ(::symlink("dnf-3", (dir_ / "dnf").c_str()), 0);
    test::make_dir(dir_ / "x");
    // A fine file in a group-writable directory: the group could swap it.
    test::make_dir(dir_ / "shared", 0775);
    test::write_file(dir_ / "shared/apt", "", 0755);
  }
  TempDir dir_;
};

TEST_F(ParseLine, AcceptsTrustedManagersByExactName) {
  const std::pair<std::string, DetectedManager> accepted[] = {
      {dir_ / "pacman", {dir_ / "pacman", ManagerKind::Pacman}},
      {"  " + (dir_ / "pacman") + "  \r", {dir_ / "pacman", ManagerKind::Pacman}},
      {"\xE3\x80\x80" + (dir_ / "apt") + "\xC2\xA0", {dir_ / "apt", ManagerKind::Apt}},
      {dir_ / "dnf", {dir_ / "dnf-3", ManagerKind::Dnf}},  // kind from the line, path resolved
      {dir_ / "./x/../snap", {dir_ / "snap", ManagerKind::Snap}},
      {dir_.path() + "//apt", {dir_ / "apt", ManagerKind::Apt}},
  };
  for (const auto& [line, manager] : accepted) {
    const auto got = parse_detector_line(line);
    ASSERT_TRUE(got.has_value()) << line;
    EXPECT_EQ(*got, manager) << line;
  }
}

TEST_F(ParseLine, RejectsEverythingElse) {
  const std::string rejected[] = {
      "",
      "   ",
      "/",
      ".",
      "..",
      dir_ / "..",
      dir_ / "apt/..",
      dir_ / "Pacman",
      dir_ / "apt-get",
      dir_ / "dnf5",
      dir_ / "flatpak",
      dir_ / "apt/",  // a regular file followed by "/" does not resolve
      dir_ / "apt/.",
      dir_ / "yum",
      "apt",  // relative, and the working directory has none
      dir_ / "shared/apt",
      dir_ / "ap\xEF\xBF\xBDt",
      std::string(dir_ / "apt") + std::string("\0", 1),
  };
  for (const auto& line : rejected) EXPECT_FALSE(parse_detector_line(line).has_value()) << line;
}

TEST_F(ParseLine, RelativeLinesResolveAgainstTheWorkingDirectory) {
  std::optional<DetectedManager> got;
  std::optional<DetectedManager> dotted;
  test::in_directory(dir_.path(), [&] {
    got = parse_detector_line("apt");
    dotted = parse_detector_line("./apt");
  });
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(*got, (DetectedManager{dir_ / "apt", ManagerKind::Apt}));
  EXPECT_EQ(dotted, got);
}

// detect_with_script against fake detectors, under the system's real bash.
class Detect : public testing::Test {
 protected:
  std::vector<DetectedManager> detect(const std::string& script_body) {
    test::write_file(dir_ / "detector.sh", script_body);
    auto result = detect_with_script(dir_ / "detector.sh");
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? result.value() : std::vector<DetectedManager>{};
  }
  TempDir dir_;
  TempDir managers_;
  std::string apt_ = test::make_trusted_manager(managers_, "apt");
  std::string snap_ = test::make_trusted_manager(managers_, "snap");
};

TEST_F(Detect, EmptyOutputGivesNoManagers) {
  EXPECT_TRUE(detect("").empty());
}

TEST_F(Detect, ADetectorThatDidNotFinishIsAnError) {
  // Its output is not believed, valid lines included: it may be cut short.
  const std::pair<std::string, std::string> cases[] = {
      {"echo " + apt_ + "\nexit 1\n", "it exited with status 1"},
      {"echo " + apt_ + "\nkill -KILL $$\n", "it was killed by signal 9"},
      {"echo " + apt_ + "\nexec >&- 2>&-\nsleep 0.1\nexit 3\n", "it exited with status 3"},
  };
  for (const auto& [body, reason] : cases) {
    test::write_file(dir_ / "detector.sh", body);
    const auto result = detect_with_script(dir_ / "detector.sh");
    ASSERT_FALSE(result.ok()) << body;
    EXPECT_EQ(result.error(), std::string(DETECTOR_FAILED) + reason);
  }
}

TEST_F(Detect, AScriptThatCannotBeOpenedIsAnErrorNamingIt) {
  const std::string missing = dir_ / "no-such-detector.sh";
  const auto result = detect_with_script(missing);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error(), std::string(DETECTOR_FAILED) +
                                "No such file or directory (os error 2) at path \"" + missing +
                                "\"");
  EXPECT_FALSE(detect_with_script(std::string_view("a\0b", 3)).ok());
}

TEST_F(Detect, ClosingOneStreamEarlyLosesNothingFromTheOther) {
  // Draining must go on until both pipes are at their end.
  EXPECT_EQ(detect("exec 2>&-\nsleep 0.2\necho " + apt_ + "\n"),
            (std::vector<DetectedManager>{{apt_, ManagerKind::Apt}}));
  EXPECT_EQ(detect("echo " + apt_ + "\nexec >&-\nsleep 0.2\necho late >&2\n"),
            (std::vector<DetectedManager>{{apt_, ManagerKind::Apt}}));
}

TEST_F(Detect, KeepsOrderAndDuplicates) {
  const auto got = detect("echo " + snap_ + "\necho " + apt_ + "\necho " + snap_ + "\necho junk\n" +
                          "printf '%s' " + apt_ + "\n");
  const std::vector<DetectedManager> expected = {{snap_, ManagerKind::Snap},
                                                 {apt_, ManagerKind::Apt},
                                                 {snap_, ManagerKind::Snap},
                                                 {apt_, ManagerKind::Apt}};
  EXPECT_EQ(got, expected);
}

TEST_F(Detect, InvalidUtf8NeverNamesAManager) {
  // A trusted apt really lives in "caf\xFF"; the decoded line names
  // "caf\uFFFD", which does not exist.
  test::make_dir(managers_ / "caf\xFF");
  test::make_trusted_manager(managers_, "caf\xFF/apt");
  const auto got = detect("printf '" + managers_.path() + "/ap\\377t\\n" + managers_.path() +
                          "/caf\\377/apt\\n" + apt_ + "\\n'\n");
  EXPECT_EQ(got, (std::vector<DetectedManager>{{apt_, ManagerKind::Apt}}));
}

TEST_F(Detect, ChildSeesExactlyTheFixedEnvironment) {
  // Set in our environment: none of it may reach the detector.
  test::write_file(dir_ / "bash_env.sh", "touch " + (dir_ / "bash_env_ran") + "\n");
  ::setenv("BASH_ENV", (dir_ / "bash_env.sh").c_str(), 1);
  ::setenv("SORVANE_TEST_LEAK", "1", 1);
  detect("tr '\\0' '\\n' < /proc/$$/environ > " + (dir_ / "environ") + "\n" +
         "tr '\\0' '\\n' < /proc/$$/cmdline > " + (dir_ / "cmdline") + "\n" +
         "readlink /proc/$$/fd/0 > " + (dir_ / "stdin") + "\n");
  ::unsetenv("BASH_ENV");
  ::unsetenv("SORVANE_TEST_LEAK");
  EXPECT_EQ(test::read_file(dir_ / "environ"),
            "LC_ALL=C\nPATH=" + std::string(DETECTOR_PATH_ENV) + "\n");
  EXPECT_EQ(test::read_file(dir_ / "cmdline"), "/usr/bin/bash\n" + (dir_ / "detector.sh") + "\n");
  EXPECT_EQ(test::read_file(dir_ / "stdin"), "/dev/null\n");
  EXPECT_FALSE(test::exists(dir_ / "bash_env_ran"));
}

// Reads a hexadecimal signal set such as "SigIgn:\t0000000000001000".
std::uint64_t signal_set(const std::string& status, const std::string& field) {
  const size_t at = status.find(field + ":\t");
  return at == std::string::npos
             ? ~0ULL
             : std::stoull(status.substr(at + field.size() + 2, 16), nullptr, 16);
}

constexpr std::uint64_t bit(int signal) {
  return 1ULL << (signal - 1);
}

TEST_F(Detect, NoDescriptorOrSignalStateLeaksIntoTheChild) {
  // A descriptor without close-on-exec, as a careless caller might leave us.
  const int leaked = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(leaked, 3);
  sigset_t block;
  sigset_t old;
  sigemptyset(&block);
  sigaddset(&block, SIGUSR1);
  ::pthread_sigmask(SIG_BLOCK, &block, &old);
  // Ignored by a caller such as a daemon: the detector must still be
  // killable and get SIGPIPE.
  const int ignored[] = {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT};
  std::vector<sighandler_t> old_actions;
  for (const int signal : ignored) old_actions.push_back(std::signal(signal, SIG_IGN));
  // Programs exec'd by the detector inherit what bash was given: their
  // view is free of bash's own bookkeeping descriptors and signal masks.
  detect("/usr/bin/ls /proc/self/fd > " + (dir_ / "fds") + "\n" +
         "exec /usr/bin/cat /proc/self/status > " + (dir_ / "status") + "\n");
  for (size_t i = 0; i < old_actions.size(); ++i) std::signal(ignored[i], old_actions[i]);
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  ::close(leaked);
  // 3 is ls's own handle on the directory it lists.
  EXPECT_EQ(test::read_file(dir_ / "fds"), "0\n1\n2\n3\n");
  const std::string status = test::read_file(dir_ / "status");
  for (const int signal : ignored) {
    EXPECT_EQ(signal_set(status, "SigIgn") & bit(signal), 0U) << signal << "\n" << status;
  }
  EXPECT_EQ(signal_set(status, "SigBlk") & bit(SIGUSR1), 0U) << status;
}

TEST_F(Detect, MegabytesOnBothStreamsDoNotDeadlock) {
  const auto got = detect(
      "head -c 4000000 /dev/zero | tr '\\0' x\necho\n"
      "head -c 4000000 /dev/zero >&2\necho " +
      apt_ + "\n");
  EXPECT_EQ(got, (std::vector<DetectedManager>{{apt_, ManagerKind::Apt}}));
}

extern "C" void on_alarm(int /*signal*/) {}

TEST_F(Detect, InterruptedSystemCallsAreRetried) {
  // A timer without SA_RESTART interrupts poll, read and waitpid again and
  // again while a slow detector runs.
  struct sigaction action {};
  action.sa_handler = on_alarm;
  sigemptyset(&action.sa_mask);
  struct sigaction old_action {};
  ASSERT_EQ(::sigaction(SIGALRM, &action, &old_action), 0);
  const itimerval storm{{0, 500}, {0, 500}};
  ASSERT_EQ(::setitimer(ITIMER_REAL, &storm, nullptr), 0);
  const auto got =
      detect("for i in 1 2 3 4 5; do echo " + apt_ + "; sleep 0.05; done\nsleep 0.1\n");
  // Both pipes end long before the child does: only waitpid is interrupted.
  const auto outlived = detect("echo " + apt_ + "\nexec >&- 2>&-\nsleep 0.3\n");
  const itimerval stop{};
  ::setitimer(ITIMER_REAL, &stop, nullptr);
  ::sigaction(SIGALRM, &old_action, nullptr);
  EXPECT_EQ(got, std::vector<DetectedManager>(5, {apt_, ManagerKind::Apt}));
  EXPECT_EQ(outlived, std::vector<DetectedManager>(1, {apt_, ManagerKind::Apt}));
}

TEST(DetectorProcess, StartFailuresCarryTheirOwnError) {
  const TempDir dir;
  test::write_file(dir / "not-elf", "just text, no interpreter line\n", 0755);
  const auto no_exec = run_detector_child(dir / "not-elf", "/dev/null");
  ASSERT_FALSE(no_exec.ok());
  EXPECT_EQ(no_exec.error().text(), "Exec format error (os error 8)");
  const auto missing = run_detector_child(dir / "missing", "/dev/null");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().text(), "No such file or directory (os error 2)");
}

TEST(DetectorPath, LiesTwoLevelsAboveTheExecutablesDirectory) {
  const auto path = detector_path();
  ASSERT_TRUE(path.ok());
  char exe[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  const std::string exe_path = exe;
  EXPECT_EQ(path.value(),
            exe_path.substr(0, exe_path.rfind('/')) + "/../../scripts/detect-package-managers.sh");
}

}  // namespace
}  // namespace sorvane
