#include "password_handover.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <memory>
#include <string_view>

#include "files.hpp"

namespace sorvane::gui {
namespace {

constexpr size_t MAX_PROC_FILE = size_t{16} * 1024;

std::optional<std::string> read_proc_file(const std::string& path) {
  return read_file(path, MAX_PROC_FILE);
}

std::uint64_t number_at(std::string_view text) {
  std::uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The whitespace-separated fields of /proc/<pid>/stat after its "(comm)",
// which may itself hold spaces and parentheses.
std::vector<std::string_view> stat_fields(std::string_view stat) {
  std::vector<std::string_view> fields;
  const size_t close = stat.rfind(')');
  if (close == std::string_view::npos) return fields;
  stat.remove_prefix(close + 1);
  while (!stat.empty()) {
    const size_t start = stat.find_first_not_of(" \n");
    if (start == std::string_view::npos) break;
    stat.remove_prefix(start);
    const size_t end = stat.find_first_of(" \n");
    fields.push_back(stat.substr(0, end));
    if (end == std::string_view::npos) break;
    stat.remove_prefix(end);
  }
  return fields;
}

std::uint64_t status_number(std::string_view status, std::string_view key) {
  const size_t at = status.find(key);
  if (at == std::string_view::npos) return 0;
  std::string_view rest = status.substr(at + key.size());
  const size_t start = rest.find_first_of("0123456789");
  return start == std::string_view::npos ? 0 : number_at(rest.substr(start));
}

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::optional<ProcessLook> look_at_process(const std::string& proc, pid_t pid) {
  const std::string dir = proc + '/' + std::to_string(pid);
  const auto stat = read_proc_file(dir + "/stat");
  const auto comm = read_proc_file(dir + "/comm");
  const auto status = read_proc_file(dir + "/status");
  if (!stat || !comm || !status) return std::nullopt;
  const std::vector<std::string_view> fields = stat_fields(*stat);
  // After the comm: state (0), ..., minflt (7), majflt (9), utime (11), stime (12).
  constexpr size_t STATE = 0;
  constexpr size_t MINFLT = 7;
  constexpr size_t MAJFLT = 9;
  constexpr size_t UTIME = 11;
  constexpr size_t STIME = 12;
  if (fields.size() <= STIME || fields[STATE].empty()) return std::nullopt;
  ProcessLook look;
  look.name = comm->substr(0, comm->find('\n'));
  look.state = fields[STATE][0];
  look.activity = number_at(fields[MINFLT]) + number_at(fields[MAJFLT]) + number_at(fields[UTIME]) +
                  number_at(fields[STIME]) + status_number(*status, "\nvoluntary_ctxt_switches:") +
                  status_number(*status, "\nnonvoluntary_ctxt_switches:");
  const std::unique_ptr<DIR, DirCloser> tasks(::opendir((dir + "/task").c_str()));
  if (tasks) {
    // NOLINTNEXTLINE(concurrency-mt-unsafe): this DIR is read by this thread alone
    while (const dirent* task = ::readdir(tasks.get())) {
      if (task->d_name[0] == '.') continue;
      const auto children = read_proc_file(dir + "/task/" + task->d_name + "/children");
      if (!children) continue;
      std::string_view rest = *children;
      while (!rest.empty()) {
        const size_t start = rest.find_first_of("0123456789");
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        look.children.push_back(static_cast<pid_t>(number_at(rest)));
        const size_t end = rest.find(' ');
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end);
      }
    }
  }
  return look;
}

std::optional<pid_t> sudo_below(const std::string& proc, pid_t ancestor, int depth) {
  if (depth <= 0) return std::nullopt;
  const auto look = look_at_process(proc, ancestor);
  if (!look) return std::nullopt;
  for (const pid_t child : look->children) {
    const auto seen = look_at_process(proc, child);
    if (seen && seen->name == "sudo") return child;
  }
  // A sudo among the children counts before one further down.
  for (const pid_t child : look->children) {
    // cppcheck-suppress useStlAlgorithm
    if (const auto found = sudo_below(proc, child, depth - 1)) return found;
  }
  return std::nullopt;
}

PasswordHandOver::PasswordHandOver(pid_t started, std::chrono::steady_clock::time_point now,
                                   Limits limits, std::string proc)
    : started_(started), since_(now), limits_(limits), proc_(std::move(proc)) {}

PasswordHandOver::Step PasswordHandOver::next(std::chrono::steady_clock::time_point now) {
  if (decided_) return *decided_;
  const auto decide = [this](Step step) {
    decided_ = step;
    return step;
  };
  if (!sudo_) {
    sudo_ = sudo_below(proc_, started_, SUDO_DEPTH);
    if (!sudo_) {
      const auto started = look_at_process(proc_, started_);
      const bool running = started && started->state != 'Z';
      return !running || now - since_ >= limits_.appears ? decide(Step::Withhold) : Step::Wait;
    }
    sudo_seen_ = now;
  }
  const auto look = look_at_process(proc_, *sudo_);
  // Gone, or running its command already: it read no password from us,
  // and whatever is left on the input would reach that command.
  if (!look || look->name != "sudo" || !look->children.empty()) return decide(Step::Withhold);
  const bool still = look->state == 'S' && last_activity_ == look->activity;
  last_activity_ = look->activity;
  if (still || now - *sudo_seen_ >= limits_.waits) return decide(Step::Write);
  return Step::Wait;
}

}  // namespace sorvane::gui
