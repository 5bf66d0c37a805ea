// The temporary file the update script is written into. It has exactly
// two ways out: persisted (renamed onto its destination and kept) or
// removed (unlinked when its owner is destroyed, on every failure path).
// It is created exclusively, so a name that exists already, even as a
// symbolic link, is skipped and never followed.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "os_error.hpp"
#include "random.hpp"
#include "result.hpp"
#include "unique_fd.hpp"

namespace sorvane {

inline constexpr std::string_view TEMP_FILE_PREFIX = ".update-script-";
inline constexpr std::string_view TEMP_FILE_SUFFIX;
inline constexpr size_t TEMP_RANDOM_LEN = 6;
inline constexpr std::string_view TEMP_NAME_ALPHABET =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
inline constexpr std::uint32_t MAX_CREATE_ATTEMPTS = 0x10000;
// Before this (zero-based) attempt the name generator is reseeded from the
// operating system: three names in a row were taken, which chance alone
// hardly explains.
inline constexpr std::uint32_t RESEED_ATTEMPT = 3;
inline constexpr mode_t SCRIPT_FILE_MODE = 0600;

inline constexpr std::string_view TOO_MANY_TEMP_FILES = "too many temporary files exist";

// The absolute path of a temporary file, unlinked when this is destroyed
// unless release() was called: kept or removed, nothing in between.
class TempPath {
 public:
  explicit TempPath(std::string path) : path_(std::move(path)) {}
  TempPath(TempPath&& other) noexcept
      : path_(std::move(other.path_)), owned_(std::exchange(other.owned_, false)) {}
  TempPath& operator=(TempPath&&) = delete;
  TempPath(const TempPath&) = delete;
  TempPath& operator=(const TempPath&) = delete;
  ~TempPath();

  [[nodiscard]] const std::string& path() const { return path_; }
  // The file is now someone else's: destroying this no longer unlinks it.
  void release() { owned_ = false; }

 private:
  std::string path_;
  bool owned_ = true;
};

// A temporary file that is open and named. Destruction unlinks the name
// first, then closes the descriptor.
class NamedTempFile {
 public:
  NamedTempFile(TempPath path, UniqueFd fd) : fd_(std::move(fd)), path_(std::move(path)) {}

  [[nodiscard]] const std::string& path() const { return path_.path(); }
  [[nodiscard]] int fd() const { return fd_.get(); }

  // For the rename that made the file its destination: keep the file and
  // hand over the still-open descriptor.
  UniqueFd keep() && {
    path_.release();
    return std::move(fd_);
  }

 private:
  // Members are destroyed in reverse order: path_ (the unlink), then fd_.
  UniqueFd fd_;
  TempPath path_;
};

struct PersistError {
  OsError error;
  NamedTempFile file;  // handed back unchanged
};

// Renames the temporary file onto `destination` (relative to the working
// directory, replacing what is there) and keeps it.
Result<UniqueFd, PersistError> persist(NamedTempFile file, std::string_view destination);

// prefix + random_len characters of TEMP_NAME_ALPHABET + suffix, each
// character drawn without bias from `generator`.
std::string tmpname(Wyrand& generator, std::string_view prefix, std::string_view suffix,
                    size_t random_len);

// Exclusively creates `path` (never following a link planted there).
Result<NamedTempFile, PathError> create_named(std::string path);

// Creates a new temporary file in the absolute directory `base`, trying up
// to MAX_CREATE_ATTEMPTS names.
Result<NamedTempFile, PathError> create_helper(std::string_view base, std::string_view prefix,
                                               std::string_view suffix, size_t random_len);

}  // namespace sorvane
