#include "script_output.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <utility>

#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

// apt reports a failed download or a held package this way, and still
// exits with 0.
bool is_warning(std::string_view line) {
  return line.starts_with("W:") || line.starts_with("E:");
}

}  // namespace

ScriptOutput::ScriptOutput(const std::vector<Step>& steps) : steps_(steps) {
  std::sort(steps_.begin(), steps_.end());
  steps_.erase(std::unique(steps_.begin(), steps_.end()), steps_.end());
}

std::string ScriptOutput::complete_line(std::string_view raw) {
  // The script's own lines are matched as written, before any cleaning. A
  // program may leave its last line unterminated (or end on a redraw), and
  // the script's echo then lands at the end of that line: so a line that
  // ends with the expected text counts.
  const size_t number = line_count_++;
  // "Update complete." counts only once the last step has begun; whatever
  // that step started may go on writing after it.
  if (started_ == steps_.size() && raw.ends_with(COMPLETE_LINE)) completed_ = true;
  if (started_ < steps_.size() && raw.ends_with(step_line(steps_[started_]))) {
    step_lines_.push_back(number);
    ++started_;
  }
  std::string shown = displayable_line(raw);
  latest_ = without_colours(shown);
  if (!warned_ && is_warning(latest_)) {
    warned_ = true;
    warning_line_ = number;
    if (started_ > 0) warning_step_ = steps_[started_ - 1];
    warning_ = latest_;
  }
  const bool header = number < HEADER_LINES.size() && raw == HEADER_LINES.at(number);
  if (started_ == 0 && !header && before_steps_.size() < MAX_MESSAGE_LINES) {
    before_steps_.push_back(latest_);
  }
  return shown;
}

std::vector<std::string> ScriptOutput::feed(std::string_view bytes) {
  std::vector<std::string> lines;
  while (!bytes.empty()) {
    const size_t room = MAX_LINE_BYTES - pending_.size();
    const size_t lf = bytes.substr(0, room).find('\n');
    if (lf == std::string_view::npos) {
      const size_t taken = std::min(room, bytes.size());
      pending_.append(bytes.substr(0, taken));
      bytes.remove_prefix(taken);
      if (pending_.size() == MAX_LINE_BYTES)
        lines.push_back(complete_line(std::exchange(pending_, {})));
      continue;
    }
    pending_.append(bytes.substr(0, lf));
    bytes.remove_prefix(lf + 1);
    lines.push_back(complete_line(std::exchange(pending_, {})));
  }
  return lines;
}

std::vector<std::string> ScriptOutput::flush() {
  if (pending_.empty()) return {};
  return {complete_line(std::exchange(pending_, {}))};
}

std::string ScriptOutput::latest() const {
  return pending_.empty() ? latest_ : without_colours(displayable_line(pending_));
}

Finish ScriptOutput::finish(int wait_status) const {
  const bool exited = WIFEXITED(wait_status);
  const int status = exited ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  if (exited && status == 0 && completed_) {
    if (!warned_) return {Outcome::Success, {}, 0, false, 0, {}};
    return {Outcome::SuccessWithWarnings, warning_step_, 0, false, warning_line_, warning_};
  }
  // sudo asks first, before any privileged step begins: failing there is
  // its refusal (a wrong password, or no rule for this user).
  const bool privileged = !steps_.empty() && runs_under_sudo(steps_.front());
  if (exited && status != 0 && started_ == 0 && privileged) {
    std::string message;
    for (const std::string& line : before_steps_) {
      if (line.empty()) continue;
      if (!message.empty()) message += '\n';
      message += line;
    }
    return {Outcome::PasswordRefused, {}, status, false, 0, message};
  }
  Finish failed{Outcome::Failed, {}, status, !exited, 0, {}};
  if (started_ > 0) {
    failed.failed_step = steps_[started_ - 1];
    failed.failed_line = step_lines_[started_ - 1];
  }
  return failed;
}

}  // namespace sorvane::gui
