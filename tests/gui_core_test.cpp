// The update window's core: what it shows of the script's output, how it
// reads progress and outcome from it, and the checks it makes before it
// writes a password.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>

#include "bounded_run.hpp"
#include "detector_process.hpp"
#include "installation.hpp"
#include "password.hpp"
#include "path_trust.hpp"
#include "payload.hpp"
#include "run_dir.hpp"
#include "script_output.hpp"
#include "script_programs.hpp"
#include "sorvane_report.hpp"
#include "terminal_text.hpp"
#include "test_support.hpp"
#include "update_process.hpp"
#include "written_script.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;

TEST(TerminalText, ShowsWhatATerminalWouldShowLast) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain text", "plain text"},
      {"\x1B[1;32mok\x1B[0m done", "\x1B[1;32mok\x1B[0m done"},  // colours stay
      {"10%\r50%\r100%", "100%"},
      {"10%\r100%\r", "100%"},  // a trailing redraw point shows the last text
      {"\r", ""},
      {"\x1B]0;window title\x07text", "text"},  // OSC, ended by BEL
      {"\x1B]8;;http://x\x1B\\link", "link"},   // OSC, ended by ESC backslash
      {"\x1B[2K\x1B[1Gline", "line"},           // erase and cursor moves go
      {"a\x1B(Bb", "ab"},                       // a character-set switch
      {"tab\there", "tab\there"},
      {"bell\x07 back\x08space\x7F", "bell backspace"},
      {"caf\xFF", "caf\xEF\xBF\xBD"},
      {"\xC2\x9B"
       "31m",
       "31m"},                // the one-character CSI is a control, not a sequence
      {"cut \x1B[", "cut "},  // unfinished at the end of the line
      {"\xE2\x94\x80\xE2\x94\x80", "\xE2\x94\x80\xE2\x94\x80"},
  };
  for (const auto& [raw, shown] : cases) {
    EXPECT_EQ(displayable_line(raw), shown) << testing::PrintToString(raw);
  }
  EXPECT_EQ(without_colours("\x1B[31mred\x1B[0m and \x1B[1mbold\x1B[m"), "red and bold");
}

TEST(TerminalText, ColoursBecomeRunsOfSixteenColours) {
  using Runs = std::vector<ColouredRun>;
  EXPECT_EQ(colour_runs("plain"), (Runs{{"plain", -1, false}}));
  EXPECT_EQ(colour_runs(""), (Runs{{"", -1, false}}));
  EXPECT_EQ(colour_runs("\x1B[1;31mError\x1B[0m: \x1B[92mok\x1B[39m!"),
            (Runs{{"Error", 1, true}, {": ", -1, false}, {"ok", 10, false}, {"!", -1, false}}));
  EXPECT_EQ(colour_runs("\x1B[38;5;4mblue\x1B[38;5;200mpink\x1B[38;2;1;2;3;1mbold"),
            (Runs{{"blue", 4, false}, {"pink", -1, false}, {"bold", -1, true}}));
  EXPECT_EQ(colour_runs("\x1B[1mB\x1B[22mn\x1B[mx"),
            (Runs{{"B", -1, true}, {"n", -1, false}, {"x", -1, false}}));
}

// Feeds a whole output and returns the parser for its questions.
ScriptOutput fed(const std::vector<Step>& steps, const std::string& output) {
  ScriptOutput parsed(steps);
  (void)parsed.feed(output);
  (void)parsed.flush();
  return parsed;
}

int exited(int status) {
  return W_EXITCODE(status, 0);
}

const std::string HEADER = "Starting system update...\n\n";

TEST(ScriptOutput, StepsAdvanceOnTheScriptsOwnLinesInItsOrder) {
  const auto run = fed({Step::Flatpak, Step::Apt},  // any order in, the script's order kept
                       HEADER + "Updating apt packages...\nHit:1 http://deb.debian.org\n" +
                           "Updating Flatpak packages...\nNothing to do.\nUpdate complete.\n");
  EXPECT_EQ(run.steps(), (std::vector<Step>{Step::Apt, Step::Flatpak}));
  EXPECT_EQ(run.started(), 2U);
  EXPECT_TRUE(run.completed());
  EXPECT_EQ(run.finish(exited(0)).outcome, Outcome::Success);

  // Lines that only look like steps: out of order, redrawn, indented.
  const auto fake = fed({Step::Apt, Step::Dnf, Step::Flatpak},
                        HEADER + "Updating apt packages...\nUpdating Flatpak packages...\n" +
                            "\rUpdating dnf packages...\n  Updating dnf packages...\n" +
                            "Updating dnf packages... \nUpdate complete.\n");
  EXPECT_EQ(fake.started(), 1U);
  EXPECT_FALSE(fake.completed());  // not every step has run
  EXPECT_EQ(fake.finish(exited(0)).outcome, Outcome::Failed);
}

TEST(ScriptOutput, UpdateCompleteCountsOnlyAsTheLastLine) {
  const std::string body = HEADER + "Updating Flatpak packages...\nUpdate complete.\n";
  EXPECT_TRUE(fed({Step::Flatpak}, body).completed());
  EXPECT_FALSE(fed({Step::Flatpak}, body + "more from a package\n").completed());
  // A package that prints it and then fails does not make a success.
  EXPECT_EQ(fed({Step::Flatpak}, body).finish(exited(1)).outcome, Outcome::Failed);
}

TEST(ScriptOutput, WarningsFromAptMakeASuccessWithWarnings) {
  const auto run =
      fed({Step::Apt}, HEADER + "Updating apt packages...\n" +
                           "W: Failed to fetch http://x/InRelease\nUpdate complete.\n");
  EXPECT_TRUE(run.warned());
  EXPECT_EQ(run.finish(exited(0)).outcome, Outcome::SuccessWithWarnings);
}

TEST(ScriptOutput, SudoFailingBeforeTheFirstStepIsAPasswordRefusal) {
  const auto run = fed({Step::Pacman, Step::Flatpak},
                       HEADER + "Sorry, try again.\nsudo: 1 incorrect password attempt\n");
  const Finish finish = run.finish(exited(1));
  EXPECT_EQ(finish.outcome, Outcome::PasswordRefused);
  EXPECT_EQ(finish.message, "Sorry, try again.\nsudo: 1 incorrect password attempt");
  // With only flatpak there is no sudo: the same failure is the step's.
  EXPECT_EQ(fed({Step::Flatpak}, HEADER + "error\n").finish(exited(1)).outcome, Outcome::Failed);
}

TEST(ScriptOutput, AFailureNamesTheRunningStepAndWhereItBegan) {
  const auto run =
      fed({Step::Pacman, Step::Apt}, HEADER + "Updating pacman packages...\n" +
                                         "error: no usable package repositories configured.\n");
  const Finish finish = run.finish(exited(1));
  EXPECT_EQ(finish.outcome, Outcome::Failed);
  EXPECT_EQ(finish.failed_step, Step::Pacman);
  EXPECT_EQ(finish.exit_status, 1);
  EXPECT_EQ(finish.failed_line, 2U);
  EXPECT_FALSE(finish.killed);

  const Finish killed = run.finish(W_EXITCODE(0, SIGKILL));
  EXPECT_TRUE(killed.killed);
  EXPECT_EQ(killed.exit_status, 128 + SIGKILL);
}

TEST(ScriptOutput, ChunksMayEndAnywhere) {
  const std::string output = HEADER + "Updating apt packages...\n\x1B[32mok\x1B[0m\r\nlast";
  ScriptOutput parsed({Step::Apt});
  std::vector<std::string> lines;
  for (const char c : output) {
    for (auto& line : parsed.feed(std::string_view(&c, 1))) lines.push_back(std::move(line));
  }
  EXPECT_EQ(parsed.latest(), "last");  // the unfinished line, as it stands
  for (auto& line : parsed.flush()) lines.push_back(std::move(line));
  EXPECT_EQ(lines,
            (std::vector<std::string>{"Starting system update...", "", "Updating apt packages...",
                                      "\x1B[32mok\x1B[0m", "last"}));
  EXPECT_EQ(parsed.started(), 1U);
  EXPECT_EQ(parsed.line_count(), 5U);
}

TEST(ScriptOutput, AnEndlessLineIsCutNotHeld) {
  ScriptOutput parsed({Step::Apt});
  const auto lines = parsed.feed(std::string(ScriptOutput::MAX_LINE_BYTES * 2 + 10, 'x'));
  EXPECT_EQ(lines.size(), 2U);
  EXPECT_EQ(lines.front().size(), ScriptOutput::MAX_LINE_BYTES);
  EXPECT_EQ(parsed.flush(), std::vector<std::string>{std::string(10, 'x')});
}

TEST(Password, RefusesWhatSudoWouldMisread) {
  EXPECT_EQ(password_refusal("correct horse"), std::nullopt);
  EXPECT_EQ(password_refusal(std::string(MAX_PASSWORD_BYTES, 'p')), std::nullopt);
  EXPECT_EQ(password_refusal(std::string(MAX_PASSWORD_BYTES + 1, 'p')), PasswordRefusal::TooLong);
  EXPECT_EQ(password_refusal("a\nb"), PasswordRefusal::LineBreak);
  EXPECT_EQ(password_refusal("a\rb"), PasswordRefusal::LineBreak);
  EXPECT_EQ(password_refusal(std::string("a\0b", 3)), PasswordRefusal::NulByte);
  std::string secret = "secret";
  wipe(secret.data(), secret.size());
  EXPECT_EQ(secret, std::string(6, '\0'));
}

TEST(ScriptPrograms, TheScriptsPathIsTheDetectorsAndIsCheckedWhole) {
  EXPECT_NE(UPDATE_SCRIPT.find("\nPATH=" + std::string(DETECTOR_PATH_ENV) + "\n"),
            std::string_view::npos);
  EXPECT_EQ(script_path_dirs(),
            (std::vector<std::string>{"/usr/local/sbin", "/usr/local/bin", "/usr/sbin", "/usr/bin",
                                      "/sbin", "/bin"}));
  EXPECT_EQ(find_like_the_script("bash"), "/usr/bin/bash");
  EXPECT_EQ(find_like_the_script("no-such-program-here"), std::nullopt);
  // A Debian machine as it comes: everything the script finds is root's.
  const auto fault = untrusted_script_program();
  EXPECT_FALSE(fault.has_value()) << fault->path;
}

struct WrittenCase {
  std::string name;
  std::function<void(const TempDir&)> spoil;
  ScriptRefusal::Why why;
};

TEST(WrittenScript, OnlyThePayloadItselfInAPrivateDirectoryPasses) {
  const std::string payload(UPDATE_SCRIPT);
  const uid_t me = ::geteuid();
  const auto prepare = [&](const TempDir& dir) {
    test::set_mode(dir.path(), 0700);
    test::write_file(dir / "update.sh", payload, 0600);
  };
  {
    const TempDir dir;
    prepare(dir);
    const auto read = read_checked_script(dir.path(), "update.sh", me, payload);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), payload);
  }
  using Why = ScriptRefusal::Why;
  const WrittenCase cases[] = {
      {"mode 0644", [](const TempDir& d) { test::set_mode(d / "update.sh", 0644); },
       Why::WrongMode},
      {"mode 0700", [](const TempDir& d) { test::set_mode(d / "update.sh", 0700); },
       Why::WrongMode},
      {"a changed byte",
       [&](const TempDir& d) {
         std::string changed = payload;
         changed[100] ^= 1;
         test::write_file(d / "update.sh", changed, 0600);
       },
       Why::Changed},
      {"one byte more",
       [&](const TempDir& d) { test::write_file(d / "update.sh", payload + "\n", 0600); },
       Why::Changed},
      {"a link to a good copy",
       [&](const TempDir& d) {
         test::write_file(d / "copy.sh", payload, 0600);
         ::unlink((d / "update.sh").c_str());
         ASSERT_EQ(::symlink("copy.sh", (d / "update.sh").c_str()), 0);
       },
       Why::NotARegularFile},
      {"a FIFO",
       [](const TempDir& d) {
         ::unlink((d / "update.sh").c_str());
         ASSERT_EQ(::mkfifo((d / "update.sh").c_str(), 0600), 0);
       },
       Why::NotARegularFile},
      {"a group-writable directory", [](const TempDir& d) { test::set_mode(d.path(), 0770); },
       Why::DirectoryWritableByOthers},
      {"missing", [](const TempDir& d) { ::unlink((d / "update.sh").c_str()); }, Why::Unreadable},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    prepare(dir);
    c.spoil(dir);
    const auto read = read_checked_script(dir.path(), "update.sh", me, payload);
    ASSERT_FALSE(read.ok()) << c.name;
    EXPECT_EQ(read.error().why, c.why) << c.name;
  }
}

TEST(WrittenScript, AnotherOwnerOfTheFileOrItsDirectoryIsRefused) {
  REQUIRE_ROOT();
  const std::string payload(UPDATE_SCRIPT);
  constexpr uid_t OTHER = 1000;
  const TempDir dir;
  test::set_mode(dir.path(), 0700);
  test::write_file(dir / "update.sh", payload, 0600);
  ASSERT_EQ(::chown((dir / "update.sh").c_str(), OTHER, OTHER), 0);
  EXPECT_EQ(read_checked_script(dir.path(), "update.sh", 0, payload).error().why,
            ScriptRefusal::Why::FileNotTheUsers);
  EXPECT_EQ(read_checked_script(dir.path(), "update.sh", OTHER, payload).error().why,
            ScriptRefusal::Why::DirectoryNotTheUsers);
}

TEST(PathTrust, EveryDirectoryAndLinkOnTheWayCounts) {
  const std::array<uid_t, 1> root_only = {0};
  EXPECT_FALSE(untrusted_on_the_way("/usr/bin/bash", root_only).has_value());
  EXPECT_FALSE(untrusted_on_the_way("/usr/bin/../bin/./bash", root_only).has_value());
  const auto in_tmp = untrusted_on_the_way("/tmp", root_only);
  ASSERT_TRUE(in_tmp.has_value());
  EXPECT_EQ(in_tmp->path, "/tmp");  // sticky, but writable by everyone
  EXPECT_EQ(in_tmp->why, Untrusted::Why::WritableByOthers);
  EXPECT_EQ(untrusted_on_the_way("relative/path", root_only)->why, Untrusted::Why::Missing);
  EXPECT_EQ(untrusted_on_the_way("/no/such/file", root_only)->path, "/no");
}

TEST(PathTrust, PlantedFilesAndLinksAreFoundWhereverTheyAre) {
  REQUIRE_ROOT();
  // Under /run (root's, 0755): a tree of our own where every directory
  // above is root's too.
  const TempDir dir("/run");
  const std::array<uid_t, 1> root_only = {0};
  test::make_dir(dir / "bin");
  test::write_file(dir / "bin/tool", "", 0755);
  test::make_dir(dir / "alternatives");
  ASSERT_EQ(::symlink((dir / "bin/tool").c_str(), (dir / "alternatives/tool").c_str()), 0);
  ASSERT_EQ(::symlink("../alternatives/tool", (dir / "bin/link").c_str()), 0);
  EXPECT_FALSE(untrusted_on_the_way(dir / "bin/link", root_only).has_value());

  // The link's own directory opened to the group: the link could be swapped.
  test::set_mode(dir / "alternatives", 0775);
  const auto swapped = untrusted_on_the_way(dir / "bin/link", root_only);
  ASSERT_TRUE(swapped.has_value());
  EXPECT_EQ(swapped->path, dir / "alternatives");
  test::set_mode(dir / "alternatives", 0755);

  // The target owned by an ordinary user, or writable by everyone.
  ASSERT_EQ(::chown((dir / "bin/tool").c_str(), 1000, 1000), 0);
  EXPECT_EQ(untrusted_on_the_way(dir / "bin/link", root_only)->why,
            Untrusted::Why::OwnedBySomeoneElse);
  const std::array<uid_t, 2> root_or_user = {0, 1000};
  EXPECT_FALSE(untrusted_on_the_way(dir / "bin/link", root_or_user).has_value());
  ASSERT_EQ(::chown((dir / "bin/tool").c_str(), 0, 0), 0);
  test::set_mode(dir / "bin/tool", 0777);
  EXPECT_EQ(untrusted_on_the_way(dir / "bin/tool", root_only)->path, dir / "bin/tool");

  // A loop of links ends.
  ASSERT_EQ(::symlink("loop-b", (dir / "bin/loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", (dir / "bin/loop-b").c_str()), 0);
  EXPECT_EQ(untrusted_on_the_way(dir / "bin/loop-a", root_only)->why, Untrusted::Why::TooManyLinks);
}

TEST(UpdateProcess, KeepsOnlyTheFiveVariables) {
  std::array<std::string, 8> variables = {
      "LD_PRELOAD=/x.so", "HOME=/home/u",
      "BASH_ENV=/x",      "USERX=no",
      "USER=u",           "DBUS_SESSION_BUS_ADDRESS=unix:path=/x",
      "LANG=de_DE.UTF-8", "XDG_RUNTIME_DIR=/run/user/1"};
  std::vector<char*> environ;
  for (auto& variable : variables) environ.push_back(variable.data());
  environ.push_back(nullptr);
  EXPECT_EQ(kept_environment(environ.data()),
            (std::vector<std::string>{"HOME=/home/u", "USER=u", "LANG=de_DE.UTF-8",
                                      "XDG_RUNTIME_DIR=/run/user/1"}));
}

// What the script can see of its own start, one fact a line; the signal
// state as the programs it starts get it (bash keeps some of its own).
constexpr std::string_view SELF_REPORT = R"SCRIPT(read -r line
printf 'input=%s\n' "$line"
printf 'umask=%s\n' "$(umask)"
printf 'cwd=%s\n' "$PWD"
printf 'env=%s\n' "$(tr '\0' ' ' </proc/$$/environ)"
(cd /proc/$$/fd && fds=(*) && echo "fds=${fds[*]}")
read -r -a stat </proc/$$/stat
[[ ${stat[5]} == "$$" && ${stat[6]} == 0 ]] && echo "own session, no terminal"
grep -E '^Sig(Ign|Blk)' /proc/self/status
printf x >>/dev/fd/3 2>/dev/null || echo "script sealed"
)SCRIPT";

TEST(UpdateProcess, RunsTheSealedScriptInACleanChildThatKeepsItsInputToItself) {
  const TempDir dir;
  // A careless window might have these; the script must not.
  const auto old_term = std::signal(SIGTERM, SIG_IGN);
  sigset_t block;
  sigset_t old_mask;
  sigemptyset(&block);
  sigaddset(&block, SIGUSR1);
  ::pthread_sigmask(SIG_BLOCK, &block, &old_mask);
  const mode_t old_umask = ::umask(077);
  auto started =
      start_update("/usr/bin/bash", SELF_REPORT, dir / "log", {"HOME=/home/u", "LANG=C.UTF-8"});
  ::umask(old_umask);
  ::pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
  std::signal(SIGTERM, old_term);
  ASSERT_TRUE(started.ok()) << started.error().text();
  const StartedUpdate& update = started.value();

  // Another process of the user cannot open the script's input.
  const std::string input_link = "/proc/" + std::to_string(update.pid) + "/fd/0";
  EXPECT_LT(::open(input_link.c_str(), O_RDONLY | O_CLOEXEC), 0);
  EXPECT_EQ(errno, ENXIO);

  EXPECT_FALSE(send_password(update, "pass word").has_value());
  const int status = test::wait_for(update.pid);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(unread_input(update), 0U);
  EXPECT_EQ(test::read_file(dir / "log"),
            "input=pass word\n"
            "umask=0022\n"
            "cwd=/\n"
            "env=HOME=/home/u LANG=C.UTF-8 \n"
            "fds=0 1 2 255 3\n"
            "own session, no terminal\n"
            "SigBlk:\t0000000000000000\n"
            "SigIgn:\t0000000000000000\n"
            "script sealed\n");
  EXPECT_EQ(test::stat_of(dir / "log").st_mode & 07777, 0600U);
}

TEST(UpdateProcess, AHeldDescriptorLivesAsLongAsTheScript) {
  const TempDir dir;
  test::write_file(dir / "held", "");
  const UniqueFd held(::open((dir / "held").c_str(), O_RDONLY | O_CLOEXEC));
  auto started = start_update("/usr/bin/bash", "readlink /proc/$$/fd/4\nls /proc/$$/fd\n",
                              dir / "log", {}, held.get());
  ASSERT_TRUE(started.ok());
  EXPECT_EQ(test::wait_for(started.value().pid), 0);
  EXPECT_EQ(test::read_file(dir / "log"), dir / "held\n0\n1\n2\n255\n3\n4\n");
}

TEST(UpdateProcess, APasswordNobodyReadIsSeenAndDrained) {
  const TempDir dir;
  auto started = start_update("/usr/bin/bash", "sleep 0.2\n", dir / "log", {});
  ASSERT_TRUE(started.ok());
  EXPECT_FALSE(send_password(started.value(), "secret").has_value());
  EXPECT_EQ(unread_input(started.value()), 7U);
  drain_unread_input(started.value());
  EXPECT_EQ(unread_input(started.value()), 0U);
  EXPECT_EQ(test::wait_for(started.value().pid), 0);
}

TEST(UpdateProcess, AProgramThatCannotStartIsAnError) {
  const TempDir dir;
  const auto missing = start_update(dir / "no-bash", "true\n", dir / "log", {});
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code(), ENOENT);
  ASSERT_EQ(::symlink("elsewhere", (dir / "link.log").c_str()), 0);
  EXPECT_EQ(start_update("/usr/bin/bash", "true\n", dir / "link.log", {}).error().code(), ELOOP);
}

TEST(SorvaneReport, OnlyTheContractsReportIsBelieved) {
  const std::string banner = "Sorvane\n=======\n\nDetecting package managers...\n\n";
  const std::string success = "\nUpdate script prepared successfully.\n";
  using Kind = SorvaneReport::Kind;
  struct Case {
    std::string out, err;
    int status;
    Kind kind;
    std::vector<Step> steps;
    std::string message;
  };
  const Case cases[] = {
      {banner + "Detected package managers:\n  pacman\n  flatpak\n  apt\n  dnf\n  snap\n" + success,
       "",
       exited(0),
       Kind::Found,
       {Step::Pacman, Step::Apt, Step::Dnf, Step::Snap, Step::Flatpak},
       ""},
      {banner + "Detected package managers:\n  apt\n  apt\n" + success,
       "",
       exited(0),
       Kind::Found,
       {Step::Apt},
       ""},
      {banner + "No supported package managers detected.\n",
       "",
       exited(0),
       Kind::NoneFound,
       {},
       ""},
      {"",
       "ERROR: a trusted system Bash executable was not found\n",
       exited(1),
       Kind::Failed,
       {},
       "a trusted system Bash executable was not found"},
      {banner + "Detected package managers:\n  apt\n",
       "ERROR: could not write x: y\n",
       exited(1),
       Kind::Failed,
       {},
       "could not write x: y"},
      // Anything else: a warning on stderr, another name, a missing line,
      // two error lines, a signal.
      {banner + "No supported package managers detected.\n",
       "warning\n",
       exited(0),
       Kind::Unexpected,
       {},
       ""},
      {banner + "Detected package managers:\n  yum\n" + success,
       "",
       exited(0),
       Kind::Unexpected,
       {},
       ""},
      {banner + "Detected package managers:\n  apt\n", "", exited(0), Kind::Unexpected, {}, ""},
      {banner + "Detected package managers:\n" + success, "", exited(0), Kind::Unexpected, {}, ""},
      {"", "ERROR: a\nERROR: b\n", exited(1), Kind::Unexpected, {}, ""},
      {"", "", W_EXITCODE(0, SIGSEGV), Kind::Unexpected, {}, ""},
  };
  for (const auto& c : cases) {
    const SorvaneReport report = read_sorvane_report(c.out, c.err, c.status);
    EXPECT_EQ(report.kind, c.kind) << c.out << c.err;
    EXPECT_EQ(report.steps, c.steps) << c.out;
    EXPECT_EQ(report.message, c.message) << c.err;
  }
}

TEST(SorvaneReport, TheRealSorvaneWritesWhereItIsTold) {
  const TempDir managers;
  const std::string apt = test::make_trusted_manager(managers, "apt");
  const test::Layout layout("echo " + apt + "\n");
  const TempDir run_dir;
  const SorvaneReport report = run_sorvane(layout.binary, run_dir / "update.sh", {});
  EXPECT_EQ(report.kind, SorvaneReport::Kind::Found) << report.message;
  EXPECT_EQ(report.steps, std::vector<Step>{Step::Apt});
  EXPECT_EQ(test::read_file(run_dir / "update.sh"), UPDATE_SCRIPT);
}

TEST(BoundedRun, AHelperThatHangsIsKilledWithEverythingItStarted) {
  const TempDir dir;
  const auto run = run_bounded(
      {"/bin/sh", "-c", "echo started; (sleep 30; touch " + (dir / "outlived") + ") & sleep 30"},
      {}, std::chrono::milliseconds(300));
  ASSERT_TRUE(run.ok());
  EXPECT_TRUE(run.value().timed_out);
  EXPECT_EQ(run.value().out, "started\n");
  EXPECT_TRUE(WIFSIGNALED(run.value().wait_status));
  // The background child went with the process group.
  ::usleep(100000);
  EXPECT_FALSE(test::exists(dir / "outlived"));

  const auto quick = run_bounded({"/bin/sh", "-c", "echo out; echo err >&2; exit 3"}, {},
                                 std::chrono::seconds(10));
  ASSERT_TRUE(quick.ok());
  EXPECT_FALSE(quick.value().timed_out);
  EXPECT_EQ(quick.value().out, "out\n");
  EXPECT_EQ(quick.value().err, "err\n");
  EXPECT_EQ(quick.value().wait_status, exited(3));
}

TEST(SudoProbe, OnlyASudoThatRunsBashUnaskedMeansNoPassword) {
  const TempDir dir;
  const auto fake_sudo = [&](int status) {
    test::write_file(
        dir / "sudo",
        "#!/bin/sh\necho \"$@\" > " + (dir / "args") + "\nexit " + std::to_string(status) + "\n",
        0755);
    return dir / "sudo";
  };
  EXPECT_EQ(probe_sudo(fake_sudo(0), "/usr/bin/bash", {}), SudoNeeds::NoPassword);
  EXPECT_EQ(test::read_file(dir / "args"), "-k -n -- /usr/bin/bash -c :\n");
  EXPECT_EQ(probe_sudo(fake_sudo(1), "/usr/bin/bash", {}), SudoNeeds::Password);
  EXPECT_EQ(probe_sudo(dir / "missing", "/usr/bin/bash", {}), SudoNeeds::Password);
}

TEST(RunDir, TheRuntimeDirectoryOnlyWhenItIsReallyTheUsers) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  test::make_dir(dir / "runtime", 0700);
  test::make_dir(dir / "open", 0755);
  ASSERT_EQ(::symlink((dir / "runtime").c_str(), (dir / "link").c_str()), 0);
  EXPECT_EQ(run_dir_base((dir / "runtime").c_str(), me), dir / "runtime");
  EXPECT_EQ(run_dir_base(nullptr, me), "/tmp");
  EXPECT_EQ(run_dir_base((dir / "open").c_str(), me), "/tmp");
  EXPECT_EQ(run_dir_base((dir / "link").c_str(), me), "/tmp");
  EXPECT_EQ(run_dir_base("relative", me), "/tmp");
  EXPECT_EQ(run_dir_base((dir / "runtime").c_str(), me + 1), "/tmp");  // someone else's after su

  const auto made = make_run_dir(dir / "runtime");
  ASSERT_TRUE(made.ok());
  EXPECT_TRUE(made.value().starts_with(dir / "runtime/sorvane-update-"));
  EXPECT_EQ(test::stat_of(made.value()).st_mode & 07777, 0700U);
}

TEST(RunDir, OnlyFinishedRunsAreCleared) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  // A process id that is certainly free: one that was just reaped.
  const pid_t gone = test::start_process({"/bin/true"}, {}, "/dev/null", "/dev/null");
  test::wait_for(gone);
  const auto run = [&](const std::string& name, const std::string& pid,
                       const std::string& extra = "") {
    test::make_dir(dir / name, 0700);
    test::write_file(dir / name + "/update.log", "log");
    if (!pid.empty()) test::write_file(dir / name + "/pid", pid);
    if (!extra.empty()) test::write_file(dir / name + "/" + extra, "not ours");
    const std::array<timespec, 2> two_minutes_ago = {{{0, UTIME_OMIT}, {::time(nullptr) - 120, 0}}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), two_minutes_ago.data(), 0), 0);
  };
  run("sorvane-update-gone", std::to_string(gone));
  run("sorvane-update-never", "");
  run("sorvane-update-running", std::to_string(::getpid()));
  run("sorvane-update-extra", std::to_string(gone), "kept");
  run("other-name", std::to_string(gone));
  // Just made: its pid may not be written yet.
  test::make_dir(dir / "sorvane-update-new", 0700);
  ASSERT_FALSE(record_pid(dir / "sorvane-update-new", gone).has_value());
  EXPECT_EQ(test::read_file(dir / "sorvane-update-new/pid"), std::to_string(gone) + "\n");
  test::make_dir(dir / "target", 0700);
  ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / "sorvane-update-link").c_str()), 0);
  clear_stale_run_dirs(dir.path(), me);
  EXPECT_EQ(test::list_dir(dir.path()),
            (std::vector<std::string>{"other-name", "sorvane-update-extra", "sorvane-update-link",
                                      "sorvane-update-new", "sorvane-update-running", "target"}));
  EXPECT_EQ(test::list_dir(dir / "sorvane-update-extra"), std::vector<std::string>{"kept"});
}

TEST(Installation, SorvaneAndItsDetectorAreFoundBesideTheWindow) {
  const Installation found = installation_beside("/usr/lib/sorvane/libexec/bin/sorvane-gui");
  EXPECT_EQ(found.sorvane, "/usr/lib/sorvane/libexec/bin/sorvane");
  EXPECT_EQ(found.detector,
            "/usr/lib/sorvane/libexec/bin/../../scripts/detect-package-managers.sh");
}

TEST(Installation, OnlyRootOrTheUserMayOwnIt) {
  REQUIRE_ROOT();
  const TempDir dir("/run");
  test::make_dir(dir / "libexec");
  test::make_dir(dir / "libexec/bin");
  test::make_dir(dir / "scripts");
  test::write_file(dir / "libexec/bin/sorvane", "", 0755);
  test::write_file(dir / "scripts/detect-package-managers.sh", "", 0644);
  const Installation installation = installation_beside(dir / "libexec/bin/sorvane-gui");
  EXPECT_FALSE(untrusted_installation(installation, 1000).has_value());
  ASSERT_EQ(::chown((dir / "scripts/detect-package-managers.sh").c_str(), 1000, 1000), 0);
  EXPECT_FALSE(untrusted_installation(installation, 1000).has_value());  // the user's own
  const auto fault = untrusted_installation(installation, 1001);
  ASSERT_TRUE(fault.has_value());
  EXPECT_EQ(fault->path, dir / "scripts/detect-package-managers.sh");
  test::set_mode(dir / "libexec/bin", 0775);
  EXPECT_EQ(untrusted_installation(installation, 1000)->path, dir / "libexec/bin");
}

}  // namespace
}  // namespace sorvane::gui
