// What the update script's output says about its progress. The script
// prints "Updating <manager> packages..." before each manager and
// "Update complete." at its end; everything between is the managers' own
// output. A step counts on a line that is, or ends with, the next step's
// line: the script's echo follows whatever a program left unterminated.
// Steps count only in the script's order, one after the other, so a
// package's own output cannot skip ahead or fake the end before the last
// step. The outcome rests on the exit status: output alone never means
// success.
//
// A package may print a later step's line itself. Such a line is found out
// when the step before it goes on failing in its own words (apt's "E:" or
// dpkg's "dpkg: error", which no other manager prints): the later step had
// not begun, and counts again when the script prints its line. The steps
// after sudo (flatpak's) need no such guess: the monitor counts the lines
// like theirs that came while sudo ran (SudoLines), and so many are passed
// over.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "managers.hpp"

namespace sorvane::gui {

inline constexpr std::string_view COMPLETE_LINE = "Update complete.";
// What the script prints before anything else.
inline constexpr std::array<std::string_view, 2> HEADER_LINES = {"Starting system update...", ""};

enum class Outcome : std::uint8_t {
  Success,
  SuccessWithWarnings,  // exit 0, but apt printed "W:" or "E:" lines
  PasswordRefused,      // sudo failed before the first privileged step
  Failed,
};

struct Finish {
  Outcome outcome;
  // The step that was running, for Failed; the one that warned first, for
  // SuccessWithWarnings.
  std::optional<Step> failed_step;
  int exit_status = 0;  // the script's status, or 128 + the signal
  bool killed = false;  // for Failed: ended by a signal
  // The line number (from 0) Details opens at: for Failed, the failed
  // step's first error line, or where it began; the warning.
  size_t failed_line = 0;
  // For PasswordRefused: sudo's first and last lines, unparsed; for
  // SuccessWithWarnings: the first warning line, as shown; for Failed: the
  // failed step's first error line (error_line() below), if it printed one.
  std::string message;
};

// A line in which `step`'s manager reports an error: apt's "E:" or dpkg's
// "dpkg: error", pacman's, snap's and flatpak's "error:", dnf's "Error:".
// Colours are removed first.
bool is_error_line(Step step, std::string_view line);

class ScriptOutput {
 public:
  // `steps`: the managers the script will update, in any order.
  explicit ScriptOutput(const std::vector<Step>& steps);

  // Takes output as it arrives; returns the lines it completed, each made
  // displayable (terminal_text.hpp). A line longer than MAX_LINE_BYTES is
  // cut there, so no output can grow the pending line without bound.
  std::vector<std::string> feed(std::string_view bytes);
  // At the end of the output: the last line if it had no line feed.
  std::vector<std::string> flush();

  [[nodiscard]] const std::vector<Step>& steps() const { return steps_; }
  // How many steps have begun; the last of them is running until the end.
  [[nodiscard]] size_t started() const { return started_; }
  // The latest line of output, unfinished or not, without colours;
  // debconf's complaints that it cannot ask are passed over.
  [[nodiscard]] std::string latest() const;
  [[nodiscard]] bool warned() const { return warned_; }
  // A line since the last step began is, or ends with, "Update complete.".
  [[nodiscard]] bool completed() const { return completed_; }
  [[nodiscard]] size_t line_count() const { return line_count_; }
  // The line number where the index-th step began, once it has.
  [[nodiscard]] std::optional<size_t> step_began_at(size_t index) const {
    return index < step_lines_.size() ? std::optional(step_lines_[index]) : std::nullopt;
  }
  // The step a line (by its number) was printed in; nothing before the
  // first. A step's own line belongs to it.
  [[nodiscard]] std::optional<Step> step_at(size_t line) const;
  // The running step's first error line since it began: its number, and
  // the line as shown without colours.
  [[nodiscard]] std::optional<std::pair<size_t, std::string>> error_line() const {
    return started_ == 0 ? std::nullopt : step_errors_[started_ - 1];
  }

  // How the run ended, from the wait status of the script.
  [[nodiscard]] Finish finish(int wait_status) const;

  // The first `count` lines that read as the start of a step after sudo
  // were printed while sudo ran: none of them starts that step, and one
  // that did before this was known starts it no more. Told once, before
  // any line the script printed after sudo is fed.
  void pass_over_sudo_lines(size_t count);

  static constexpr size_t MAX_LINE_BYTES = size_t{64} * 1024;
  // How much of sudo's message is kept (it is a line or two).
  static constexpr size_t MAX_MESSAGE_LINES = 16;

 private:
  std::string complete_line(std::string_view raw);
  void take_error(size_t number, const std::string& line);
  // What the running step's manager says of a line: a warning it exits 0
  // after, or no news of how it goes.
  [[nodiscard]] bool is_warning(std::string_view line) const;
  [[nodiscard]] bool is_noise(std::string_view line) const;

  std::vector<Step> steps_;  // in the script's order
  std::vector<size_t> step_lines_;
  size_t started_ = 0;
  bool completed_ = false;
  bool warned_ = false;
  size_t warning_line_ = 0;
  std::optional<Step> warning_step_;
  std::string warning_;
  size_t line_count_ = 0;
  std::string pending_;
  std::string latest_;
  std::vector<std::string> before_steps_;
  std::vector<std::optional<std::pair<size_t, std::string>>> step_errors_;  // by step
  size_t sudo_lines_seen_ = 0;        // lines like a step's after sudo
  std::optional<size_t> sudo_lines_;  // how many of them came while sudo ran
};

// A line that reads as the start of a step the script runs after sudo.
bool is_after_sudo_step_line(std::string_view line);

// Counts the lines of output that read as the start of a step after sudo,
// cut into lines as ScriptOutput cuts them (NUL bytes, which readers drop,
// left out), so that a reader of the same output counts the same.
class SudoLines {
 public:
  void feed(std::string_view bytes);
  [[nodiscard]] size_t count() const { return count_; }

 private:
  std::string tail_;   // the end of the unfinished line, as long as a step's line
  size_t length_ = 0;  // of the unfinished line
  size_t count_ = 0;
};

}  // namespace sorvane::gui
