#include "metrics_file.hpp"

#include <sys/stat.h>

#include <cerrno>

#include "path.hpp"
#include "temp_file.hpp"
#include "unique_fd.hpp"
#include "writer.hpp"

namespace sorvane::gui {

Result<MetricsWritten, std::string> write_metrics_file(const std::string& path,
                                                       std::string_view contents) {
  const auto dir = parent(path);
  if (!path.starts_with('/') || !dir || dir->empty()) {
    return "not an absolute file name: " + path;
  }
  struct stat st {};
  if (::stat(std::string(*dir).c_str(), &st) != 0) {
    if (errno == ENOENT) return MetricsWritten::NoDirectory;
    return PathError{std::string(*dir), OsError::last()}.text();
  }
  if (!S_ISDIR(st.st_mode)) return MetricsWritten::NoDirectory;

  auto created = create_helper(*dir, METRICS_TEMP_PREFIX, "", TEMP_RANDOM_LEN);
  if (!created) return created.error().text();
  NamedTempFile& file = created.value();
  // Whatever the umask took away at creation.
  if (retry_on_eintr([&] { return ::fchmod(file.fd(), METRICS_FILE_MODE); }) != 0) {
    return PathError{file.path(), OsError::last()}.text();
  }
  if (auto error = write_all(file.fd(), contents)) return PathError{file.path(), *error}.text();
  if (retry_on_eintr([&] { return ::fsync(file.fd()); }) != 0) {
    return PathError{file.path(), OsError::last()}.text();
  }
  auto persisted = persist(std::move(file), path);
  if (!persisted) return PathError{path, persisted.error().error}.text();
  return MetricsWritten::Written;
}

}  // namespace sorvane::gui
