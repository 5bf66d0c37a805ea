#include "writer.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "path.hpp"

namespace sorvane {
namespace {

bool is_directory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir, where an existing directory (or a link to one) counts as success.
// Returns the mkdir error otherwise.
std::optional<OsError> make_directory(const std::string& dir) {
  if (::mkdir(dir.c_str(), DIR_CREATE_MODE) == 0) return std::nullopt;
  const OsError error = OsError::last();
  if (error.kind() == ErrorKind::AlreadyExists && is_directory(dir)) return std::nullopt;
  return error;
}

Result<std::string, OsError> absolute_base(std::string_view base) {
  if (base.starts_with('/')) return std::string(base);
  const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
  if (!cwd) return OsError::last();
  return join(cwd.get(), base);
}

}  // namespace

std::optional<OsError> write_all(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t n = retry_on_eintr([&] { return ::write(fd, contents.data(), contents.size()); });
    if (n < 0) return OsError::last();
    if (n == 0) return OsError::with_message(WRITE_ZERO_MESSAGE, ErrorKind::WriteZero);
    contents.remove_prefix(static_cast<size_t>(n));
  }
  return std::nullopt;
}

std::string to_text(const WriteError& error) {
  return std::visit([](const auto& e) { return e.text(); }, error);
}

Result<Ok, OsError> create_dir_all(std::string_view dir) {
  if (dir.find('\0') != std::string_view::npos) return OsError::from_code(EINVAL);
  // Walk up until a directory exists or could be made, remembering the
  // missing ones; then make those from the outermost in. Parents come from
  // the same component rules as everywhere else, so "a/./b" and "a//b"
  // walk up to "a" like "a/b" does.
  std::vector<std::string> missing;
  std::optional<std::string_view> current = dir;
  while (current && !current->empty() && *current != "/") {
    std::string path(*current);
    const auto error = make_directory(path);
    if (!error) break;
    if (error->kind() != ErrorKind::NotFound) return *error;
    missing.push_back(std::move(path));
    current = parent(*current);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    // A loop, not any_of: the error of the failing mkdir is what we return.
    // cppcheck-suppress useStlAlgorithm
    if (auto error = make_directory(*it)) return *error;
  }
  return Ok{};
}

Result<Ok, WriteError> write_script(std::string_view path, std::string_view contents) {
  std::string_view base = ".";
  if (const auto dir = parent(path); dir && !dir->empty()) {
    if (auto made = create_dir_all(*dir); !made) return WriteError{made.error()};
    base = *dir;
  }
  auto absolute = absolute_base(base);
  if (!absolute) return WriteError{absolute.error()};

  auto created =
      create_helper(absolute.value(), TEMP_FILE_PREFIX, TEMP_FILE_SUFFIX, TEMP_RANDOM_LEN);
  if (!created) return WriteError{std::move(created.error())};
  NamedTempFile& file = created.value();

  // Exactly 0600 whatever the umask took away at creation.
  if (retry_on_eintr([&] { return ::fchmod(file.fd(), SCRIPT_FILE_MODE); }) != 0) {
    return WriteError{OsError::last()};
  }
  if (auto error = write_all(file.fd(), contents))
    return WriteError{PathError{file.path(), *error}};
  if (retry_on_eintr([&] { return ::fsync(file.fd()); }) != 0) return WriteError{OsError::last()};

  auto persisted = persist(std::move(file), path);
  if (!persisted) return WriteError{persisted.error().error};
  return Ok{};
}

}  // namespace sorvane
