// The update window's core: what it shows of the script's output, how it
// reads progress and outcome from it, and the checks it makes before it
// writes a password.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "bounded_run.hpp"
#include "child_process.hpp"
#include "detector_process.hpp"
#include "dpkg_repair.hpp"
#include "failure_cause.hpp"
#include "installation.hpp"
#include "managers.hpp"
#include "password.hpp"
#include "password_handover.hpp"
#include "past_update.hpp"
#include "path.hpp"
#include "path_trust.hpp"
#include "payload.hpp"
#include "pending_check.hpp"
#include "run_dir.hpp"
#include "run_status.hpp"
#include "script_output.hpp"
#include "script_programs.hpp"
#include "secret.hpp"
#include "sorvane_report.hpp"
#include "terminal_text.hpp"
#include "test_support.hpp"
#include "update_log.hpp"
#include "update_process.hpp"
#include "written_script.hpp"

namespace sorvane::gui {
namespace {

using test::TempDir;
using namespace std::chrono_literals;

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
      // A string never ended on its line: only "ESC ]" goes, the rest shows.
      {"\x1B]0;title then text", "0;title then text"},
      {"a\x1BPq#0 then \x1B[31mred", "aq#0 then \x1B[31mred"},
      {"\x1B_x\x1B^y", "xy"},
      // What would reorder or break the shown line shows as U+FFFD.
      {"file\xE2\x80\xAEtxt.exe", "file\xEF\xBF\xBDtxt.exe"},  // RIGHT-TO-LEFT OVERRIDE
      {"one\xE2\x80\xA8two\xE2\x80\xA9", "one\xEF\xBF\xBDtwo\xEF\xBF\xBD"},      // LS, PS
      {"\xE2\x81\xA6isolated\xE2\x81\xA9", "\xEF\xBF\xBDisolated\xEF\xBF\xBD"},  // LRI, PDI
      {"\xE2\x80\xAAlow\xE2\x80\xAC", "\xEF\xBF\xBDlow\xEF\xBF\xBD"},            // LRE, PDF
      {"\xE2\x80\x8Fmarks\xE2\x80\x8E", "\xE2\x80\x8Fmarks\xE2\x80\x8E"},        // RLM, LRM stay
  };
  for (const auto& [raw, shown] : cases) {
    EXPECT_EQ(displayable_line(raw), shown) << testing::PrintToString(raw);
  }
  EXPECT_EQ(without_colours("\x1B[31mred\x1B[0m and \x1B[1mbold\x1B[m"), "red and bold");
}

// A /proc of the test's own: each process's stat, comm, status and
// children, as the kernel writes them.
struct FakeProcess {
  pid_t pid;
  const char* name;
  char state;
  unsigned activity;  // its CPU time, here; the rest stays 0
  std::vector<pid_t> children;
};

void write_fake_proc(const std::string& proc, const std::vector<FakeProcess>& processes) {
  for (const FakeProcess& p : processes) {
    const std::string dir = proc + "/" + std::to_string(p.pid);
    std::filesystem::create_directories(dir + "/task/" + std::to_string(p.pid));
    test::write_file(dir + "/comm", std::string(p.name) + "\n");
    test::write_file(dir + "/stat", std::to_string(p.pid) + " (" + p.name + ") " + p.state +
                                        " 1 1 1 0 -1 4194304 0 0 0 0 " +
                                        std::to_string(p.activity) + " 0 0 0 20 0 1 0\n");
    test::write_file(dir + "/status", "Name:\t" + std::string(p.name) +
                                          "\nvoluntary_ctxt_switches:\t0\n"
                                          "nonvoluntary_ctxt_switches:\t0\n");
    std::string children;
    for (const pid_t child : p.children) children += std::to_string(child) + " ";
    test::write_file(dir + "/task/" + std::to_string(p.pid) + "/children", children);
  }
}

// The password is written only when sudo, below the window's child, waits
// with nothing moving between two looks; never once sudo runs a command,
// never when it never comes.
TEST(PasswordHandOver, WritesOnlyWhenSudoWaitsToRead) {
  using Step = PasswordHandOver::Step;
  struct Look {
    std::vector<FakeProcess> processes;
    int seconds;  // since the update started
    Step step;
  };
  struct Case {
    const char* name;
    std::vector<Look> looks;
  };
  const FakeProcess script{10, "bash", 'S', 1, {11}};
  const FakeProcess sudo_reading{11, "sudo", 'S', 5, {}};
  const FakeProcess sudo_busy{11, "sudo", 'R', 6, {}};
  const FakeProcess sudo_running_command{11, "sudo", 'S', 5, {12}};
  const FakeProcess command{12, "bash", 'S', 5, {}};
  const FakeProcess bash_alone{10, "bash", 'R', 1, {}};
  const std::vector<Case> cases = {
      {"sudo waits",
       {{{script, sudo_reading}, 0, Step::Wait}, {{script, sudo_reading}, 0, Step::Write}}},
      {"sudo still starts",
       {{{script, sudo_busy}, 0, Step::Wait}, {{script, sudo_busy}, 1, Step::Wait}}},
      {"sudo moved between looks",
       {{{script, sudo_reading}, 0, Step::Wait},
        {{script, FakeProcess{11, "sudo", 'S', 9, {}}}, 0, Step::Wait},
        {{script, FakeProcess{11, "sudo", 'S', 9, {}}}, 0, Step::Write}}},
      {"sudo never seems to wait",
       {{{script, sudo_busy}, 0, Step::Wait}, {{script, sudo_busy}, 10, Step::Write}}},
      {"sudo runs its command", {{{script, sudo_running_command, command}, 0, Step::Withhold}}},
      {"no sudo yet", {{{bash_alone}, 0, Step::Wait}, {{bash_alone}, 59, Step::Wait}}},
      {"no sudo ever", {{{bash_alone}, 0, Step::Wait}, {{bash_alone}, 60, Step::Withhold}}},
      {"the script ended", {{{}, 0, Step::Withhold}}},
      {"the script is a zombie", {{{FakeProcess{10, "bash", 'Z', 1, {}}}, 0, Step::Withhold}}},
      {"sudo three below",
       {{{FakeProcess{10, "monitor", 'S', 1, {20}}, FakeProcess{20, "bash", 'S', 1, {21}},
          FakeProcess{21, "sudo", 'S', 3, {}}},
         0,
         Step::Wait},
        {{FakeProcess{10, "monitor", 'S', 1, {20}}, FakeProcess{20, "bash", 'S', 1, {21}},
          FakeProcess{21, "sudo", 'S', 3, {}}},
         0,
         Step::Write}}},
      {"a sudo four below is not the script's",
       {{{FakeProcess{10, "monitor", 'S', 1, {20}}, FakeProcess{20, "bash", 'S', 1, {21}},
          FakeProcess{21, "bash", 'S', 1, {22}}, FakeProcess{22, "sudo", 'S', 3, {}}},
         0,
         Step::Wait}}},
  };
  for (const Case& c : cases) {
    const TempDir proc;
    const auto start = std::chrono::steady_clock::time_point{};
    PasswordHandOver handover(10, start, {}, proc.path());
    for (const Look& look : c.looks) {
      std::filesystem::remove_all(proc.path());
      std::filesystem::create_directories(proc.path());
      write_fake_proc(proc.path(), look.processes);
      EXPECT_EQ(handover.next(start + std::chrono::seconds(look.seconds)), look.step) << c.name;
    }
  }
}

// The password's page: UTF-8 as typed, taken back character by character,
// too long told apart, and locked in memory.
TEST(SecretBytes, HoldsWhatIsTypedAsUtf8) {
  SecretBytes secret;
  EXPECT_TRUE(secret.locked());
  for (const char32_t c : std::u32string(U"pä€😀")) secret.append(c);
  EXPECT_EQ(secret.view(), "p\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80");
  secret.remove_last();
  EXPECT_EQ(secret.view(), "p\xC3\xA4\xE2\x82\xAC");
  secret.remove_last();
  secret.remove_last();
  EXPECT_EQ(secret.view(), "p");
  SecretBytes moved = std::move(secret);
  EXPECT_EQ(moved.view(), "p");
  EXPECT_TRUE(secret.empty());  // NOLINT(bugprone-use-after-move): moved from is empty
  for (size_t i = 0; i < SecretBytes::CAPACITY; ++i) moved.append(U'x');
  EXPECT_TRUE(moved.overflowed());
  EXPECT_EQ(moved.size(), SecretBytes::CAPACITY);
  moved.clear();
  EXPECT_TRUE(moved.empty());
  EXPECT_EQ(moved.view(), "");
}

// What --check prints to a terminal: outside text can act on nothing.
TEST(TerminalText, OutsideTextGoesToATerminalAsVisibleEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"1.2-3", "1.2-3"},
      {"1.0\x1B]52;c;aGVsbG8=\x07", "1.0\\x1b]52;c;aGVsbG8=\\x07"},  // OSC 52: the clipboard
      {"1.0\x1B]52;c;aGVsbG8=\x1B\\", "1.0\\x1b]52;c;aGVsbG8=\\x1b\\"},
      {"2\x1B[2K\x1B[1A\x1B[Hx", "2\\x1b[2K\\x1b[1A\\x1b[Hx"},  // erase, cursor up, home
      {"lone\x1B", "lone\\x1b"},
      {"\xC2\x9B"
       "31m\xC2\x9D"
       "52;c;x\xC2\x9C",
       "\\u009b31m\\u009d52;c;x\\u009c"},  // C1 CSI, OSC and ST in UTF-8
      {"a\rb\nc\td\x7F\x08", "a\\x0db\\x0ac\\x09d\\x7f\\x08"},
      {"v\xE2\x80\xAE"
       "1-2",
       "v\\u202e1-2"},  // RIGHT-TO-LEFT OVERRIDE
      {"\xE2\x81\xA6x\xE2\x81\xA9\xE2\x80\xA8", "\\u2066x\\u2069\\u2028"},
      {"caf\xFF\x9B", "caf\xEF\xBF\xBD\xEF\xBF\xBD"},  // a raw C1 byte is no UTF-8
      {"\xE2\x80\x8F\xE6\x9B\xB4\xE6\x96\xB0", "\xE2\x80\x8F\xE6\x9B\xB4\xE6\x96\xB0"},
  };
  for (const auto& [raw, safe] : cases) {
    EXPECT_EQ(terminal_safe(raw), safe) << testing::PrintToString(raw);
  }
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

struct StepsCase {
  std::string name;
  std::vector<Step> steps;
  std::string output;  // after the header
  size_t started;
  bool completed;
};

TEST(ScriptOutput, StepsAdvanceOnTheScriptsOwnLinesInItsOrder) {
  // Any order in, the script's order kept.
  EXPECT_EQ(ScriptOutput({Step::Flatpak, Step::Apt}).steps(),
            (std::vector<Step>{Step::Apt, Step::Flatpak}));
  const StepsCase cases[] = {
      {"each on a line of its own",
       {Step::Flatpak, Step::Apt},
       "Updating apt packages...\nHit:1 http://deb.debian.org\n"
       "Updating Flatpak packages...\nNothing to do.\nUpdate complete.\n",
       2,
       true},
      {"out of order",
       {Step::Apt, Step::Dnf, Step::Flatpak},
       "Updating apt packages...\nUpdating Flatpak packages...\nUpdate complete.\n",
       1,
       false},
      {"with a trailing space",
       {Step::Apt, Step::Dnf},
       "Updating apt packages...\nUpdating dnf packages... \nUpdate complete.\n",
       1,
       false},
      {"with text after it",
       {Step::Apt, Step::Dnf},
       "Updating apt packages...\nUpdating dnf packages... done\nUpdate complete.\n",
       1,
       false},
      {"the same step twice",
       {Step::Apt, Step::Dnf},
       "Updating apt packages...\nUpdating apt packages...\nUpdate complete.\n",
       1,
       false},
      // The script's echo lands after what a program left unterminated.
      {"glued after unterminated output",
       {Step::Pacman, Step::Apt},
       "Updating pacman packages...\nresolving dependencies... done"
       "Updating apt packages...\nUpdate complete.\n",
       2,
       true},
      {"after a redraw",
       {Step::Apt, Step::Dnf},
       "Updating apt packages...\n50%\rUpdating dnf packages...\nUpdate complete.\n",
       2,
       true},
      {"after spaces left unterminated",
       {Step::Apt, Step::Dnf},
       "Updating apt packages...\n  Updating dnf packages...\nUpdate complete.\n",
       2,
       true},
  };
  for (const auto& c : cases) {
    const auto run = fed(c.steps, HEADER + c.output);
    EXPECT_EQ(run.started(), c.started) << c.name;
    EXPECT_EQ(run.completed(), c.completed) << c.name;
    EXPECT_EQ(run.finish(exited(0)).outcome, c.completed ? Outcome::Success : Outcome::Failed)
        << c.name;
  }
}

struct CompleteCase {
  std::string name;
  std::string output;  // after the header
  int status;
  Outcome outcome;
};

TEST(ScriptOutput, UpdateCompleteHoldsOnceTheLastStepBeganButOnlyStatusZeroSucceeds) {
  const std::string steps = "Updating apt packages...\nUpdating Flatpak packages...\n";
  const CompleteCase cases[] = {
      {"the last line", steps + "Update complete.\n", 0, Outcome::Success},
      // A daemon that a package started may go on writing.
      {"then a daemon's output", steps + "Update complete.\ndaemon: listening\n", 0,
       Outcome::Success},
      {"glued onto the last line", steps + "Nothing to do.Update complete.", 0, Outcome::Success},
      {"then a failure", steps + "Update complete.\n", 1, Outcome::Failed},
      {"then output and a failure", steps + "Update complete.\nerror\n", 1, Outcome::Failed},
      // Printed by a package while apt ran: not the script's.
      {"before the last step began",
       "Updating apt packages...\nUpdate complete.\nUpdating Flatpak packages...\n", 0,
       Outcome::Failed},
  };
  for (const auto& c : cases) {
    const auto run = fed({Step::Apt, Step::Flatpak}, HEADER + c.output);
    EXPECT_EQ(run.finish(exited(c.status)).outcome, c.outcome) << c.name;
  }
}

TEST(ScriptOutput, WarningsFromAptMakeASuccessWithWarnings) {
  const auto run =
      fed({Step::Apt}, HEADER + "Updating apt packages...\n" +
                           "W: Failed to fetch http://x/InRelease\nUpdate complete.\n");
  EXPECT_TRUE(run.warned());
  const Finish finish = run.finish(exited(0));
  EXPECT_EQ(finish.outcome, Outcome::SuccessWithWarnings);
  // Named, and found again: the step, the line and its words.
  EXPECT_EQ(finish.failed_step, Step::Apt);
  EXPECT_EQ(finish.failed_line, HEADER_LINES.size() + 1);
  EXPECT_EQ(finish.message, "W: Failed to fetch http://x/InRelease");
}

TEST(ScriptOutput, SudoFailingBeforeTheFirstStepIsAPasswordRefusal) {
  const auto run = fed({Step::Pacman, Step::Flatpak},
                       HEADER + "Sorry, try again.\nsudo: 1 incorrect password attempt\n");
  const Finish finish = run.finish(exited(1));
  EXPECT_EQ(finish.outcome, Outcome::PasswordRefused);
  EXPECT_EQ(finish.message, "Sorry, try again.\nsudo: 1 incorrect password attempt");
  // sudo's first and last lines: between them sudo complains of the closed
  // input, which contradicts the password that was typed.
  const std::pair<std::string, std::string> said[] = {
      {"Sorry, try again.\nsudo: no password was provided\nsudo: 1 incorrect password attempt\n",
       "Sorry, try again.\nsudo: 1 incorrect password attempt"},
      {"alice is not in the sudoers file.  This incident will be reported.\n",
       "alice is not in the sudoers file.  This incident will be reported."},
      {"\nEntschuldigung, versuchen Sie es noch einmal.\nsudo: Es wurde kein Passwort angegeben\n"
       "sudo: 1 Fehlversuch bei der Passwort-Eingabe\n",
       "Entschuldigung, versuchen Sie es noch einmal.\nsudo: 1 Fehlversuch bei der "
       "Passwort-Eingabe"},
      {"", ""},
  };
  for (const auto& [output, first] : said) {
    EXPECT_EQ(fed({Step::Apt}, HEADER + output).finish(exited(1)).message, first) << output;
  }
  // With only flatpak there is no sudo: the same failure is the step's.
  EXPECT_EQ(fed({Step::Flatpak}, HEADER + "error\n").finish(exited(1)).outcome, Outcome::Failed);
}

struct FailureCase {
  std::string name;
  std::vector<Step> steps;
  std::string output;  // after the header
  int status;
  Step step;
  size_t line;          // where Details opens
  std::string message;  // the step's first error line
};

TEST(ScriptOutput, AFailureNamesTheRunningStepAndItsFirstErrorLine) {
  const FailureCase cases[] = {
      {"pacman fails",
       {Step::Pacman, Step::Apt},
       "Updating pacman packages...\nerror: no usable package repositories configured.\n",
       1,
       Step::Pacman,
       3,
       "error: no usable package repositories configured."},
      // apt's line glued after pacman's unterminated output still begins apt.
      {"apt fails after pacman left its line open",
       {Step::Pacman, Step::Apt},
       "Updating pacman packages...\n:: Starting full system upgrade...\n"
       "resolving dependencies... doneUpdating apt packages...\nE: Could not get lock\n",
       100,
       Step::Apt,
       5,
       "E: Could not get lock"},
      // The first of apt's reasons, not the summary after it.
      {"apt's first error line",
       {Step::Apt},
       "Updating apt packages...\nReading package lists...\n"
       "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)\n"
       "N: Be aware that removing the lock file is not a solution and may break your system.\n"
       "E: Unable to acquire the dpkg frontend lock (/var/lib/dpkg/lock-frontend), is another "
       "process using it?\n",
       100,
       Step::Apt,
       4,
       "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)"},
      {"dpkg's error before apt's",
       {Step::Apt},
       "Updating apt packages...\nSetting up broken (2.0) ...\n"
       "dpkg: error processing package broken (--configure):\n"
       " installed broken package post-installation script subprocess returned error exit "
       "status 1\nErrors were encountered while processing:\n broken\n"
       "E: Sub-process /usr/bin/dpkg returned an error code (1)\n",
       100,
       Step::Apt,
       4,
       "dpkg: error processing package broken (--configure):"},
      // apt colours its "E:" on a terminal; the line is read without colours.
      {"coloured",
       {Step::Apt},
       "Updating apt packages...\n\x1B[1;31mE: \x1B[0mUnable to fetch some archives\n",
       100,
       Step::Apt,
       3,
       "E: Unable to fetch some archives"},
      // An error line before the step began is the earlier step's.
      {"flatpak's own",
       {Step::Apt, Step::Flatpak},
       "Updating apt packages...\nE: old news\nUpdating Flatpak packages...\n"
       "Looking for updates...\nerror: Unable to connect to system bus\n",
       1,
       Step::Flatpak,
       6,
       "error: Unable to connect to system bus"},
      {"dnf's",
       {Step::Dnf},
       "Updating dnf packages...\nError: Failed to download metadata for repo 'fedora'\n",
       1,
       Step::Dnf,
       3,
       "Error: Failed to download metadata for repo 'fedora'"},
      {"no error line: where the step began",
       {Step::Apt},
       "Updating apt packages...\nReading package lists...\n",
       100,
       Step::Apt,
       2,
       ""},
      // A package's output that reads like flatpak's step line, then apt
      // fails: flatpak never began.
      {"a package prints flatpak's line, then apt fails",
       {Step::Apt, Step::Flatpak},
       "Updating apt packages...\nSetting up chatty (1.0) ...\nUpdating Flatpak packages...\n"
       "dpkg: error processing package chatty (--configure):\n"
       "E: Sub-process /usr/bin/dpkg returned an error code (1)\n",
       100,
       Step::Apt,
       5,
       "dpkg: error processing package chatty (--configure):"},
      {"a package prints dnf's line, then apt fails",
       {Step::Apt, Step::Dnf, Step::Flatpak},
       "Updating apt packages...\nUpdating dnf packages...\n"
       "E: Sub-process /usr/bin/dpkg returned an error code (1)\n",
       100,
       Step::Apt,
       4,
       "E: Sub-process /usr/bin/dpkg returned an error code (1)"},
  };
  for (const auto& c : cases) {
    const ScriptOutput run = fed(c.steps, HEADER + c.output);
    const Finish finish = run.finish(exited(c.status));
    EXPECT_EQ(finish.outcome, Outcome::Failed) << c.name;
    EXPECT_EQ(finish.failed_step, c.step) << c.name;
    EXPECT_EQ(finish.exit_status, c.status) << c.name;
    EXPECT_EQ(finish.failed_line, c.line) << c.name;
    EXPECT_EQ(finish.message, c.message) << c.name;
    EXPECT_FALSE(finish.killed) << c.name;
    // The steps after the failed one did not begin.
    const auto at = std::find(run.steps().begin(), run.steps().end(), c.step);
    EXPECT_EQ(run.started(), static_cast<size_t>(at - run.steps().begin()) + 1) << c.name;
  }

  const Finish killed =
      fed({Step::Pacman}, HEADER + "Updating pacman packages...\n").finish(W_EXITCODE(0, SIGKILL));
  EXPECT_TRUE(killed.killed);
  EXPECT_EQ(killed.exit_status, 128 + SIGKILL);
}

// Lines read together belong each to the step it was printed in: a
// package's counter-shaped line before dnf's step line is apt's.
TEST(ScriptOutput, EachLineIsCreditedToTheStepItWasPrintedIn) {
  ScriptOutput run({Step::Apt, Step::Dnf});
  const auto lines = run.feed(HEADER +
                              "Updating apt packages...\n(1/2): chatty-1.0-1.x86_64.rpm  1 kB/s\n"
                              "Updating dnf packages...\nNothing to do.\n");
  ASSERT_EQ(lines.size(), 6U);
  const std::optional<Step> expected[] = {std::nullopt, std::nullopt, Step::Apt,
                                          Step::Apt,    Step::Dnf,    Step::Dnf};
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(run.step_at(i), expected[i]) << lines[i];
}

// debconf says on every package that it cannot ask: never the line shown
// as the update's latest.
TEST(ScriptOutput, DebconfsFallbackNoiseIsNeverTheLatestLine) {
  ScriptOutput run({Step::Apt});
  (void)run.feed(HEADER +
                 "Updating apt packages...\nSetting up tzdata (2024a-0+deb12u1) ...\n"
                 "debconf: unable to initialize frontend: Dialog\n"
                 "debconf: (No usable dialog-like program is installed, so the dialog "
                 "based frontend cannot be used. at /usr/share/perl5/Debconf/FrontEnd/"
                 "Dialog.pm line 78.)\n"
                 "debconf: falling back to frontend: Readline\n");
  EXPECT_EQ(run.latest(), "Setting up tzdata (2024a-0+deb12u1) ...");
  (void)run.feed("debconf: falling back to frontend: Teletype");
  EXPECT_EQ(run.latest(), "Setting up tzdata (2024a-0+deb12u1) ...");
  (void)run.feed("\nUnpacking libc6 ...");
  EXPECT_EQ(run.latest(), "Unpacking libc6 ...");
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

struct PlantedProgram {
  std::string name;
  std::function<void(const TempDir&)> plant;
  std::optional<Untrusted> refused;  // its path relative to the tree
};

TEST(ScriptPrograms, EverythingRootCouldFindUnderAScriptNameIsChecked) {
  REQUIRE_ROOT();
  using Why = Untrusted::Why;
  const auto link = [](const std::string& target, const std::string& at) {
    ASSERT_EQ(::symlink(target.c_str(), at.c_str()), 0) << at;
  };
  const PlantedProgram cases[] = {
      {"a root-owned apt, 0755", [](const TempDir& d) { test::write_file(d / "a/apt", "", 0755); },
       std::nullopt},
      // Not executable by the user, but root's shell runs it.
      {"apt 0722 first", [](const TempDir& d) { test::write_file(d / "a/apt", "", 0722); },
       Untrusted{"a/apt", Why::WritableByOthers}},
      {"a good apt first, an open one later",
       [](const TempDir& d) {
         test::write_file(d / "a/apt", "", 0755);
         test::write_file(d / "c/apt", "", 0777);
       },
       Untrusted{"c/apt", Why::WritableByOthers}},
      {"a directory named apt", [](const TempDir& d) { test::make_dir(d / "b/apt", 0775); },
       Untrusted{"b/apt", Why::WritableByOthers}},
      {"a FIFO named snap",
       [](const TempDir& d) {
         ASSERT_EQ(::mkfifo((d / "b/snap").c_str(), 0600), 0);
         test::set_mode(d / "b/snap", 0622);
       },
       Untrusted{"b/snap", Why::WritableByOthers}},
      {"a link to a user's file",
       [&](const TempDir& d) {
         test::make_dir(d / "home");
         test::write_file(d / "home/apt", "", 0755);
         ASSERT_EQ(::chown((d / "home/apt").c_str(), 1000, 1000), 0);
         link(d / "home/apt", d / "b/apt");
       },
       Untrusted{"home/apt", Why::OwnedBySomeoneElse}},
      {"a dangling link", [&](const TempDir& d) { link(d / "nowhere", d / "c/dnf"); },
       Untrusted{"nowhere", Why::Missing}},
      {"a PATH directory open to its group",
       [](const TempDir& d) { test::set_mode(d / "b", 0775); },
       Untrusted{"b", Why::WritableByOthers}},
      {"a name the script does not run",
       [](const TempDir& d) { test::write_file(d / "a/vim", "", 0777); }, std::nullopt},
  };
  for (const auto& c : cases) {
    const TempDir dir("/run");
    // A directory that is not there holds nothing to check.
    const std::vector<std::string> dirs = {dir / "a", dir / "missing", dir / "b", dir / "c"};
    for (const char* sub : {"a", "b", "c"}) test::make_dir(dir / sub);
    c.plant(dir);
    const auto fault = untrusted_script_program(dirs);
    if (!c.refused) {
      EXPECT_FALSE(fault.has_value()) << c.name << ": " << fault->path;
      continue;
    }
    ASSERT_TRUE(fault.has_value()) << c.name;
    EXPECT_EQ(fault->path, dir / c.refused->path) << c.name;
    EXPECT_EQ(fault->why, c.refused->why) << c.name;
  }
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

// A log as a run directory makes one: new, appended to, readable.
UniqueFd new_log(const std::string& path) {
  return UniqueFd(
      ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

// An update started as the window starts one: in a run directory of its
// own, which this test holds as the window does, under the real monitor.
struct Monitored {
  explicit Monitored(const std::string& base) : run(std::move(RunDir::make(base).value())) {}
  Result<StartedUpdate, OsError> start(std::string_view script,
                                       const std::vector<std::string>& environment = {},
                                       int held = -1, const std::string& bash = "/usr/bin/bash") {
    auto log = run.create_log();
    if (!log) return log.error();
    const UniqueFd dir(::openat(run.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return start_update(SORVANE_CORE_MONITOR, bash, script, log.value().get(), dir.get(),
                        environment, {}, held);
  }
  // The monitor's end, then the status it recorded.
  std::optional<RunStatus> ended(StartedUpdate& update) const {
    (void)update.monitor.wait_until();
    return recorded_status(run.fd(), ::geteuid());
  }
  [[nodiscard]] std::string log() const { return test::read_file(run.path() + "/update.log"); }
  RunDir run;
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

TEST(UpdateProcess, RunsTheSealedScriptInACleanChildThatKeepsItsInputToItself) {
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = [&] {
    const CarelessWindow careless(077);
    return monitored.start(SELF_REPORT, {"HOME=/home/u", "LANG=C.UTF-8"});
  }();
  ASSERT_TRUE(started.ok()) << started.error().text();
  StartedUpdate& update = started.value();

  // Another process of the user cannot open the script's input.
  const std::string input_link = "/proc/" + std::to_string(update.pid) + "/fd/0";
  EXPECT_LT(::open(input_link.c_str(), O_RDONLY | O_CLOEXEC), 0);
  EXPECT_EQ(errno, ENXIO);

  EXPECT_FALSE(send_password(update, "pass word").has_value());
  const auto status = monitored.ended(update);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->wait_status, 0);
  EXPECT_EQ(unread_input(update), 0U);
  EXPECT_EQ(monitored.log(),
            "input=pass word\n"
            "umask=0022\n"
            "cwd=/\n"
            "env=HOME=/home/u LANG=C.UTF-8 \n"
            "fds=0 1 2 255 3\n"
            "own session, no terminal\n"
            "SigBlk:\t0000000000000000\n"
            "SigIgn:\t0000000000000000\n"
            "script sealed\n");
}

// The monitor keeps the descriptors the update lives by: the script never
// sees the inhibitor, the log or the run, and whatever the script leaves
// running (a daemon a package starts, holding the pipe) keeps none of
// them: once the script ended the claim is gone and the inhibitor closed.
TEST(UpdateProcess, WhatTheScriptLeavesBehindKeepsNoClaim) {
  const TempDir dir;
  std::array<int, 2> held{};
  ASSERT_EQ(::pipe2(held.data(), O_CLOEXEC), 0);
  const UniqueFd held_read(held[0]);
  UniqueFd held_write(held[1]);
  Monitored monitored(dir.path());
  auto started = monitored.start(
      "ls /proc/$$/fd | tr '\\n' ' '; echo\n"
      "(trap '' HUP; exec sleep 600) & echo \"daemon $!\"\n"
      "echo 'Update complete.'\n",
      {}, held_write.get());
  ASSERT_TRUE(started.ok()) << started.error().text();
  held_write.reset();
  const auto status = monitored.ended(started.value());
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->wait_status, 0);
  const std::string log = monitored.log();
  EXPECT_TRUE(log.starts_with("0 1 2 255 3 \ndaemon ")) << log;
  const pid_t daemon = std::stoi(log.substr(log.find("daemon ") + 7));
  // The daemon still runs and holds the pipe, yet nothing runs any more.
  EXPECT_EQ(::kill(daemon, 0), 0);
  EXPECT_FALSE(running_update_log(dir.path(), ::geteuid()).has_value());
  std::array<char, 1> byte{};
  EXPECT_EQ(::read(held_read.get(), byte.data(), byte.size()), 0);  // closed by everyone
  ::kill(daemon, SIGKILL);
}

// Only the recorded status tells how the update ended: a manager killed
// after a package printed the script's last line is a failure; a status
// file planted, linked or foreign is no status at all.
TEST(UpdateProcess, TheRecordedStatusIsTheOnlyEnd) {
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = monitored.start(
      "echo 'Starting system update...'\necho 'Updating apt packages...'\n"
      "bash -c 'echo \"Update complete.\"; kill -KILL $$'\nexit $?\n");
  ASSERT_TRUE(started.ok()) << started.error().text();
  const auto status = monitored.ended(started.value());
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(status->wait_status));
  EXPECT_EQ(WEXITSTATUS(status->wait_status), 137);
  EXPECT_NE(monitored.log().find("\nUpdate complete.\n"), std::string::npos) << monitored.log();
  EXPECT_LE(status->started, status->ended);
  // Read as the next start reads it, once the window is closed.
  ::flock(monitored.run.fd(), LOCK_UN);
  const auto last = unshown_run(dir.path(), ::geteuid());
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->wait_status, status->wait_status);
  const PastUpdate past =
      read_past_update(last->log.get(), last->wait_status, last->started, last->ended, "/");
  EXPECT_EQ(past.finish.outcome, Outcome::Failed);
  EXPECT_EQ(past.finish.failed_step, Step::Apt);
  // The monitor creates it, never over one that is there.
  EXPECT_TRUE(record_status(monitored.run.fd(), {}).has_value());

  const uid_t me = ::geteuid();
  const std::string good = "wait-status 0\nstarted 1\nended 2\n";
  const struct {
    const char* name;
    std::string contents;
    mode_t mode;
    bool link;
    bool other_owner;
    bool believed;
  } cases[] = {
      {"as the monitor writes it", good, 0400, false, false, true},
      {"writable", good, 0600, false, false, false},
      {"a link to a good one", good, 0400, true, false, false},
      {"another user's", good, 0400, false, true, false},
      {"cut short", "wait-status 0\nstarted 1\n", 0400, false, false, false},
      {"with more after it", good + "x", 0400, false, false, false},
      {"not a number", "wait-status zero\nstarted 1\nended 2\n", 0400, false, false, false},
      {"empty", "", 0400, false, false, false},
  };
  for (const auto& c : cases) {
    const TempDir run;
    const std::string target = c.link ? run.path() + "/elsewhere" : run.path() + "/update.status";
    test::write_file(target, c.contents, c.mode);
    if (c.link) {
      ASSERT_EQ(::symlink("elsewhere", (run.path() + "/update.status").c_str()), 0);
    }
    // Only root can give a file away.
    if (c.other_owner && me != 0) continue;
    if (c.other_owner) {
      ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    }
    const UniqueFd fd(::open(run.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    EXPECT_EQ(recorded_status(fd.get(), me).has_value(), c.believed) << c.name;
  }
}

TEST(UpdateProcess, APasswordNobodyReadIsSeenAndDrained) {
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = monitored.start("sleep 0.2\n");
  ASSERT_TRUE(started.ok());
  EXPECT_FALSE(send_password(started.value(), "secret").has_value());
  EXPECT_EQ(unread_input(started.value()), 7U);
  drain_unread_input(started.value());
  EXPECT_EQ(unread_input(started.value()), 0U);
  EXPECT_EQ(monitored.ended(started.value())->wait_status, 0);
}

TEST(UpdateProcess, WithNoPasswordAQuestionStillSeesTheEnd) {
  // Under a NOPASSWD rule nothing is written, and a manager that asks must
  // not wait for ever.
  const TempDir dir;
  Monitored monitored(dir.path());
  auto started = monitored.start("read -r answer\necho \"read=$?\"\n");
  ASSERT_TRUE(started.ok());
  EXPECT_FALSE(end_input(started.value()).has_value());
  EXPECT_EQ(monitored.ended(started.value())->wait_status, 0);
  EXPECT_EQ(monitored.log(), "read=1\n");
}

// A flood with no window reading: the monitor keeps the log within its
// cap on disk, and every reader of it stays bounded.
TEST(UpdateLog, AFloodNobodyReadsStaysWithinTheCap) {
  const TempDir dir;
  Monitored monitored(dir.path());
  constexpr std::uint64_t MIB = std::uint64_t{1} << 20;
  auto started = monitored.start(
      "echo 'Starting system update...'\n"
      "head -c 64M /dev/zero | tr '\\0' x\necho\necho 'the last words'\n");
  ASSERT_TRUE(started.ok()) << started.error().text();
  ASSERT_TRUE(monitored.ended(started.value()).has_value());
  const std::string path = monitored.run.path() + "/update.log";
  const struct stat st = test::stat_of(path);
  EXPECT_GT(static_cast<std::uint64_t>(st.st_size), 64 * MIB);
  EXPECT_LE(static_cast<std::uint64_t>(st.st_blocks) * 512, LogCap::MAX_ON_DISK);
  const UniqueFd log(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  EXPECT_GE(dropped_bytes(log.get()), 64 * MIB - LogCap::MAX_ON_DISK);
  const std::string text = log_as_text(log.get());
  EXPECT_LE(text.size(), MAX_LOG_TEXT + 64);
  EXPECT_TRUE(text.starts_with("Starting system update...\n"));
  EXPECT_TRUE(text.ends_with("the last words\n"));
  // A window reading it passes over what was dropped.
  UpdateLog reader{UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))};
  std::string chunk;
  std::string last;
  std::uint64_t read = 0;
  do {
    ASSERT_FALSE(reader.read_some(chunk, 64 * 1024).has_value());
    read += chunk.size();
    if (!chunk.empty()) last = chunk;
  } while (!chunk.empty());
  EXPECT_LE(read, LogCap::MAX_ON_DISK);
  EXPECT_TRUE(last.ends_with("the last words\n"));
}

TEST(UpdateProcess, AProgramThatCannotStartIsAnError) {
  const TempDir dir;
  Monitored monitored(dir.path());
  const auto missing = monitored.start("true\n", {}, -1, dir.path() + "/no-bash");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code(), ENOENT);
  // Nothing ran: no status, and the claim went with the monitor.
  EXPECT_FALSE(recorded_status(monitored.run.fd(), ::geteuid()).has_value());
  EXPECT_FALSE(running_update_log(dir.path(), ::geteuid()).has_value());
  const UniqueFd log = new_log(dir.path() + "/log");
  EXPECT_EQ(start_update(SORVANE_CORE_MONITOR, "/usr/bin/bash", "true\n", log.get(), -1, {})
                .error()
                .code(),
            EBADF);
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
  if (!test::exists("/usr/bin/strace")) GTEST_SKIP() << "strace is not installed";
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

TEST(Installation, ALinkTargetThatMayBeCutShortIsRefused) {
  const TempDir dir;
  struct Case {
    size_t length;
    size_t capacity;
    int error;  // 0: read whole
  };
  const Case cases[] = {
      {1, 2, 0}, {99, 100, 0}, {100, 100, ENAMETOOLONG}, {4000, 64, ENAMETOOLONG}};
  for (const Case& c : cases) {
    const std::string target(c.length, 'x');
    const std::string link =
        dir / ("link" + std::to_string(c.length) + "-" + std::to_string(c.capacity));
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const auto read = link_target(link.c_str(), c.capacity);
    if (c.error == 0) {
      ASSERT_TRUE(read.ok()) << read.error().text();
      EXPECT_EQ(read.value(), target);
    } else {
      ASSERT_FALSE(read.ok());
      EXPECT_EQ(read.error().code(), c.error);
    }
  }
  EXPECT_EQ(link_target((dir / "missing").c_str(), 100).error().code(), ENOENT);
  EXPECT_EQ(link_target(dir.path().c_str(), 100).error().code(), EINVAL);
  const auto self = own_executable();
  ASSERT_TRUE(self.ok());
  EXPECT_TRUE(self.value().ends_with("/sorvane_tests")) << self.value();
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

  std::string path;
  {
    const auto made = RunDir::make(dir / "runtime");
    ASSERT_TRUE(made.ok());
    path = made.value().path();
    EXPECT_TRUE(path.starts_with(dir / "runtime/sorvane-update-"));
    EXPECT_EQ(test::stat_of(path).st_mode & 07777, 0700U);
  }
  EXPECT_FALSE(test::exists(path));  // not kept: gone with its owner
  {
    auto kept = RunDir::make(dir / "runtime");
    ASSERT_TRUE(kept.ok());
    path = kept.value().path();
    ASSERT_TRUE(kept.value().create_log().ok());
    kept.value().keep();
  }
  EXPECT_EQ(test::list_dir(path), std::vector<std::string>{"update.log"});
}

TEST(RunDir, ALogIsAlwaysANewFileNothingPlantedCanStandIn) {
  const TempDir dir;
  auto made = RunDir::make(dir.path());
  ASSERT_TRUE(made.ok());
  const RunDir& run = made.value();
  {
    const auto log = run.create_log();
    ASSERT_TRUE(log.ok());
    EXPECT_EQ(test::stat_of(run.path() + "/update.log").st_mode & 07777, 0600U);
    // The script appends; the window reads the same descriptor.
    ASSERT_EQ(::write(log.value().get(), "line\n", 5), 5);
    std::array<char, 8> back{};
    EXPECT_EQ(::pread(log.value().get(), back.data(), back.size(), 0), 5);
  }
  // Never opened again by name: a second log, a FIFO or a link there is
  // refused at once (a FIFO opened for writing would block).
  const std::pair<std::string, std::function<void()>> plants[] = {
      {"an earlier log", [&] { test::write_file(run.path() + "/update.log", "earlier"); }},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifoat(run.fd(), "update.log", 0666), 0); }},
      {"a link", [&] { ASSERT_EQ(::symlinkat("/etc/passwd", run.fd(), "update.log"), 0); }},
  };
  for (const auto& [name, plant] : plants) {
    ::unlinkat(run.fd(), "update.log", 0);
    plant();
    const auto again = run.create_log();
    ASSERT_FALSE(again.ok()) << name;
    EXPECT_EQ(again.error().code(), EEXIST) << name;
  }
}

TEST(RunDir, OnlyRunsNoOneClaimsAreCleared) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  const auto make_old = [&](const std::string& path) {
    const std::array<timespec, 2> two_minutes_ago = {{{0, UTIME_OMIT}, {::time(nullptr) - 120, 0}}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), two_minutes_ago.data(), 0), 0);
  };
  const auto run = [&](const std::string& name, const std::string& extra = "") {
    test::make_dir(dir / name, 0700);
    test::write_file(dir / name + "/update.log", "log");
    if (!extra.empty()) test::write_file(dir / name + "/" + extra, "not ours");
    make_old(dir / name);
  };
  run("sorvane-update-gone");
  run("sorvane-update-extra", "kept");
  run("other-name");
  test::make_dir(dir / "sorvane-update-never", 0700);  // no log at all
  make_old(dir / "sorvane-update-never");
  // A FIFO planted as the log must not hang the start that looks at it.
  test::make_dir(dir / "sorvane-update-fifo", 0700);
  ASSERT_EQ(::mkfifo((dir / "sorvane-update-fifo/update.log").c_str(), 0600), 0);
  make_old(dir / "sorvane-update-fifo");

  // An update that goes on after its window: the script's output holds
  // the log's claim.
  std::string running;
  std::optional<UniqueFd> script_output;
  {
    auto attempt = RunDir::make(dir.path());
    ASSERT_TRUE(attempt.ok());
    running = attempt.value().path();
    script_output.emplace(std::move(attempt.value().create_log().value()));
    attempt.value().keep();
  }
  make_old(running);
  // A window that is still open, however long it has waited.
  auto window = RunDir::make(dir.path());
  ASSERT_TRUE(window.ok());
  make_old(window.value().path());
  // Just made: its claim may not be taken yet.
  test::make_dir(dir / "sorvane-update-new", 0700);
  test::make_dir(dir / "target", 0700);
  ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / "sorvane-update-link").c_str()), 0);

  clear_stale_run_dirs(dir.path(), me);
  const auto name_of = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
  std::vector<std::string> expected = {
      "other-name", "sorvane-update-extra", "sorvane-update-link",         "sorvane-update-new",
      "target",     name_of(running),       name_of(window.value().path())};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(test::list_dir(dir.path()), expected);
  EXPECT_EQ(test::list_dir(dir / "sorvane-update-extra"), std::vector<std::string>{"kept"});

  // Once the update is over, its directory goes too.
  script_output.reset();
  clear_stale_run_dirs(dir.path(), me);
  EXPECT_FALSE(test::exists(running));
  EXPECT_TRUE(test::exists(window.value().path()));
}

TEST(RunDir, LogsAreKeptInTheUsersOwnStateDirectory) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  const std::string fallback = dir / "runtime";
  test::make_dir(dir / "home", 0700);
  test::make_dir(dir / "shared", 0755);
  test::make_dir(dir / "shared/sorvane", 0755);
  test::make_dir(dir / "elsewhere", 0700);
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "linked").c_str()), 0);
  test::make_dir(dir / "linked-state", 0700);
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "linked-state/sorvane").c_str()), 0);
  struct Row {
    const char* name;
    std::optional<std::string> state;
    std::optional<std::string> home;
    std::string expected;
  };
  const Row rows[] = {
      {"XDG_STATE_HOME", dir / "state", dir / "home", dir / "state/sorvane"},
      {"HOME's default", std::nullopt, dir / "home", dir / "home/.local/state/sorvane"},
      {"a relative XDG_STATE_HOME is ignored", "state", dir / "home",
       dir / "home/.local/state/sorvane"},
      {"neither", std::nullopt, std::nullopt, fallback},
      {"a relative HOME", std::nullopt, "home", fallback},
      {"others may enter it", dir / "shared", dir / "home", fallback},
      {"a link", dir / "linked-state", dir / "home", fallback},
      {"cannot be made", "/proc/sorvane-state", dir / "home", fallback},
  };
  for (const Row& row : rows) {
    const std::string got = log_base(row.state ? row.state->c_str() : nullptr,
                                     row.home ? row.home->c_str() : nullptr, me, fallback);
    EXPECT_EQ(got, row.expected) << row.name;
    if (got != fallback) {
      EXPECT_EQ(test::stat_of(got).st_mode & 07777, 0700U) << row.name;
    }
  }
  // Every level it made is private; the ones there before are left alone.
  EXPECT_EQ(test::stat_of(dir / "home/.local").st_mode & 07777, 0700U);
  EXPECT_EQ(test::stat_of(dir / "shared/sorvane").st_mode & 07777, 0755U);
  EXPECT_TRUE(test::list_dir(dir / "elsewhere").empty());
}

// A finished run in `base`, its log last written `age` seconds ago.
std::string finished_run(const std::string& base, const std::string& name, time_t age) {
  const std::string run = join(base, name);
  test::make_dir(run, 0700);
  test::write_file(run + "/update.log", "Starting system update...\n", 0600);
  const std::array<timespec, 2> then = {{{0, UTIME_OMIT}, {::time(nullptr) - age, 0}}};
  EXPECT_EQ(::utimensat(AT_FDCWD, (run + "/update.log").c_str(), then.data(), 0), 0);
  EXPECT_EQ(::utimensat(AT_FDCWD, run.c_str(), then.data(), 0), 0);
  return run;
}

TEST(RunDir, FinishedRunsAreKeptTheLastTenOrThirtyDays) {
  constexpr time_t DAY = 24 * 60 * 60;
  struct Row {
    const char* name;
    std::vector<time_t> ages;  // in days, of run 0, 1, ...
    std::vector<size_t> removed;
  };
  const Row rows[] = {
      {"ten at most, once they are old",
       {1, 2, 3, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49},
       {10, 11, 12}},
      {"a month's are all kept", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 29}, {}},
      {"the newest ten, however old", {100, 200, 300}, {}},
      {"past ten and the month", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 31}, {11}},
  };
  for (const Row& row : rows) {
    const TempDir dir;
    std::vector<std::string> runs;
    for (size_t i = 0; i < row.ages.size(); ++i) {
      runs.push_back(
          finished_run(dir.path(), "sorvane-update-" + std::to_string(i), row.ages[i] * DAY));
    }
    // However old, one whose update runs on, or whose window is open, stays.
    const std::string running = finished_run(dir.path(), "sorvane-update-running", 90 * DAY);
    const UniqueFd output(::open((running + "/update.log").c_str(), O_RDWR | O_CLOEXEC));
    ASSERT_EQ(::flock(output.get(), LOCK_EX), 0);
    clear_old_runs(dir.path(), ::geteuid(), ::time(nullptr));
    for (size_t i = 0; i < runs.size(); ++i) {
      const bool removed =
          std::find(row.removed.begin(), row.removed.end(), i) != row.removed.end();
      EXPECT_EQ(test::exists(runs[i]), !removed) << row.name << ": run " << i;
    }
    EXPECT_TRUE(test::exists(running)) << row.name;
  }
}

TEST(RunDir, TheLastRunIsToldOfOnceItsEndWasNeverShown) {
  const TempDir dir;
  const uid_t me = ::geteuid();
  EXPECT_FALSE(unshown_run(dir.path(), me).has_value());
  finished_run(dir.path(), "sorvane-update-older", 3600);
  const std::string newer = finished_run(dir.path(), "sorvane-update-newer", 60);
  // Still written to: not finished, so not the last run.
  const std::string running = finished_run(dir.path(), "sorvane-update-running", 0);
  UniqueFd output(::open((running + "/update.log").c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_EQ(::flock(output.get(), LOCK_EX), 0);

  auto last = unshown_run(dir.path(), me);
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->log_path, newer + "/update.log");
  EXPECT_EQ(last->ended, test::stat_of(newer + "/update.log").st_mtime);
  EXPECT_EQ(last->started, test::stat_of(newer).st_mtime);
  // Told once: the older one behind it is never told of.
  mark_shown(last->log.get());
  EXPECT_EQ(test::stat_of(newer + "/update.log").st_mode & 07777, 0400U);
  EXPECT_FALSE(unshown_run(dir.path(), me).has_value());
  // The running one, once over, is the last run.
  output.reset();
  last = unshown_run(dir.path(), me);
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->log_path, running + "/update.log");
}

TEST(UpdateLogText, TheWholeLogAsTheWindowShowsIt) {
  const TempDir dir;
  const UniqueFd log(::open((dir / "log").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  const std::string head =
      std::string("Starting\n\x1B[1;32mok\x1B[0m done\n10%\r100%\nnul") + '\0' + "byte\n";
  ASSERT_EQ(::write(log.get(), head.data(), head.size()), static_cast<ssize_t>(head.size()));
  // What the window let go of while following reads as a hole.
  constexpr off_t GAP = off_t{4} << 20;
  const std::string tail = "\nlast line";
  ASSERT_EQ(::pwrite(log.get(), tail.data(), tail.size(), GAP), static_cast<ssize_t>(tail.size()));
  EXPECT_EQ(log_as_text(log.get()), "Starting\nok done\n100%\nnulbyte\n\nlast line\n");
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
