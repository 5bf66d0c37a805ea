#include "script_output.hpp"

#include <sys/wait.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "manager_facts.hpp"
#include "terminal_text.hpp"

namespace sorvane::gui {
namespace {

// A manager without the signal never says it.
bool says(bool (*signal)(std::string_view), std::string_view line) {
  return signal != nullptr && signal(line);
}

}  // namespace

bool is_error_line(Step step, std::string_view line) {
  return facts(step).failure.error_line(line);
}

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
  // One of the lines printed while sudo ran reads as a later step's start.
  bool passed_over = false;
  if (is_after_sudo_step_line(raw)) {
    ++sudo_lines_seen_;
    passed_over = sudo_lines_ && sudo_lines_seen_ <= *sudo_lines_;
  }
  if (!passed_over && started_ < steps_.size() && raw.ends_with(step_line(steps_[started_]))) {
    step_lines_.push_back(number);
    ++started_;
    step_errors_.emplace_back();
  }
  std::string shown = displayable_line(raw);
  const std::string plain = without_colours(shown);
  take_error(number, plain);
  if (!is_noise(plain)) latest_ = plain;
  if (!warned_ && is_warning(plain)) {
    warned_ = true;
    warning_line_ = number;
    warning_step_ = steps_[started_ - 1];
    warning_ = plain;
  }
  const bool header = number < HEADER_LINES.size() && raw == HEADER_LINES.at(number);
  if (started_ == 0 && !header && before_steps_.size() < MAX_MESSAGE_LINES) {
    before_steps_.push_back(plain);
  }
  return shown;
}

void ScriptOutput::take_error(size_t number, const std::string& line) {
  if (started_ == 0) return;
  // apt still failing after a later step's line: a package printed that
  // line, and apt's step goes on.
  if (started_ >= 2 && steps_[started_ - 2] != steps_[started_ - 1] &&
      facts(steps_[started_ - 2]).failure.errors_outlast_step &&
      is_error_line(steps_[started_ - 2], line)) {
    step_lines_.pop_back();
    step_errors_.pop_back();
    --started_;
  }
  auto& first = step_errors_[started_ - 1];
  if (!first && is_error_line(steps_[started_ - 1], line)) first.emplace(number, line);
}

void ScriptOutput::pass_over_sudo_lines(size_t count) {
  if (sudo_lines_) return;
  sudo_lines_ = count;
  // Begun on such a line: it was a package's, and the step has not begun.
  if (sudo_lines_seen_ > count) return;
  while (started_ > 0 && !runs_under_sudo(steps_[started_ - 1])) {
    step_lines_.pop_back();
    step_errors_.pop_back();
    --started_;
    completed_ = false;
  }
}

bool is_after_sudo_step_line(std::string_view line) {
  return std::any_of(MANAGERS.begin(), MANAGERS.end(), [line](const Manager& row) {
    return !row.under_sudo && line.ends_with(row.step_line);
  });
}

void SudoLines::feed(std::string_view bytes) {
  constexpr size_t LONGEST =
      std::max_element(MANAGERS.begin(), MANAGERS.end(), [](const Manager& a, const Manager& b) {
        return a.step_line.size() < b.step_line.size();
      })->step_line.size();
  constexpr std::string_view STOPS("\n\0", 2);
  const auto end_line = [this] {
    if (is_after_sudo_step_line(tail_)) ++count_;
    tail_.clear();
    length_ = 0;
  };
  while (!bytes.empty()) {
    const size_t taken = std::min(
        {bytes.find_first_of(STOPS), bytes.size(), ScriptOutput::MAX_LINE_BYTES - length_});
    // Only the end of a line is matched: its last LONGEST bytes are kept.
    const std::string_view piece = bytes.substr(0, taken);
    if (piece.size() >= LONGEST) {
      tail_.assign(piece.substr(piece.size() - LONGEST));
    } else {
      tail_ += piece;
      if (tail_.size() > LONGEST) tail_.erase(0, tail_.size() - LONGEST);
    }
    length_ += taken;
    bytes.remove_prefix(taken);
    if (length_ == ScriptOutput::MAX_LINE_BYTES) {
      end_line();
    } else if (!bytes.empty()) {
      if (bytes.front() == '\n') end_line();
      bytes.remove_prefix(1);
    }
  }
}

std::optional<Step> ScriptOutput::step_at(size_t line) const {
  const auto after = std::upper_bound(step_lines_.begin(), step_lines_.end(), line);
  if (after == step_lines_.begin()) return std::nullopt;
  return steps_[static_cast<size_t>(after - step_lines_.begin()) - 1];
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
  if (pending_.empty()) return latest_;
  std::string plain = without_colours(displayable_line(pending_));
  return is_noise(plain) ? latest_ : plain;
}

bool ScriptOutput::is_warning(std::string_view line) const {
  return started_ > 0 && says(facts(steps_[started_ - 1]).failure.warning_line, line);
}

bool ScriptOutput::is_noise(std::string_view line) const {
  return started_ > 0 && says(facts(steps_[started_ - 1]).failure.noise_line, line);
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
    // sudo's first words and its last: after a refusal, sudo asks again on
    // the input the window has closed, and what it says of that in between
    // ("no password was provided") would contradict the password the user
    // typed. Its words are translated: only their order is relied on.
    std::vector<std::string> said;
    std::copy_if(before_steps_.begin(), before_steps_.end(), std::back_inserter(said),
                 [](const std::string& line) { return !line.empty(); });
    std::string message;
    if (!said.empty()) message = said.front();
    if (said.size() > 1) message += '\n' + said.back();
    return {Outcome::PasswordRefused, {}, status, false, 0, message};
  }
  Finish failed{Outcome::Failed, {}, status, !exited, 0, {}};
  if (started_ > 0) {
    failed.failed_step = steps_[started_ - 1];
    failed.failed_line = step_lines_[started_ - 1];
    // The manager's own reason, where it printed one: Details opens there.
    if (const auto& error = step_errors_[started_ - 1]) {
      failed.failed_line = error->first;
      failed.message = error->second;
    }
  }
  return failed;
}

}  // namespace sorvane::gui
