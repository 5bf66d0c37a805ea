#include "detection.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "detector_process.hpp"
#include "path.hpp"
#include "trust.hpp"
#include "unicode_tables.hpp"
#include "unique_fd.hpp"
#include "utf8.hpp"

namespace sorvane {
namespace {

constexpr std::string_view OWN_EXECUTABLE_LINK = "/proc/self/exe";
constexpr std::string_view DETECTOR_UP = "../..";
constexpr std::string_view DETECTOR_RELATIVE = "scripts/detect-package-managers.sh";
constexpr std::string_view INTERPRETER = "bash";
constexpr size_t INITIAL_LINK_BUFFER = 256;

Result<std::string, OsError> own_executable_path() {
  std::string buf(INITIAL_LINK_BUFFER, '\0');
  for (;;) {
    const ssize_t n = ::readlink(OWN_EXECUTABLE_LINK.data(), buf.data(), buf.size());
    if (n < 0) return OsError::last();
    if (static_cast<size_t>(n) < buf.size()) {
      buf.resize(static_cast<size_t>(n));
      return buf;
    }
    buf.resize(buf.size() * 2);  // possibly truncated: try again with more room
  }
}

std::optional<ManagerKind> kind_from_name(std::string_view name) {
  for (size_t i = 0; i < MANAGER_NAMES.size(); ++i) {
    if (MANAGER_NAMES[i] == name) return static_cast<ManagerKind>(i);
  }
  return std::nullopt;
}

bool is_white_space(char32_t c) {
  return unicode::contains(unicode::WHITE_SPACE, c);
}

// Opening the script before anything is started tells a missing or
// unreadable detector (a moved executable, a broken package) apart from one
// that ran and found nothing.
std::optional<PathError> unreadable(std::string_view script) {
  const auto c_path = to_c_path(script);
  if (!c_path) return PathError{std::string(script), OsError::from_code(EINVAL)};
  const UniqueFd fd(::open(c_path->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return PathError{std::string(script), OsError::last()};
  return std::nullopt;
}

// Why a detector that ran did not finish its work, or nothing when it
// exited with 0. Its output is then not to be believed: it may be cut short
// (a crash), or come from a shell that misread the script (dash, busybox).
std::optional<std::string> unfinished(int wait_status) {
  if (WIFSIGNALED(wait_status)) {
    return "it was killed by signal " + std::to_string(WTERMSIG(wait_status));
  }
  if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) != 0) {
    return "it exited with status " + std::to_string(WEXITSTATUS(wait_status));
  }
  return std::nullopt;
}

std::vector<DetectedManager> parse_output(std::string_view output) {
  const std::string text = to_plain(output);
  std::vector<DetectedManager> managers;
  for (const std::string_view line : split_lines(text)) {
    if (auto manager = parse_detector_line(line)) managers.push_back(std::move(*manager));
  }
  return managers;
}

// Start of the last character of non-empty valid UTF-8.
size_t last_char_start(std::string_view text) {
  size_t pos = text.size() - 1;
  while (pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0U) == 0x80U) --pos;
  return pos;
}

}  // namespace

Result<std::string, OsError> detector_path() {
  auto exe = own_executable_path();
  if (!exe) return exe.error();
  const std::string_view base = parent(exe.value()).value_or(".");
  return join(join(base, DETECTOR_UP), DETECTOR_RELATIVE);
}

Result<std::vector<DetectedManager>, std::string> detect_with_script(std::string_view script) {
  const auto bash = trusted_system_program(INTERPRETER);
  if (!bash) return std::string(NO_TRUSTED_BASH);

  if (auto error = unreadable(script)) return std::string(DETECTOR_FAILED) + error->text();

  auto output = run_detector_child(*bash, script);
  if (!output) return std::string(DETECTOR_FAILED) + output.error().text();
  if (auto reason = unfinished(output.value().wait_status)) {
    return std::string(DETECTOR_FAILED) + *reason;
  }
  // Decoding a flood of output may need more memory than there is; that is
  // a failed detection, not a crash.
  try {
    return parse_output(output.value().out);
  } catch (const std::bad_alloc&) {
    return std::string(DETECTOR_FAILED) + OsError::from_code(ENOMEM).text();
  }
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    if (lf == std::string_view::npos) {
      lines.push_back(text);
      break;
    }
    std::string_view line = text.substr(0, lf);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(lf + 1);
  }
  return lines;
}

std::string_view trim_white_space(std::string_view text) {
  while (!text.empty()) {
    const Utf8Unit first = decode_utf8_unit(text, 0);
    if (!is_white_space(first.code_point)) break;
    text.remove_prefix(first.length);
  }
  while (!text.empty()) {
    const size_t start = last_char_start(text);
    if (!is_white_space(decode_utf8_unit(text, start).code_point)) break;
    text.remove_suffix(text.size() - start);
  }
  return text;
}

std::optional<NamedManager> name_in_detector_line(std::string_view line) {
  const std::string_view text = trim_white_space(line);
  const auto name = final_component(text);
  if (!name) return std::nullopt;
  const auto kind = kind_from_name(*name);
  if (!kind) return std::nullopt;
  return NamedManager{text, *kind};
}

std::optional<DetectedManager> parse_detector_line(std::string_view line) {
  const auto named = name_in_detector_line(line);
  if (!named) return std::nullopt;
  // The kind comes from the line as written; the path is what it resolves to.
  auto canonical = resolve(named->path);
  if (!canonical || !is_trusted_executable(*canonical)) return std::nullopt;
  return DetectedManager{std::move(*canonical), named->kind};
}

}  // namespace sorvane
