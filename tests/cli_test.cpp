// The built executable, end to end: exact output, exit status and files,
// under real conditions (copied layouts, mount namespaces, other users,
// injected faults, concurrent and killed processes).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <random>
#include <regex>
#include <sstream>

#include "payload.hpp"
#include "test_support.hpp"

namespace sorvane {
namespace {

using test::Layout;
using test::ProcessOptions;
using test::ProcessResult;
using test::TempDir;

const std::string BANNER = "Sorvane\n=======\n\nDetecting package managers...\n\n";
const std::string SUCCESS = "\nUpdate script prepared successfully.\n";
const std::string NO_MANAGERS = BANNER + "No supported package managers detected.\n";
// For sanitizer builds: LeakSanitizer cannot work under ptrace or without
// /proc, and says so. Ignored by ordinary builds.
const std::string NO_LEAK_CHECK = "ASAN_OPTIONS=detect_leaks=0";

// Drops sanitizer runtime chatter ("==pid==..." lines); Sorvane itself never
// writes such a line.
std::string without_sanitizer_notes(const std::string& err) {
  return std::regex_replace(err, std::regex("^==[0-9]+==.*\n", std::regex::multiline), "");
}

std::string echo_detector(const std::vector<std::string>& lines) {
  std::string script = "#!/bin/bash\n";
  for (const auto& line : lines) script += "printf '%s\\n' '" + line + "'\n";
  return script;
}

// The namespaces must be private: the machine's own bash stays as it was.
bool system_bash_untouched() {
  const struct stat st = test::stat_of("/usr/bin/bash");
  return (st.st_mode & 07777) == 0755 && st.st_uid == 0 &&
         test::read_file("/usr/bin/bash")
             .starts_with(
                 "\x7F"
                 "ELF");
}

class Cli : public testing::Test {
 protected:
  ProcessResult run(const Layout& layout, std::vector<std::string> env = {},
                    const std::string& cwd = "") {
    env.emplace_back("PATH=/usr/bin:/bin");
    return test::run_process({layout.binary}, {env, cwd.empty() ? work_.path() : cwd, {}, {}});
  }
  TempDir work_;  // the working directory of the runs
  TempDir managers_;
  std::string apt_ = test::make_trusted_manager(managers_, "apt");
  std::string snap_ = test::make_trusted_manager(managers_, "snap");
};

TEST_F(Cli, EmptyListTouchesNothing) {
  const Layout layout(echo_detector({"/nonexistent/apt", "not a manager"}));
  test::make_dir(work_ / "scripts");
  test::write_file(work_ / "scripts/update-script-output.sh", "old", 0644);
  const auto result = run(layout);
  EXPECT_EQ(result.out, NO_MANAGERS);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_code(), 0);
  EXPECT_EQ(test::read_file(work_ / "scripts/update-script-output.sh"), "old");

  const Layout other(echo_detector({}));
  const TempDir fresh;
  EXPECT_EQ(run(other, {}, fresh.path()).out, NO_MANAGERS);
  EXPECT_TRUE(test::list_dir(fresh.path()).empty());
}

TEST_F(Cli, ListsManagersWithDuplicatesAndWritesTheDefaultPath) {
  const Layout layout(echo_detector({apt_, snap_, "  " + apt_ + "  "}));
  const auto result = run(layout, {"SORVANE_SCRIPT_OUTPUT="});  // empty means the default
  EXPECT_EQ(result.out, BANNER + "Detected package managers:\n  apt\n  snap\n  apt\n" + SUCCESS);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_code(), 0);
  const std::string written = work_ / "scripts/update-script-output.sh";
  EXPECT_EQ(test::read_file(written), UPDATE_SCRIPT);
  EXPECT_EQ(test::stat_of(written).st_mode & 07777, 0600U);
  EXPECT_EQ(test::list_dir(work_ / "scripts"), std::vector<std::string>{"update-script-output.sh"});
  // Again, now that scripts/ exists and holds an older script.
  test::write_file(written, "old", 0755);
  EXPECT_EQ(run(layout).exit_code(), 0);
  EXPECT_EQ(test::read_file(written), UPDATE_SCRIPT);
  EXPECT_EQ(test::stat_of(written).st_mode & 07777, 0600U);
}

TEST_F(Cli, RelativeOutputIsTakenFromTheWorkingDirectory) {
  const Layout layout(echo_detector({apt_}));
  EXPECT_EQ(run(layout, {"SORVANE_SCRIPT_OUTPUT=out/update.sh"}).exit_code(), 0);
  EXPECT_EQ(test::read_file(work_ / "out/update.sh"), UPDATE_SCRIPT);
  EXPECT_FALSE(test::exists(layout.root / "app/bin/out"));
  EXPECT_EQ(run(layout, {"SORVANE_SCRIPT_OUTPUT=bare.sh"}).exit_code(), 0);
  EXPECT_EQ(test::read_file(work_ / "bare.sh"), UPDATE_SCRIPT);
}

TEST_F(Cli, OutputPathBytesAreUsedUnchangedAndShownPlain) {
  const Layout layout(echo_detector({apt_}));
  EXPECT_EQ(run(layout, {"SORVANE_SCRIPT_OUTPUT=" + (work_ / "caf\xFF.sh")}).exit_code(), 0);
  EXPECT_EQ(test::read_file(work_ / "caf\xFF.sh"), UPDATE_SCRIPT);

  test::write_file(work_ / "file", "");
  const auto result = run(layout, {"SORVANE_SCRIPT_OUTPUT=" + (work_ / "file/\xFF\x01.sh")});
  EXPECT_EQ(result.out, BANNER + "Detected package managers:\n  apt\n");
  EXPECT_EQ(result.err, "ERROR: could not write " + (work_ / "file/\xEF\xBF\xBD\x01.sh") +
                            ": File exists (os error 17)\n");
  EXPECT_EQ(result.exit_code(), 1);
}

TEST_F(Cli, OnOneStreamTheReportComesBeforeTheError) {
  const Layout layout(echo_detector({apt_}));
  test::write_file(work_ / "file", "");
  const auto result =
      test::run_process({"/bin/sh", "-c", "exec \"$0\" 2>&1", layout.binary},
                        {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "file/x")},
                         work_.path(),
                         {},
                         {}});
  EXPECT_EQ(result.out, BANNER + "Detected package managers:\n  apt\nERROR: could not write " +
                            (work_ / "file/x") + ": File exists (os error 17)\n");
}

TEST_F(Cli, ClosedStandardDescriptorsAreNeverReused) {
  // With 0, 1 and 2 closed, a careless program would open the temporary
  // file as descriptor 1 and print its report into the script.
  const Layout layout(echo_detector({apt_}));
  const auto result =
      test::run_process({"/bin/sh", "-c", "exec \"$0\" <&- >&- 2>&-", layout.binary},
                        {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "out.sh")},
                         work_.path(),
                         {},
                         {}});
  EXPECT_EQ(result.exit_code(), 0);
  EXPECT_EQ(test::read_file(work_ / "out.sh"), UPDATE_SCRIPT);
}

TEST_F(Cli, BrokenStdoutPipeDoesNotStopTheJob) {
  const Layout layout(echo_detector({apt_}));
  std::array<int, 2> fds{};
  ASSERT_EQ(::pipe2(fds.data(), O_CLOEXEC), 0);
  ::close(fds[0]);  // every write to stdout now fails with EPIPE
  const auto ok = test::run_process(
      {layout.binary}, {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "out.sh")},
                        work_.path(),
                        {},
                        fds[1]});
  EXPECT_TRUE(WIFEXITED(ok.status)) << "killed by signal " << WTERMSIG(ok.status);
  EXPECT_EQ(ok.exit_code(), 0);
  EXPECT_EQ(ok.err, "");
  EXPECT_EQ(test::read_file(work_ / "out.sh"), UPDATE_SCRIPT);

  // A full disk behaves the same way.
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  ::unlink((work_ / "out.sh").c_str());
  const auto on_full_disk = test::run_process(
      {layout.binary}, {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "out.sh")},
                        work_.path(),
                        {},
                        full});
  ::close(full);
  EXPECT_EQ(on_full_disk.exit_code(), 0);
  EXPECT_EQ(test::read_file(work_ / "out.sh"), UPDATE_SCRIPT);

  test::write_file(work_ / "file", "");
  const auto failed = test::run_process(
      {layout.binary}, {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "file/x")},
                        work_.path(),
                        {},
                        fds[1]});
  ::close(fds[1]);
  EXPECT_EQ(failed.exit_code(), 1);
  EXPECT_EQ(failed.err,
            "ERROR: could not write " + (work_ / "file/x") + ": File exists (os error 17)\n");
}

TEST_F(Cli, NothingOfTheCallersEnvironmentReachesTheDetector) {
  const std::string marker = work_ / "hostile-code-ran";
  const std::string hostile = work_ / "hostile.sh";
  test::write_file(hostile, "touch " + marker + "\n");
  test::make_dir(work_ / "evil");
  test::write_file(work_ / "evil/bash", "#!/bin/sh\ntouch " + marker + "\n", 0755);
  test::write_file(work_ / "evil/tr", "#!/bin/sh\ntouch " + marker + "\n", 0755);
  const Layout layout("tr '\\0' '\\n' < /proc/$$/environ > " + (work_ / "environ") + "\n" +
                      "cat > " + (work_ / "stdin") + "\n" + "printf '%s\\n' " + apt_ + "\n");
  const auto result = test::run_process(
      {layout.binary},
      {{"PATH=" + (work_ / "evil") + ":/usr/bin:/bin", "BASH_ENV=" + hostile, "ENV=" + hostile,
        "SHELLOPTS=xtrace:verbose", "BASHOPTS=extglob", "IFS=/",
        "BASH_FUNC_printf%%=() { touch " + marker + "; }",
        "BASH_FUNC_tr%%=() { touch " + marker + "; }", "LD_PRELOAD=" + test::fault_shim(),
        "ASAN_OPTIONS=verify_asan_link_order=0", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "out.sh")},
       work_.path(),
       hostile,  // our stdin is readable; the detector's must still be /dev/null
       {}});
  EXPECT_EQ(result.out, BANNER + "Detected package managers:\n  apt\n" + SUCCESS);
  EXPECT_EQ(result.exit_code(), 0) << result.err;
  EXPECT_EQ(test::read_file(work_ / "stdin"), "");
  EXPECT_EQ(test::read_file(work_ / "environ"),
            "LC_ALL=C\nPATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin\n");
  EXPECT_FALSE(test::exists(marker));
}

// Runs Sorvane in a private mount namespace where /usr/bin/bash (and so
// /bin/bash) is the file at `replacement`.
ProcessResult run_with_bash_bound(const TempDir& work, const Layout& layout,
                                  const std::string& replacement) {
  const auto result = test::run_process(
      {"/usr/bin/unshare", "-m", "/bin/sh", "-c",
       "mount --bind \"$1\" /usr/bin/bash && exec \"$0\"", layout.binary, replacement},
      {{"PATH=/usr/bin:/bin"}, work.path(), {}, {}});
  EXPECT_TRUE(system_bash_untouched());
  return result;
}

// The same, with a file of the given contents and mode.
ProcessResult run_with_bash_replaced(const TempDir& work, const Layout& layout,
                                     std::string_view contents, mode_t mode) {
  test::write_file(work / "bash", contents, mode);
  return run_with_bash_bound(work, layout, work / "bash");
}

TEST_F(Cli, UntrustedBashIsAnError) {
  REQUIRE_ROOT();
  const Layout layout(echo_detector({apt_}));
  const auto result = run_with_bash_replaced(work_, layout, "", 0775);  // group-writable
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "ERROR: a trusted system Bash executable was not found\n");
  EXPECT_EQ(result.exit_code(), 1);
}

TEST_F(Cli, BashThatCannotRunIsAnError) {
  REQUIRE_ROOT();
  const Layout layout(echo_detector({apt_}));
  const auto result = run_with_bash_replaced(work_, layout, "not an executable format\n", 0755);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "ERROR: could not run package-manager detector: Exec format error (os error 8)\n");
  EXPECT_EQ(result.exit_code(), 1);
}

TEST_F(Cli, AShellThatIsNotBashIsAnError) {
  REQUIRE_ROOT();
  REQUIRE_TOOL("/usr/bin/dash");
  REQUIRE_TOOL("/usr/bin/busybox");
  // The bundled detector refuses to run under dash; busybox has no bash at
  // all. Either way nothing it printed is believed, and nothing is reported.
  const Layout layout(test::read_file(test::source_dir() + "/scripts/detect-package-managers.sh"));
  const std::pair<std::string, std::string> shells[] = {{"/usr/bin/dash", "2"},
                                                        {"/usr/bin/busybox", "127"}};
  for (const auto& [shell, status] : shells) {
    const auto result = run_with_bash_bound(work_, layout, shell);
    EXPECT_EQ(result.out, "") << shell;
    EXPECT_EQ(result.err, "ERROR: could not run package-manager detector: it exited with status " +
                              status + "\n")
        << shell;
    EXPECT_EQ(result.exit_code(), 1) << shell;
  }
  // Under dash, the detector says why.
  const auto told =
      test::run_process({"/usr/bin/dash", layout.root / "scripts/detect-package-managers.sh"}, {});
  EXPECT_EQ(told.err, "detect-package-managers.sh: this script needs bash\n");
}

TEST_F(Cli, AnExecutableWithoutItsDetectorIsAnError) {
  // Copied somewhere with no scripts/ two levels up: nothing is started.
  test::make_dir(work_ / "x");
  test::make_dir(work_ / "x/y");
  const std::string binary = work_ / "x/y/sorvane";
  std::filesystem::copy_file(test::sorvane_binary(), binary);
  const auto result = test::run_process({binary}, {{"PATH=/usr/bin:/bin"}, work_.path(), {}, {}});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "ERROR: could not run package-manager detector: No such file or directory (os error "
            "2) at path \"" +
                (work_ / "x/y/../../scripts/detect-package-managers.sh") + "\"\n");
  EXPECT_EQ(result.exit_code(), 1);
  EXPECT_FALSE(test::exists(work_ / "scripts"));
}

TEST_F(Cli, ACallerIgnoringChildSignalsDoesNotBreakTheRun) {
  // With SIGCHLD ignored the kernel would reap the detector itself and
  // waiting for it would fail.
  const Layout layout(echo_detector({apt_}));
  const auto result = test::run_process(
      {"/usr/bin/perl", "-e", "$SIG{CHLD} = 'IGNORE'; exec @ARGV or die", layout.binary},
      {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "out.sh")},
       work_.path(),
       {},
       {}});
  EXPECT_EQ(result.out, BANNER + "Detected package managers:\n  apt\n" + SUCCESS);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exit_code(), 0);
}

TEST_F(Cli, RunningOutOfMemoryIsAnErrorLineNeverACrash) {
  if (test::UNDER_ADDRESS_SANITIZER) {
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than the limit allows";
  }
  // 256 MiB of address space. A flood on stdout is kept and runs out; the
  // same flood on stderr is dropped as it comes and costs nothing.
  const auto limited = [&](const std::string& flood) {
    const Layout layout(flood + "\necho " + apt_ + "\n");
    return test::run_process({"/usr/bin/prlimit", "--as=268435456", "--core=0", layout.binary},
                             {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "out.sh")},
                              work_.path(),
                              {},
                              {}});
  };
  const auto on_stdout = limited("yes " + apt_ + " | head -c 400000000");
  EXPECT_EQ(on_stdout.out, "");
  EXPECT_EQ(
      on_stdout.err,
      "ERROR: could not run package-manager detector: Cannot allocate memory (os error 12)\n");
  EXPECT_EQ(on_stdout.exit_code(), 1);
  const auto on_stderr = limited("head -c 400000000 /dev/zero >&2");
  EXPECT_EQ(on_stderr.out, BANNER + "Detected package managers:\n  apt\n" + SUCCESS);
  EXPECT_EQ(on_stderr.err, "");
  EXPECT_EQ(on_stderr.exit_code(), 0);
}

TEST_F(Cli, UnknownOwnPathNeverRunsAScriptFromTheWorkingDirectory) {
  REQUIRE_ROOT();
  // Without /proc the executable cannot tell where it lives. A script
  // planted where "./../../scripts" would point must not run.
  const Layout layout(echo_detector({apt_}));
  test::make_dir(work_ / "a");
  test::make_dir(work_ / "a/b");
  test::make_dir(work_ / "scripts");
  test::write_file(work_ / "scripts/detect-package-managers.sh",
                   "touch " + (work_ / "planted-ran") + "\n");
  const auto result =
      test::run_process({"/usr/bin/unshare", "-m", "/bin/sh", "-c",
                         "mount -t tmpfs none /proc && exec \"$0\"", layout.binary},
                        {{"PATH=/usr/bin:/bin", NO_LEAK_CHECK}, work_ / "a/b", {}, {}});
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(
      without_sanitizer_notes(result.err),
      "ERROR: could not run package-manager detector: No such file or directory (os error 2)\n");
  EXPECT_EQ(result.exit_code(), 1);
  EXPECT_FALSE(test::exists(work_ / "planted-ran"));
}

TEST_F(Cli, PermissionDeniedNamesTheTemporaryPath) {
  REQUIRE_ROOT();
  const Layout layout(echo_detector({apt_}));
  test::make_dir(work_ / "ro", 0755);  // root's; nobody may not write here
  const auto result = test::run_process(
      {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", layout.binary},
      {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + (work_ / "ro/out.sh")},
       work_.path(),
       {},
       {}});
  EXPECT_EQ(result.out, BANNER + "Detected package managers:\n  apt\n");
  const std::regex expected("ERROR: could not write " + work_.path() +
                            "/ro/out.sh: Permission denied \\(os error 13\\) at path \"" +
                            work_.path() + "/ro/\\.update-script-[A-Za-z0-9]{6}\"\n");
  EXPECT_TRUE(std::regex_match(result.err, expected)) << result.err;
  EXPECT_EQ(result.exit_code(), 1);
  EXPECT_TRUE(test::list_dir(work_ / "ro").empty());
}

TEST_F(Cli, DestinationDirectlyUnderTheRoot) {
  REQUIRE_ROOT();
  const Layout layout(echo_detector({apt_}));
  const std::string destination = "/sorvane-test-" + std::to_string(::getpid()) + ".sh";
  EXPECT_EQ(run(layout, {"SORVANE_SCRIPT_OUTPUT=" + destination}).exit_code(), 0);
  EXPECT_EQ(test::read_file(destination), UPDATE_SCRIPT);
  ::unlink(destination.c_str());
}

struct Fault {
  std::string injection;
  std::string error;  // after "could not write <path>: "
};

TEST_F(Cli, InjectedFaultsLeaveTheDestinationAndNoTemporaryFile) {
  // A directory name that needs every kind of escape in the quoted form.
  const std::string odd = "q\"b\\c\t\x01\xFF\xC3\xA9\xEF\xBE\x9E\xF0\x9F\x98\x80\xE2\x80\x8B";
  const std::string odd_quoted =
      "q\\\"b\\\\c\\t\\u{1}\\xFF\xC3\xA9\xEF\xBE\x9E\xF0\x9F\x98\x80\\u{200b}";
  const std::string dir = work_ / odd;
  test::make_dir(dir);
  const std::string destination = dir + "/out.sh";
  const std::string temp = "\"" + work_.path() + "/" + odd_quoted + "/.update-script-";
  const Fault faults[] = {
      {"open:5", "Input/output error (os error 5) at path " + temp},
      {"fchmod:5", "Input/output error (os error 5)"},
      {"write:28", "No space left on device (os error 28) at path " + temp},
      {"write:zero", "failed to write whole buffer at path " + temp},
      {"fsync:5", "Input/output error (os error 5)"},
      {"renameat:18", "Invalid cross-device link (os error 18)"},
  };
  const Layout layout(echo_detector({apt_}));
  for (const auto& fault : faults) {
    test::write_file(destination, "old", 0644);
    const auto result = run(
        layout, {"LD_PRELOAD=" + test::fault_shim(), "SORVANE_FAULT=" + fault.injection,
                 "SORVANE_SCRIPT_OUTPUT=" + destination, "ASAN_OPTIONS=verify_asan_link_order=0"});
    const std::string plain = std::regex_replace(destination, std::regex("\xFF"), "\xEF\xBF\xBD");
    const std::string prefix = "ERROR: could not write " + plain + ": " + fault.error;
    EXPECT_TRUE(result.err.starts_with(prefix)) << fault.injection << "\n"
                                                << result.err << "\n"
                                                << prefix;
    EXPECT_EQ(result.exit_code(), 1) << fault.injection;
    EXPECT_EQ(test::read_file(destination), "old") << fault.injection;
    EXPECT_EQ(test::list_dir(dir), std::vector<std::string>{"out.sh"}) << fault.injection;
  }
}

TEST_F(Cli, ShortAndInterruptedWritesAreContinued) {
  const Layout layout(echo_detector({apt_}));
  // A taken name (EEXIST, or EADDRINUSE for a socket) means: try another.
  for (const char* fault : {"write:short", "write:eintr", "open:17", "open:98"}) {
    const std::string destination = work_ / "out.sh";
    const auto result = run(
        layout, {"LD_PRELOAD=" + test::fault_shim(), std::string("SORVANE_FAULT=") + fault,
                 "SORVANE_SCRIPT_OUTPUT=" + destination, "ASAN_OPTIONS=verify_asan_link_order=0"});
    EXPECT_EQ(result.exit_code(), 0) << fault << ": " << result.err;
    EXPECT_EQ(test::read_file(destination), UPDATE_SCRIPT) << fault;
    ::unlink(destination.c_str());
  }
}

TEST_F(Cli, InterruptedCallsAreRetriedOnlyWhereThatIsSafe) {
  REQUIRE_TOOL("/usr/bin/strace");
  const Layout layout(echo_detector({apt_}));
  const std::string destination = work_ / "out.sh";
  const TempDir log_dir;
  const std::string log = log_dir / "log";
  const auto traced = [&](const std::string& injection) {
    return test::run_process(
        {"/usr/bin/strace", "-o", log, "-e", "trace=openat,fchmod,fsync,renameat,unlink,unlinkat",
         "-e", "inject=" + injection, layout.binary},
        {{"PATH=/usr/bin:/bin", NO_LEAK_CHECK, "SORVANE_SCRIPT_OUTPUT=" + destination},
         work_.path(),
         {},
         {}});
  };
  const auto retried = traced("fchmod,fsync:error=EINTR:when=1");
  EXPECT_EQ(retried.exit_code(), 0) << retried.err;
  EXPECT_EQ(test::read_file(destination), UPDATE_SCRIPT);
  const std::string calls = std::regex_replace(test::read_file(log), std::regex(" +"), " ");
  // Created owner-only from the start (never open to others until the
  // fchmod), and never unlinked once renamed: by then the name may be
  // another writer's. The descriptor number depends on what the test
  // runner left open.
  EXPECT_TRUE(std::regex_search(
      calls, std::regex("openat\\(AT_FDCWD, \"[^\"]*/\\.update-script-[A-Za-z0-9]{6}\", "
                        "O_RDWR\\|O_CREAT\\|O_EXCL\\|O_CLOEXEC, 0600\\) = ([0-9]+)\n"
                        "fchmod\\(\\1, 0600\\) = -1 EINTR .*\n"
                        "fchmod\\(\\1, 0600\\) = 0\n"
                        "fsync\\(\\1\\) = -1 EINTR .*\n"
                        "fsync\\(\\1\\) = 0\n"
                        "renameat\\(AT_FDCWD, .*\\) = 0\n"
                        "\\+\\+\\+ exited with 0 \\+\\+\\+\n$")))
      << calls;
  EXPECT_EQ(calls.find("unlink"), std::string::npos) << calls;

  ::unlink(destination.c_str());
  const auto not_retried = traced("renameat:error=EINTR:when=1");
  EXPECT_EQ(not_retried.err,
            "ERROR: could not write " + destination + ": Interrupted system call (os error 4)\n");
  EXPECT_EQ(test::list_dir(work_.path()), std::vector<std::string>{});
}

TEST_F(Cli, MissingDirectoriesAreMadeFromTheOutermostIn) {
  REQUIRE_TOOL("/usr/bin/strace");
  const Layout layout(echo_detector({apt_}));
  const TempDir log_dir;
  const auto result = test::run_process(
      {"/usr/bin/strace", "-o", log_dir / "log", "-e", "trace=mkdir,mkdirat", layout.binary},
      {{"PATH=/usr/bin:/bin", NO_LEAK_CHECK, "SORVANE_SCRIPT_OUTPUT=a/b/c/out.sh"},
       work_.path(),
       {},
       {}});
  EXPECT_EQ(result.exit_code(), 0);
  // Only the mkdir lines: strace also notes the detector's SIGCHLD.
  std::string calls;
  std::istringstream log(test::read_file(log_dir / "log"));
  for (std::string line; std::getline(log, line);) {
    if (line.starts_with("mkdir")) calls += std::regex_replace(line, std::regex(" +"), " ") + "\n";
  }
  EXPECT_EQ(calls,
            "mkdir(\"a/b/c\", 0777) = -1 ENOENT (No such file or directory)\n"
            "mkdir(\"a/b\", 0777) = -1 ENOENT (No such file or directory)\n"
            "mkdir(\"a\", 0777) = 0\n"
            "mkdir(\"a/b\", 0777) = 0\n"
            "mkdir(\"a/b/c\", 0777) = 0\n");
}

// Starts a writer in the background, its output discarded.
pid_t start(const std::string& binary, const std::string& destination, const std::string& cwd) {
  return test::start_process(
      {binary}, {{"PATH=/usr/bin:/bin", "SORVANE_SCRIPT_OUTPUT=" + destination}, cwd, {}, {}},
      "/dev/null", "/dev/null");
}

TEST_F(Cli, ConcurrentWritersAllSucceed) {
  const Layout layout(echo_detector({apt_}));
  const std::string destination = work_ / "shared/out.sh";
  std::vector<pid_t> pids;
  for (int i = 0; i < 32; ++i) pids.push_back(start(layout.binary, destination, work_.path()));
  for (const pid_t pid : pids) {
    const int status = test::wait_for(pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(test::read_file(destination), UPDATE_SCRIPT);
  EXPECT_EQ(test::list_dir(work_ / "shared"), std::vector<std::string>{"out.sh"});
}

TEST_F(Cli, KilledWriterNeverLeavesAPartialDestination) {
  const Layout layout(echo_detector({apt_}));
  const std::string destination = work_ / "out.sh";
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delay_us(0, 8000);
  for (int i = 0; i < 40; ++i) {
    test::write_file(destination, "old", 0644);
    const pid_t pid = start(layout.binary, destination, work_.path());
    ::usleep(static_cast<useconds_t>(delay_us(random)));
    ::kill(pid, SIGKILL);
    test::wait_for(pid);
    const std::string now = test::read_file(destination);
    EXPECT_TRUE(now == "old" || now == UPDATE_SCRIPT)
        << "partial destination of " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace sorvane
