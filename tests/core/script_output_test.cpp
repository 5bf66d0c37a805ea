#include "script_output.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include "managers.hpp"
#include "test_support.hpp"

namespace sorvane::gui {
namespace {

using test::exited;

// Feeds a whole output and returns the parser for its questions.
ScriptOutput fed(const std::vector<Step>& steps, const std::string& output) {
  ScriptOutput parsed(steps);
  (void)parsed.feed(output);
  (void)parsed.flush();
  return parsed;
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
  // apt exits with 0 after either of them.
  for (const std::string warning :
       {"W: Failed to fetch http://x/InRelease", "E: Some index files failed to download"}) {
    const auto run =
        fed({Step::Apt}, HEADER + "Updating apt packages...\n" + warning + "\nUpdate complete.\n");
    EXPECT_TRUE(run.warned()) << warning;
    const Finish finish = run.finish(exited(0));
    EXPECT_EQ(finish.outcome, Outcome::SuccessWithWarnings);
    // Named, and found again: the step, the line and its words.
    EXPECT_EQ(finish.failed_step, Step::Apt);
    EXPECT_EQ(finish.failed_line, HEADER_LINES.size() + 1);
    EXPECT_EQ(finish.message, warning);
  }
  // apt's words only: the same in flatpak's step are its output.
  const auto flatpaks =
      fed({Step::Apt, Step::Flatpak}, HEADER +
                                          "Updating apt packages...\nUpdating Flatpak packages...\n"
                                          "W: a flatpak line\nUpdate complete.\n");
  EXPECT_FALSE(flatpaks.warned());
  EXPECT_EQ(flatpaks.finish(exited(0)).outcome, Outcome::Success);
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

// The monitor counts the flatpak-like lines printed while sudo ran; a
// reader passes over as many. Both must cut the output into the same
// lines, whatever pieces it came in: NUL bytes left out, a line cut at the
// bound, the script's line glued to an unfinished one.
TEST(ScriptOutput, TheMonitorCountsTheLinesAReaderPassesOver) {
  constexpr size_t MAX = ScriptOutput::MAX_LINE_BYTES;
  const std::string flatpak = "Updating Flatpak packages...";
  const struct {
    const char* name;
    std::string output;
    size_t counted;
  } cases[] = {
      {"none", "Updating apt packages...\nSetting up x\n", 0},
      {"a package's, twice", flatpak + "\nx\n" + flatpak + "\n", 2},
      {"at the end of a line", "50%" + flatpak + "\n", 1},
      {"unfinished: not yet a line", "x\n" + flatpak, 0},
      {"with NUL bytes in it", std::string("Updating\0 Flatpak packages...\0\n", 31), 1},
      {"where a long line is cut", std::string(MAX - flatpak.size(), 'x') + flatpak + "tail\n", 1},
      {"split by the cut", std::string(MAX - 5, 'x') + flatpak + "\n", 0},
      {"not the step's own words", "Updating Flatpak packages... done\n", 0},
  };
  for (const auto& c : cases) {
    for (const size_t piece : {size_t{1}, size_t{7}, c.output.size()}) {
      SudoLines counted;
      for (size_t at = 0; at < c.output.size(); at += piece) {
        counted.feed(std::string_view(c.output).substr(at, piece));
      }
      EXPECT_EQ(counted.count(), c.counted) << c.name << ", pieces of " << piece;
    }
    // A reader told that count never begins flatpak on them; the script's
    // own line after them begins it.
    std::string read = c.output;
    std::erase(read, '\0');
    ScriptOutput reader({Step::Apt, Step::Flatpak});
    (void)reader.feed(HEADER + "Updating apt packages...\n");
    reader.pass_over_sudo_lines(c.counted);
    (void)reader.feed(read);
    EXPECT_EQ(reader.started(), 1U) << c.name;
    (void)reader.feed("\n" + flatpak + "\n");
    EXPECT_EQ(reader.started(), 2U) << c.name;
  }
  // Told late, after a package's line began flatpak: it begins no more.
  ScriptOutput late({Step::Apt, Step::Flatpak});
  (void)late.feed(HEADER + "Updating apt packages...\n" + flatpak + "\nUpdate complete.\n");
  EXPECT_EQ(late.started(), 2U);
  late.pass_over_sudo_lines(1);
  EXPECT_EQ(late.started(), 1U);
  EXPECT_FALSE(late.completed());
  EXPECT_EQ(late.finish(W_EXITCODE(137, 0)).failed_step, Step::Apt);
}

TEST(ScriptOutput, AnEndlessLineIsCutNotHeld) {
  // Cut at the bound, whether or not a line feed ends it in the same piece.
  constexpr size_t MAX = ScriptOutput::MAX_LINE_BYTES;
  for (const std::string end : {"", "\n"}) {
    ScriptOutput parsed({Step::Apt});
    auto lines = parsed.feed(std::string(MAX * 2 + 10, 'x') + end);
    for (auto& line : parsed.flush()) lines.push_back(std::move(line));
    std::vector<size_t> sizes;
    for (const auto& line : lines) sizes.push_back(line.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{MAX, MAX, 10})) << end.size();
  }
}

}  // namespace
}  // namespace sorvane::gui
